// Start of the main window: settings file, launch parameters, the heartbeat and the one-time
// start sequence, splash, reload.
#include "platform/PeBuilder.h"
#include "ui/WindowHarness.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QStringList logLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        // "dd/mm/yyyy hh:mm:ss - message\r"
        EXPECT_TRUE(line.endsWith('\r'));
        lines << QString::fromLatin1(line.mid(22).chopped(1));
    }
    return lines;
}

bool isRed(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText) == QColor(Qt::red);
}

} // namespace

TEST(WindowStart, EmptySettingsStillStartOnTheFirstTick)
{
    WindowHarness h;
    auto w = h.makeWindow();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Dravik "));
    EXPECT_EQ(w->size(), QSize(825, 596));
    EXPECT_EQ(w->ParamCount, 12);
    EXPECT_FALSE(w->PanelSplash->isHidden());
    EXPECT_TRUE(w->Panel1->isHidden());
    EXPECT_EQ(w->TempFolder, h.temp());
    EXPECT_EQ(w->SettingsPath, h.settingsPath());

    // The four keys of the running copy.
    IniFile ini(h.settingsPath());
    ASSERT_TRUE(ini.load());
    for (const char *key : {"FirstApplicationHandle", "FirstFormHandle", "Application"})
        EXPECT_FALSE(ini.value(QStringLiteral("Options"), QLatin1String(key)).isEmpty()) << key;
    EXPECT_EQ(ini.value(QStringLiteral("Options"), QStringLiteral("FirstFormHandle")),
              QString::number(qulonglong(w->winId())));

    EXPECT_EQ(w->StartCount, 0);
    w->Timer1Timer();
    EXPECT_EQ(w->StartCount, 1);
    EXPECT_EQ(w->LbVersion->text(), QStringLiteral("TAxDravik--"));
    EXPECT_FALSE(isRed(w->LbVersion));
    w->LbVersion->setText(QStringLiteral("unchanged"));
    w->Timer1Timer();
    EXPECT_EQ(w->StartCount, 2);
    EXPECT_EQ(w->LbVersion->text(), QStringLiteral("unchanged"));
    EXPECT_EQ(w->LbDebugInfo3->text(), QStringLiteral("[12] -  -  - "));
}

TEST(WindowStart, ParametersTraceWordsAndStartLine)
{
    WindowHarness h;
    h.writeSettings({{QStringLiteral("Trace"), QStringLiteral("1")},
                     {QStringLiteral("HttpRoot"), QStringLiteral("root")},
                     {QStringLiteral("BaseHRef"), QStringLiteral("http://127.0.0.1:9/dravik/")},
                     {QStringLiteral("idTVO"), QStringLiteral("12")},
                     {QStringLiteral("URLImages"), QStringLiteral("http://img/")},
                     {QStringLiteral("idClient"), QStringLiteral("7")},
                     {QStringLiteral("WhereClause"), QStringLiteral("a='x, y'; b=\"z\"")},
                     {QStringLiteral("idTypeVO"), QStringLiteral("3")}});
    const QString log = h.temp() + QStringLiteral("/TAXDravik.log");
    QFile(log).open(QIODevice::WriteOnly);
    auto w = h.makeWindow();
    EXPECT_EQ(logLines(log),
              QStringList({"httproot", "basehref", "idtvo", "ocxname", "ocxversion", "urlimages",
                           "iduser", "userconcession", "usersite", "whereclause", "orderclause",
                           "idClient"}));
    EXPECT_EQ(w->LbHttpRoot->text(), QStringLiteral("root"));
    EXPECT_EQ(w->BaseHRef, QStringLiteral("http://127.0.0.1:9/dravik/"));
    EXPECT_EQ(w->LbBaseHRef->text(), w->BaseHRef);
    EXPECT_EQ(w->LbIdTVO->text(), QStringLiteral("12"));
    EXPECT_EQ(w->Get_idClient(), QStringLiteral("7"));
    EXPECT_EQ(w->WhereClause, QStringLiteral("a='x, y'; b=\"z\""));
    EXPECT_EQ(w->idTypeVO, 3);
    w->Timer1Timer();
    EXPECT_EQ(logLines(log).value(12), QStringLiteral("on TimerOK : "));
    // The record load of the start writes its own line, without the photo address.
    EXPECT_EQ(w->LbDebugInfo3->text(),
              QStringLiteral("[12]root - http://127.0.0.1:9/dravik/ - 12"));
    w->Timer1Timer();
    EXPECT_EQ(w->LbDebugInfo3->text(),
              QStringLiteral("[12]root - http://127.0.0.1:9/dravik/ - 12 - http://img/"));
}

