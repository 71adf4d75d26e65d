#include "ui/TAxDravik.h"

#include "common/FormLayout.h"
#include "editing/PageStatement.h"
#include "engine/ViewRules.h"
#include "gateway/CurlTransport.h"
#include "gateway/HttpRequests.h"
#include "gateway/RequestKeys.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Keyboard.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"
#include "ui/widgets/DesignFactory.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/PictureButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// The company logo of the splash: a shield with a stylised road and the company's initial.
QPixmap splashLogo()
{
    QPixmap logo(220, 180);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shield;
    shield.moveTo(110, 6);
    shield.lineTo(206, 34);
    shield.cubicTo(206, 110, 160, 154, 110, 174);
    shield.cubicTo(60, 154, 14, 110, 14, 34);
    shield.closeSubpath();
    p.setPen(QPen(QColor(0x12, 0x2e, 0x5c), 5));
    p.setBrush(QColor(0x1d, 0x4e, 0x9a));
    p.drawPath(shield);
    QPainterPath road;
    road.moveTo(70, 160);
    road.cubicTo(95, 110, 125, 80, 150, 40);
    p.setPen(QPen(QColor(0xf2, 0xc1, 0x2e), 12, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(road);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(64);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(14, 30, 192, 110), Qt::AlignCenter, QStringLiteral("Z"));
    return logo;
}

// Hints come up after half a second and go after three.
class HintTimingStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 500;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Keys that move the focus or only hold a modifier: never swallowed.
bool isNavigationKey(const QKeyEvent *key)
{
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        return true;
    default:
        // Copying what a locked record shows is no change of it.
        return key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll);
    }
}

// Keys that show another page: arrows on the tab bar, Ctrl+Tab and Ctrl+PgUp/PgDn anywhere.
bool pageChangeKey(const QKeyEvent *key, bool fromPages)
{
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return ctrl;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        return !fromPages;
    default:
        return false;
    }
}

// The page a page-change key asks for.
PageStep pageStepOf(const QKeyEvent *key)
{
    switch (key->key()) {
    case Qt::Key_Backtab:
        return PageStep::Previous;
    case Qt::Key_Tab:
        return key->modifiers() & Qt::ShiftModifier ? PageStep::Previous : PageStep::Next;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
    case Qt::Key_Up:
        return PageStep::Previous;
    case Qt::Key_Home:
        return PageStep::First;
    case Qt::Key_End:
        return PageStep::Last;
    default:
        return PageStep::Next;
    }
}

// A field of the record: the widget or one of its parents inside the window carries a tag.
bool describedAncestor(QWidget *widget, const QWidget *window)
{
    bool tagged = false;
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (w == window)
            return tagged;
        tagged = tagged || TAxDravik::TagOf(w) != 0;
    }
    return false; // a control of another window
}

} // namespace

void TAxDravik::InstallHints()
{
    if (m_hintsInstalled || !qApp)
        return;
    QApplication::setStyle(new HintTimingStyle);
    m_hintsInstalled = true;
}

TAxDravikServices TAxDravikServices::system()
{
    TAxDravikServices s;
    s.clock = std::make_unique<SystemClock>();
    s.keyboard = std::make_unique<SystemKeyboard>();
    s.environment = std::make_unique<SystemEnvironment>();
    s.messages = std::make_unique<QtMessageBoxes>();
    s.shell = std::make_unique<DesktopShell>();
    s.http1 = std::make_unique<CurlTransport>(5000);
    s.http2 = std::make_unique<CurlTransport>(TAxDravik::kPreviewSilenceMs);
    return s;
}

TAxDravik::TAxDravik(TAxDravikServices services, QWidget *parent)
    : QWidget(parent)
    , m_services(std::move(services))
{
    setObjectName(QStringLiteral("TAxDravik"));
    if (auto *boxes = dynamic_cast<QtMessageBoxes *>(m_services.messages.get()))
        boxes->setParent(this);
    IdHTTP1 = m_services.http1.get();
    IdHTTP2 = m_services.http2.get();
    IdHTTP1->onStatus = [this](const QString &status) {
        TraceLog(QStringLiteral("Status : ") + status);
    };
    m_requestKeys = std::make_unique<RequestKeys>();
    m_requests = std::make_unique<RequestRoutines>(*IdHTTP1, *m_services.clock,
                                                   [this](const QString &line) { TraceLog(line); });

    CreateDesignControls();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TAxDravik::Timer1Timer);
    Timer1->start();

    ActiveFormCreate();
}

TAxDravik::~TAxDravik()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (m_splashCursor)
        QGuiApplication::restoreOverrideCursor();
    ActiveFormDestroy();
}

template<typename T>
T *TAxDravik::DesignControl(const char *name)
{
    const QString key = QLatin1String(name);
    if (auto *control = qobject_cast<T *>(Controls.value(key)))
        return control;
    // The window must not lose a control its code relies on: a hidden stand-in takes its name.
    DesignProblems << QStringLiteral("%1 : contrôle absent de la maquette, remplacé").arg(key);
    auto *standIn = new T(this);
    standIn->setObjectName(key);
    standIn->hide();
    Controls.insert(key, standIn);
    return standIn;
}

