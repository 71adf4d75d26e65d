// Application shell members of the main window: creation, launch parameters, heartbeat timer,
// start sequence, splash, reload, hints and the support log.
#include "ui/TAxDravik.h"

#include "app/IniFile.h"
#include "app/SingleInstance.h"
#include "app/TraceLog.h"
#include "gateway/CurlTransport.h"
#include "gateway/UnitTools.h"
#include "platform/Clock.h"
#include "platform/Environment.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QWindow>

#include <exception>

namespace {

const QString kStarting = QStringLiteral("Démarrage de AxDravik...");

// The folder without trailing separators (the root stays as it is).
QString withoutTrailingSlash(QString folder)
{
    while (folder.size() > 1
           && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return folder;
}

// The long part of a hint "short|long"; the whole hint when it has one part.
QString longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

} // namespace

template<typename F>
void TAxDravik::Guarded(F &&step)
{
    ++m_shellDepth;
    try {
        step();
    } catch (const std::exception &error) {
        TraceLog(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        TraceLog(QStringLiteral("Erreur inattendue"));
    }
    --m_shellDepth;
}

QString TAxDravik::StartingText() const
{
    return kStarting + QStringLiteral(" [") + QString::number(ParamCount) + QLatin1Char(']')
            + LbHttpRoot->text() + QStringLiteral(" - ") + BaseHRef + QStringLiteral(" - ")
            + LbIdTVO->text();
}

void TAxDravik::ActiveFormCreate()
{
    FlagTrace = false;
    ParamCount = 0;
    // Process-wide formats: numbers with "." whatever the desktop's language.
    QLocale::setDefault(QLocale::c());
    LbDebugInfo3->setText(StartingText());
    LbDebugInfo1->setText(kStarting);

    const QString path = GetSettingsPath(environment());
    QDir().mkpath(QFileInfo(path).path());
    const QString self
            = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    const QString handle = QString::number(qulonglong(winId()));
    QString error;
    if (!WriteIniValues(path, kSettingsSection,
                        {{QStringLiteral("FirstApplicationHandle"), handle},
                         {QStringLiteral("FirstFormHandle"), handle},
                         {QStringLiteral("Application"), self},
                         {QStringLiteral("Version"), GetFileVersion(self)}},
                        &error)) {
        // Without a writable settings file the launch parameters are not read.
        SetWarning(error);
        return;
    }
    Guarded([this] { OnStart(); });
}

void TAxDravik::ActiveFormActivate()
{
    LbDebugInfo3->setText(StartingText());
    LbDebugInfo1->setText(kStarting);
}

void TAxDravik::ActiveFormDestroy() { }

void TAxDravik::OnStart()
{
    FlagTrace = false;
    TempFolder = withoutTrailingSlash(environment().temp());
    SettingsPath = GetSettingsPath(environment());
    IniFile ini(SettingsPath);
    ini.load();
    const auto option = [&ini](const char *key) {
        return ini.value(kSettingsSection, QLatin1String(key));
    };

    FlagTrace = (QStringLiteral("0") + option("Trace")).toInt() != 0;
    const QString traceFolder = option("TraceRepTemp");
    if (!traceFolder.isEmpty())
        TempFolder = withoutTrailingSlash(traceFolder);
    idTypeVO = option("idTypeVO").toInt();

    using Setter = int (TAxDravik::*)(const QString &);
    static const std::pair<const char *, Setter> parameters[] = {
            {"HttpRoot", &TAxDravik::Set_HttpRoot},
            {"BaseHRef", &TAxDravik::Set_BaseHRef},
            {"idTVO", &TAxDravik::Set_idTVO},
            {"OCXName", &TAxDravik::Set_OCXName},
            {"OCXVersion", &TAxDravik::Set_OCXVersion},
            {"URLImages", &TAxDravik::Set_URLImages},
            {"idUser", &TAxDravik::Set_idUser},
            {"UserConcession", &TAxDravik::Set_UserConcession},
            {"UserSite", &TAxDravik::Set_UserSite},
            {"WhereClause", &TAxDravik::Set_WhereClause},
            {"OrderClause", &TAxDravik::Set_OrderClause},
            {"idClient", &TAxDravik::Set_idClient},
    };
    for (const auto &[key, setter] : parameters)
        (this->*setter)(option(key));
    // The server takes the user from this key; it is not one of the counted parameters.
    if (auto *http = dynamic_cast<CurlTransport *>(IdHTTP1))
        http->setSession(BaseHRef.toUtf8(), option("SessionKey").toUtf8());

    ShowSplash();
}

// Each setter keeps its value, counts the delivery and writes its trace word.
int TAxDravik::CountParameter(const char16_t *traceWord)
{
    ++ParamCount;
    TraceLog(QString::fromUtf16(traceWord));
    return 0;
}

int TAxDravik::Set_HttpRoot(const QString &value)
{
    LbHttpRoot->setText(value);
    return CountParameter(u"httproot");
}

int TAxDravik::Set_BaseHRef(const QString &value)
{
    BaseHRef = value;
    LbBaseHRef->setText(value);
    return CountParameter(u"basehref");
}

int TAxDravik::Set_idTVO(const QString &value)
{
    LbIdTVO->setText(value);
    return CountParameter(u"idtvo");
}

int TAxDravik::Set_OCXName(const QString &value)
{
    OCXName = value;
    return CountParameter(u"ocxname");
}

int TAxDravik::Set_OCXVersion(const QString &value)
{
    OCXVersion = value;
    return CountParameter(u"ocxversion");
}

int TAxDravik::Set_URLImages(const QString &value)
{
    URLImages = value;
    return CountParameter(u"urlimages");
}

int TAxDravik::Set_idUser(const QString &value)
{
    idUser = value;
    return CountParameter(u"iduser");
}

int TAxDravik::Set_UserConcession(const QString &value)
{
    UserConcession = value;
    return CountParameter(u"userconcession");
}

int TAxDravik::Set_UserSite(const QString &value)
{
    UserSite = value;
    return CountParameter(u"usersite");
}

int TAxDravik::Set_WhereClause(const QString &value)
{
    WhereClause = value;
    return CountParameter(u"whereclause");
}

int TAxDravik::Set_OrderClause(const QString &value)
{
    OrderClause = value;
    return CountParameter(u"orderclause");
}

int TAxDravik::Set_idClient(const QString &value)
{
    LbIDCustomer->setText(value);
    return CountParameter(u"idClient");
}

QString TAxDravik::Get_idClient() const
{
    return LbIDCustomer->text();
}

void TAxDravik::ShowSplash()
{
    ++m_shellDepth;
    if (!m_splashCursor) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_splashCursor = true;
    }
    PanelSplash->raise();
    QString version = GetFileVersion(QCoreApplication::applicationFilePath());
    version.replace(QLatin1Char('.'), QLatin1Char(','));
    LbSplash->setText(QStringLiteral("Dravik - Version ") + version);
    const bool logo = UserConcession == QLatin1String("ZOLVARE");
    ImageSplash->setVisible(logo);
    LbConcession->setText(UserConcession);
    LbConcession->setVisible(!logo);
    QCoreApplication::processEvents();
    Panel1->hide();
    PanelSplash->show();
    QCoreApplication::processEvents();
    --m_shellDepth;
}

void TAxDravik::HideSplash()
{
    PanelSplash->hide();
    if (m_splashCursor) {
        QGuiApplication::restoreOverrideCursor();
        m_splashCursor = false;
    }
}

void TAxDravik::Timer1Timer()
{
    if (++TickInSecond >= 4) {
        TickInSecond = 0;
        ++IdleSeconds;
    }
    // A debounced query that falls due while a request is in flight fires on the next tick
    // after that request.
    const bool holding = RequestInFlight();
    if (DuplicateCountdown != 0 && !(holding && DuplicateCountdown == 1)) {
        if (--DuplicateCountdown == 0)
            Guarded([this] { HttpGetDblInfo(); });
    }
    if (SearchCountdown != 0 && !(holding && SearchCountdown == 1)) {
        if (--SearchCountdown == 0)
            Guarded([this] { HttpGetSearchInfo(0); });
    }
    if (FlagBlink) {
        ++BlinkCount;
        if (BlinkCount % 3 == 1)
            Shape1->setHidden(!Shape1->isHidden());
    }
    LbDebugInfo3->setText(QLatin1Char('[') + QString::number(ParamCount) + QLatin1Char(']')
                          + LbHttpRoot->text() + QStringLiteral(" - ") + BaseHRef
                          + QStringLiteral(" - ") + LbIdTVO->text() + QStringLiteral(" - ")
                          + URLImages);
    if (ParamCount >= 12) {
        if (++StartCount == 1)
            Guarded([this] { StartSequence(); });
    }
    // A reload asked for while the shell was busy runs once it is idle.
    if (m_reloadPending && m_shellDepth == 0 && !RequestInFlight()) {
        m_reloadPending = false;
        OnMsgActualize();
    }
}

void TAxDravik::StartSequence()
{
    TraceLog(QStringLiteral("on TimerOK : "));
    const QString windir = environment().windir();
    InstalledVersion = windir.isEmpty()
            ? QString()
            : GetFileVersion(windir + QStringLiteral("/Downloaded Program Files/") + OCXName);
    InstalledVersion.replace(QLatin1Char('.'), QLatin1Char(','));
    LbVersion->setText(QStringLiteral("TAxDravik-") + InstalledVersion + QLatin1Char('-'));

    ProxyServer = ProxyFromEnvironment(environment());
    if (!ProxyServer.isEmpty()) {
        const ProxyEndpoint proxy = ParseProxyServer(ProxyServer);
        IdHTTP1->setProxy(proxy.host, proxy.port);
        IdHTTP2->setProxy(proxy.host, proxy.port);
        const QString proxyUser; // no proxy credentials are supplied
        const QString text = proxy.host + QStringLiteral(" - ") + QString::number(proxy.port)
                + QStringLiteral(" - ") + proxyUser;
        TraceLog(QStringLiteral("Connexion Proxy : ") + text);
        LbDebugInfo1->setText(text);
        LbVersion->setText(LbVersion->text() + ProxyServer + QLatin1Char('-'));
    }
    if (InstalledVersion != OCXVersion) {
        QPalette palette = LbVersion->palette();
        palette.setColor(QPalette::WindowText, Qt::red);
        LbVersion->setPalette(palette);
    }
    Guarded([this] { UpdateParams(); });
    Guarded([this] { UpdateView(1); });

    InstallHints();
}

void TAxDravik::GestionHints(QWidget *widget)
{
    if (!widget || widget->toolTip().isEmpty())
        return;
    if (widget->toolTipDuration() < 0)
        widget->setToolTipDuration(3000);
    LbDebugInfo3->setText(longHint(widget->toolTip()));
}

void TAxDravik::OnMsgActualize()
{
    // Another record asked for from outside: the changes of the one shown are not dropped
    // without asking; "Annuler" keeps it shown.
    bool goOn = true;
    Guarded([this, &goOn] { goOn = AskPendingChanges(); });
    if (!goOn)
        return;
    ++m_shellDepth;
    Guarded([this] { OnStart(); });
    DropConnection();
    Guarded([this] { UpdateParams(); });
    Guarded([this] { UpdateView(1); });
    --m_shellDepth;
}

void TAxDravik::OnInstanceMessage(const QByteArray &message)
{
    if (message == SingleInstance::reloadMessage()) {
        // Never inside a request or a shell step that lets events run: the timer runs it.
        if (m_shellDepth > 0 || RequestInFlight())
            m_reloadPending = true;
        else
            OnMsgActualize();
        return;
    }
    if (message == SingleInstance::showMessage()) {
        if (isMinimized())
            showNormal();
        else
            show();
        raise();
        activateWindow();
        emit raisedByAnotherStart();
    }
}

void TAxDravik::TraceLog(const QString &message)
{
    if (!FlagTrace)
        return;
    AppendTraceLog(TempFolder + QLatin1Char('/') + QString::fromUtf16(kTraceLogName), clock().now(),
                   message);
}

QString TAxDravik::GetTagRegistry(const QString &name)
{
    IniFile ini(GetSettingsPath(environment()));
    ini.load();
    return ini.value(kSettingsSection, name);
}

bool TAxDravik::SetTagRegistry(const QString &name, const QString &value, QString *error)
{
    return WriteIniValues(GetSettingsPath(environment()), kSettingsSection, {{name, value}}, error);
}