TEST(WindowStart, TraceSwitchFolderAndVehicleType)
{
    const struct
    {
        const char *trace;
        bool on;
        const char *typeVO;
        int type;
    } cases[] = {{"1", true, "1", 1},
                 {"007", true, "3", 3},
                 {"yes", false, "abc", 0},
                 {"", false, "", 0},
                 {"0", false, "-2", -2}};
    for (const auto &c : cases) {
        WindowHarness h;
        const QString folder = h.dir.filePath(QStringLiteral("trace"));
        QDir().mkpath(folder);
        h.writeSettings({{QStringLiteral("Trace"), QLatin1String(c.trace)},
                         {QStringLiteral("TraceRepTemp"), folder + QLatin1Char('/')},
                         {QStringLiteral("idTypeVO"), QLatin1String(c.typeVO)}});
        auto w = h.makeWindow();
        EXPECT_EQ(w->FlagTrace, c.on) << c.trace;
        EXPECT_EQ(w->idTypeVO, c.type) << c.typeVO;
        EXPECT_EQ(w->TempFolder, folder);
        // With the switch off no log is created; on, the first message only creates it.
        const QStringList lines = logLines(folder + QStringLiteral("/TAXDravik.log"));
        EXPECT_EQ(QFile::exists(folder + QStringLiteral("/TAXDravik.log")), c.on) << c.trace;
        EXPECT_EQ(lines.size(), c.on ? 11 : 0);
        EXPECT_EQ(lines.value(0), c.on ? QStringLiteral("basehref") : QString());
    }
}

TEST(WindowStart, UnwritableSettingsStopTheStart)
{
    WindowHarness h;
    const QString blocker = h.dir.filePath(QStringLiteral("blocker"));
    QFile(blocker).open(QIODevice::WriteOnly);
    h.env.vars[QStringLiteral("APPDATA")] = blocker;
    auto w = h.makeWindow();
    EXPECT_EQ(w->LbDebugInfo0->text(),
              QStringLiteral("Impossible d'écrire dans ") + blocker
                      + QStringLiteral("/Dravik/TAXDravik.ini"));
    EXPECT_FALSE(w->PanelWarning->isHidden());
    EXPECT_EQ(w->ParamCount, 0);
    for (int i = 0; i < 8; ++i)
        w->Timer1Timer();
    EXPECT_EQ(w->StartCount, 0);
    EXPECT_TRUE(h.boxes->asked.isEmpty());
}

TEST(WindowStart, SplashShowsTheLogoOnlyForTheOneCompany)
{
    for (const char *company : {"ZOLVARE", "zolvare", "GARAGE DU LAC"}) {
        WindowHarness h;
        h.writeSettings({{QStringLiteral("UserConcession"), QLatin1String(company)}});
        auto w = h.makeWindow();
        const bool logo = QLatin1String(company) == QLatin1String("ZOLVARE");
        EXPECT_EQ(!w->ImageSplash->isHidden(), logo) << company;
        EXPECT_EQ(!w->LbConcession->isHidden(), !logo) << company;
        EXPECT_EQ(w->LbConcession->text(), QLatin1String(company));
        EXPECT_TRUE(w->LbSplash->text().startsWith(QStringLiteral("Dravik - Version ")));
        EXPECT_FALSE(w->LbSplash->text().contains(QLatin1Char('.')));
    }
}

TEST(WindowStart, InstalledVersionAgainstTheExpectedOne)
{
    const struct
    {
        const char *expected;
        bool red;
    } cases[] = {{"1.2.0.5", true}, {"1,2,0,5", false}};
    for (const auto &c : cases) {
        WindowHarness h;
        const QString windir = h.dir.filePath(QStringLiteral("windows"));
        QDir().mkpath(windir + QStringLiteral("/Downloaded Program Files"));
        QFile ocx(windir + QStringLiteral("/Downloaded Program Files/AxDravik.ocx"));
        ASSERT_TRUE(ocx.open(QIODevice::WriteOnly));
        ocx.write(pe::image(
                pe::versionBlock(QStringLiteral("1.2.0.5"), QStringLiteral("040c04e4"), true)));
        ocx.close();
        h.env.vars[QStringLiteral("Windir")] = windir;
        h.writeSettings({{QStringLiteral("OCXName"), QStringLiteral("AxDravik.ocx")},
                         {QStringLiteral("OCXVersion"), QLatin1String(c.expected)}});
        auto w = h.makeWindow();
        w->Timer1Timer();
        EXPECT_EQ(w->InstalledVersion, QStringLiteral("1,2,0,5"));
        EXPECT_EQ(w->LbVersion->text(), QStringLiteral("TAxDravik-1,2,0,5-"));
        EXPECT_EQ(isRed(w->LbVersion), c.red) << c.expected;
    }
}

TEST(WindowStart, ProxyFromTheEnvironmentGoesToBothClients)
{
    WindowHarness h;
    h.env.vars[QStringLiteral("http_proxy")] = QStringLiteral("http://cache.local:3128/");
    auto w = h.makeWindow();
    w->Timer1Timer();
    EXPECT_EQ(w->ProxyServer, QStringLiteral("cache.local:3128"));
    EXPECT_EQ(h.transport1->proxyHost, QStringLiteral("cache.local"));
    EXPECT_EQ(h.transport1->proxyPort, 3128);
    EXPECT_EQ(h.transport2->proxyHost, QStringLiteral("cache.local"));
    EXPECT_EQ(w->LbDebugInfo1->text(), QStringLiteral("cache.local - 3128 - "));
    EXPECT_EQ(w->LbVersion->text(), QStringLiteral("TAxDravik--cache.local:3128-"));

    WindowHarness odd;
    odd.env.vars[QStringLiteral("HTTP_PROXY")] = QStringLiteral("cache.local:port");
    auto v = odd.makeWindow();
    v->Timer1Timer();
    EXPECT_EQ(odd.transport1->proxyPort, 80);
}