void TAxDravik::CreateDesignControls()
{
    SetCaption(kDesignCaption);
    resize(kClientWidth, kClientHeight);
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    setFont(font);

    DesignControls made = createDesignControls(this, dravik::formLayout());
    Controls = made.widgets;
    DesignProblems = made.problems;

    xcInfoNVO = DesignControl<HeaderEdit>("xcInfoNVO");
    xcInfoTitre = DesignControl<HeaderEdit>("xcInfoTitre");
    xcIdentity = DesignControl<HeaderEdit>("xcIdentity");
    xcInfoField1 = DesignControl<HeaderEdit>("xcInfoField1");
    xcInfoField2 = DesignControl<HeaderEdit>("xcInfoField2");
    xcInfoField3 = DesignControl<HeaderEdit>("xcInfoField3");
    JvXPBtnSweep = DesignControl<PictureButton>("JvXPBtnSweep");
    JvXPBtnSuppr = DesignControl<PictureButton>("JvXPBtnSuppr");
    JvXPBtnPrint = DesignControl<PictureButton>("JvXPBtnPrint");
    JvXPBtnSearch = DesignControl<PictureButton>("JvXPBtnSearch");
    JvXPBtnNewVO = DesignControl<PictureButton>("JvXPBtnNewVO");
    JvXPBtnSave = DesignControl<PictureButton>("JvXPBtnSave");
    // Nothing waits to be saved before a record is shown: a launch that comes first asks
    // nothing.
    if (JvXPBtnSave)
        JvXPBtnSave->setEnabled(false);
    JvXPBtnActualize = DesignControl<PictureButton>("JvXPBtnActualize");
    JvXPPrev = DesignControl<PictureButton>("JvXPPrev");
    JvXPNext = DesignControl<PictureButton>("JvXPNext");
    JvXPBtnSMS = DesignControl<PictureButton>("JvXPBtnSMS");
    JvXPBtnNewVehicle = DesignControl<PictureButton>("JvXPBtnNewVehicle");
    JvXPBtnNewAction = DesignControl<PictureButton>("JvXPBtnNewAction");
    Tabs = DesignControl<QTabWidget>("Tabs");
    PanelCompta = DesignControl<QFrame>("PanelCompta");
    PanelWarning = DesignControl<QFrame>("PanelWarning");
    PanelSplash = DesignControl<QFrame>("PanelSplash");
    LbSplash = DesignControl<QLabel>("LbSplash");
    ImageSplash = DesignControl<QLabel>("ImageSplash");
    LbConcession = DesignControl<QLabel>("LbConcession");
    Panel1 = DesignControl<QFrame>("Panel1");
    Shape1 = DesignControl<QFrame>("Shape1");
    LbInfoOptions = DesignControl<QLabel>("LbInfoOptions");
    LbInfoTimer = DesignControl<QLabel>("LbInfoTimer");
    LbDebugInfo0 = DesignControl<QLabel>("LbDebugInfo0");
    LbDebugInfo1 = DesignControl<QLabel>("LbDebugInfo1");
    LbDebugInfo2 = DesignControl<QLabel>("LbDebugInfo2");
    LbDebugInfo3 = DesignControl<QLabel>("LbDebugInfo3");
    LbHttpRoot = DesignControl<QLabel>("LbHttpRoot");
    LbBaseHRef = DesignControl<QLabel>("LbBaseHRef");
    LbVersion = DesignControl<QLabel>("LbVersion");
    LbIdTVO = DesignControl<QLabel>("LbIdTVO");
    LbIDCustomer = DesignControl<QLabel>("LbIDCustomer");
    // What became of the data, on the bottom line between the ids and the version.
    LbStatus = new QLabel(this);
    LbStatus->setObjectName(QStringLiteral("LbStatus"));
    LbStatus->setGeometry(LbInfoTimer->x() + LbInfoTimer->width() + 4, LbIdTVO->y(),
                          LbVersion->x() - LbInfoTimer->x() - LbInfoTimer->width() - 8,
                          LbIdTVO->height());
    Controls.insert(LbStatus->objectName(), LbStatus);

    // The toolbar's shortcuts, said in its hints.
    for (const auto &[button, keys] :
         {std::pair {JvXPBtnSave, "Ctrl+S"}, std::pair {JvXPBtnActualize, "F5"},
          std::pair {JvXPBtnNewVO, "Ctrl+N"}})
        button->setToolTip(button->toolTip() + QStringLiteral(" (") + QLatin1String(keys)
                           + QLatin1Char(')'));

    // Pages of tabs 1 to 9.
    for (int n = 1; n < int(TabDesc.size()); ++n)
        TabDesc[n].Page = Controls.value(QStringLiteral("Sheet%1").arg(n, 2, 10, QLatin1Char('0')));

    // The band lies under everything; the toolbar stands over the tab bar, which it overlaps.
    PanelWarning->lower();
    for (QWidget *button : {JvXPBtnSweep, JvXPBtnSuppr, JvXPBtnPrint, JvXPBtnSearch, JvXPBtnNewVO,
                            JvXPBtnSave, JvXPBtnActualize})
        button->raise();
    LbInfoOptions->raise();
    Panel1->raise();
    PanelSplash->raise();
    PanelSplash->hide();
    ImageSplash->setPixmap(splashLogo());
    // The list-maintenance marker outlines its combo box without taking its clicks.
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (HeaderEdit *edit : {xcInfoNVO, xcInfoField1, xcInfoField2, xcInfoField3})
        edit->setCentered(true);
    // The header's own text colour, which a record kind without one of its own keeps.
    for (HeaderEdit *edit :
         {xcInfoNVO, xcInfoTitre, xcIdentity, xcInfoField1, xcInfoField2, xcInfoField3})
        edit->setProperty(kDesignTextColor,
                          edit->palette().color(QPalette::Disabled, QPalette::Text));

    DesignProblems << WireDesignHandlers(made.handlers);
    // Whatever shows a page whose tab is hidden (its fields hold another record's values)
    // shows a page shown instead.
    connect(Tabs, &QTabWidget::currentChanged, this, [this](int page) {
        if (page < 0 || Tabs->isTabVisible(page))
            return;
        const int to = shownPageAfter(ShownPages(), page, PageStep::Next);
        if (to != page)
            Tabs->setCurrentIndex(to);
    });
    // Key preview: the window sees the keys of its controls first.
    qApp->installEventFilter(this);
    Tabs->tabBar()->installEventFilter(this);
}