TEST(WindowHeartbeat, IdleSecondsBlinkAndDebounces)
{
    WindowHarness h;
    auto w = h.makeWindow();
    for (int i = 0; i < 8; ++i)
        w->Timer1Timer();
    EXPECT_EQ(w->IdleSeconds, 2);

    // One toggle of the marker every three ticks while blinking.
    w->FlagBlink = true;
    QList<bool> shown;
    for (int i = 0; i < 7; ++i) {
        w->Timer1Timer();
        shown << !w->Shape1->isHidden();
    }
    EXPECT_EQ(shown, QList<bool>({true, true, true, false, false, false, true}));
    w->FlagBlink = false;
    w->Timer1Timer();
    EXPECT_FALSE(w->Shape1->isHidden());

    w->SearchCountdown = 2;
    w->DuplicateCountdown = 1;
    w->Timer1Timer();
    EXPECT_EQ(w->SearchCountdown, 1);
    EXPECT_EQ(w->DuplicateCountdown, 0);
    w->Timer1Timer();
    EXPECT_EQ(w->SearchCountdown, 0);
}

TEST(WindowHeartbeat, DebounceDueDuringARequestFiresOnTheTickAfterIt)
{
    WindowHarness h;
    auto w = h.makeWindow();
    w->Timer1Timer();
    w->SearchCountdown = 2;
    w->DuplicateCountdown = 1;
    QList<int> during;
    h.transport1->duringRequest = [&] {
        w->Timer1Timer();
        w->Timer1Timer();
        during << w->SearchCountdown << w->DuplicateCountdown;
    };
    w->HttpExecute(QStringLiteral("http://127.0.0.1:9/AxInfoVO?x=1"),
                   h.temp() + QStringLiteral("/XmlVO.xml"));
    h.transport1->duringRequest = nullptr;
    EXPECT_EQ(during, QList<int>({1, 1}));
    w->Timer1Timer();
    EXPECT_EQ(w->SearchCountdown, 0);
    EXPECT_EQ(w->DuplicateCountdown, 0);
}

TEST(WindowReload, Message1024ReReadsTheSettings)
{
    WindowHarness h;
    h.writeSettings({{QStringLiteral("idTVO"), QStringLiteral("12")}});
    auto w = h.makeWindow();
    w->Timer1Timer();
    h.writeSettings({{QStringLiteral("idTVO"), QStringLiteral("13")},
                     {QStringLiteral("idClient"), QStringLiteral("4")}});
    w->LbVersion->setText(QStringLiteral("kept"));
    w->OnInstanceMessage(QByteArrayLiteral("1024"));
    EXPECT_EQ(w->LbIdTVO->text(), QStringLiteral("13"));
    EXPECT_EQ(w->LbIDCustomer->text(), QStringLiteral("4"));
    EXPECT_EQ(w->ParamCount, 24);
    EXPECT_EQ(h.transport1->drops, 1);
    w->Timer1Timer();
    EXPECT_EQ(w->LbVersion->text(), QStringLiteral("kept"));

    // Asked for during a request, the reload waits for the first idle tick.
    h.writeSettings({{QStringLiteral("idTVO"), QStringLiteral("14")}});
    h.transport1->duringRequest = [&] {
        w->OnInstanceMessage(QByteArrayLiteral("1024"));
    };
    w->HttpExecute(QStringLiteral("http://127.0.0.1:9/AxInfoVO?x=1"),
                   h.temp() + QStringLiteral("/XmlVO.xml"));
    h.transport1->duringRequest = nullptr;
    EXPECT_EQ(w->LbIdTVO->text(), QStringLiteral("13"));
    w->Timer1Timer();
    EXPECT_EQ(w->LbIdTVO->text(), QStringLiteral("14"));
    EXPECT_EQ(w->ParamCount, 36);
}

TEST(WindowShell, SettingsKeysAndHints)
{
    WindowHarness h;
    auto w = h.makeWindow();
    const QString value = QStringLiteral("Where (a='1,2'); b=\"3\"");
    EXPECT_TRUE(w->SetTagRegistry(QStringLiteral("svText1"), value));
    EXPECT_EQ(w->GetTagRegistry(QStringLiteral("svText1")), value);
    EXPECT_EQ(w->GetTagRegistry(QStringLiteral("FirstFormHandle")),
              QString::number(qulonglong(w->winId())));
    EXPECT_EQ(w->GetTagRegistry(QStringLiteral("absent")), QString());

    w->Timer1Timer();
    QPushButton button(w.get());
    button.setToolTip(QStringLiteral("Enregistrer|enregistrement de la fiche"));
    QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    QCoreApplication::sendEvent(&button, &tip);
    EXPECT_EQ(w->LbDebugInfo3->text(), QStringLiteral("enregistrement de la fiche"));
}