std::vector<bool> TAxDravik::ShownPages() const
{
    std::vector<bool> shown;
    for (int i = 0; i < Tabs->count(); ++i)
        shown.push_back(Tabs->isTabVisible(i));
    return shown;
}

bool TAxDravik::ToolbarShortcut(QKeyEvent *key)
{
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    PictureButton *button = nullptr;
    // In list maintenance Ctrl+S adds the box's text to its list: the box takes it.
    if (ctrl && key->key() == Qt::Key_S && !FlagBlink)
        button = JvXPBtnSave;
    else if (ctrl && key->key() == Qt::Key_N)
        button = JvXPBtnNewVO;
    else if (key->key() == Qt::Key_F5 && !(key->modifiers() & ~Qt::KeypadModifier))
        button = JvXPBtnActualize;
    if (!button)
        return false;
    // Exactly what a click does, and nothing while a click could not be made.
    if (RequestInFlight() || button->isHidden())
        return true;
    // A box being typed in gives its text first, as leaving it would.
    if (button == JvXPBtnSave)
        CommitFocusedCombo();
    if (button->isEnabled())
        button->click();
    else if (button == JvXPBtnSave)
        TestFocusedField(); // says why a text typed there cannot be saved
    return true;
}

void TAxDravik::closeEvent(QCloseEvent *event)
{
    if (AskPendingChanges())
        event->accept();
    else
        event->ignore();
}

bool TAxDravik::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        ActiveFormActivate();
    return QWidget::event(event);
}

bool TAxDravik::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        if (m_hintsInstalled && watched->isWidgetType())
            GestionHints(static_cast<QWidget *>(watched));
        break;
    case QEvent::FocusOut: {
        // A text field left shows its text from the start, an amount with its two decimals.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (!edit || !isAncestorOf(edit) || reason == Qt::PopupFocusReason
            || reason == Qt::ActiveWindowFocusReason)
            break;
        if (const TsDesc *d = DescOf(edit);
            d && d->tInfo == DataKind::Decimal && !edit->isReadOnly()) {
            const QString shown = editValue(d->tInfo, edit->text());
            if (shown != edit->text())
                edit->setText(shown);
        }
        edit->setCursorPosition(0);
        break;
    }
    case QEvent::MouseButtonPress:
        // A click on another page's tab asks TabsChanging first.
        if (watched == Tabs->tabBar()) {
            const int at = Tabs->tabBar()->tabAt(
                    static_cast<QMouseEvent *>(event)->position().toPoint());
            if (at >= 0 && at != Tabs->currentIndex() && !TabChangeAllowed())
                return true;
        }
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool inWindow = watched->isWidgetType()
                && (watched == this || isAncestorOf(static_cast<QWidget *>(watched)));
        if (!inWindow)
            break;
        if (ToolbarShortcut(key))
            return true;
        // Page changes by key go to the next page shown, never to a hidden one.
        if (pageChangeKey(key, watched != Tabs->tabBar())) {
            const int to = shownPageAfter(ShownPages(), Tabs->currentIndex(), pageStepOf(key));
            if (to != Tabs->currentIndex() && TabChangeAllowed())
                Tabs->setCurrentIndex(to);
            return true;
        }
        // Key preview: a locked record swallows the keys of every described field, whatever
        // handlers the field carries.
        if (!FlagModifiable && watched->isWidgetType() && !isNavigationKey(key)
            && describedAncestor(static_cast<QWidget *>(watched), this)) {
            GoTestVerrou();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
