#include "ui/TAxDravik.h"

#include "gateway/CurlTransport.h"
#include "gateway/HttpRequests.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Keyboard.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QTimer>

namespace {

constexpr int kRedWarning = 0xFF0000;

QLabel *makeLabel(QWidget *parent, const char *name, const QRect &geometry,
                  const QString &caption = QString(), bool visible = true)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setVisible(visible);
    return label;
}

QFrame *makePanel(QWidget *parent, const char *name, const QRect &geometry, const QColor &colour,
                  bool visible)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
    panel->setVisible(visible);
    return panel;
}

void paintText(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

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

} // namespace

void TAxDravik::InstallHints()
{
    if (m_hintsInstalled || !qApp)
        return;
    QApplication::setStyle(new HintTimingStyle);
    qApp->installEventFilter(this);
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
    s.http2 = std::make_unique<CurlTransport>(0);
    return s;
}

TAxDravik::TAxDravik(TAxDravikServices services, QWidget *parent)
    : QWidget(parent)
    , m_services(std::move(services))
{
    setObjectName(QStringLiteral("AxDravik"));
    if (auto *boxes = dynamic_cast<QtMessageBoxes *>(m_services.messages.get()))
        boxes->setParent(this);
    IdHTTP1 = m_services.http1.get();
    IdHTTP2 = m_services.http2.get();
    IdHTTP1->onStatus = [this](const QString &status) {
        TraceLog(QStringLiteral("Status : ") + status);
    };
    m_requests = std::make_unique<RequestRoutines>(*IdHTTP1, *m_services.clock,
                                                   [this](const QString &line) { TraceLog(line); });

    CreateShellControls();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TAxDravik::Timer1Timer);
    Timer1->start();

    ActiveFormCreate();
}

TAxDravik::~TAxDravik()
{
    if (m_hintsInstalled && qApp)
        qApp->removeEventFilter(this);
    if (m_splashCursor)
        QGuiApplication::restoreOverrideCursor();
    ActiveFormDestroy();
}

void TAxDravik::CreateShellControls()
{
    setWindowTitle(kDesignCaption);
    resize(kClientWidth, kClientHeight);
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    setFont(font);

    // Bottom line; the diagnostic labels sit below the client area until the diagnostic
    // view makes the window taller.
    LbDebugInfo0 = makeLabel(this, "LbDebugInfo0", QRect(8, 574, 440, 17));
    paintText(LbDebugInfo0, QColor(kRedWarning));
    LbVersion = makeLabel(this, "LbVersion", QRect(452, 574, 120, 17));
    LbVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LbIdTVO = makeLabel(this, "LbIdTVO", QRect(576, 574, 52, 17));
    LbIDCustomer = makeLabel(this, "LbIDCustomer", QRect(630, 574, 52, 17));
    LbDebugInfo1 = makeLabel(this, "LbDebugInfo1", QRect(8, 600, 809, 17), {}, false);
    LbDebugInfo2 = makeLabel(this, "LbDebugInfo2", QRect(8, 618, 809, 17), {}, false);
    LbDebugInfo3 = makeLabel(this, "LbDebugInfo3", QRect(8, 636, 809, 17), {}, false);
    LbHttpRoot = makeLabel(this, "LbHttpRoot", QRect(8, 654, 400, 17), {}, false);
    LbBaseHRef = makeLabel(this, "LbBaseHRef", QRect(412, 654, 405, 17), {}, false);

    // The marker on the first page; blinks while a list entry is missing.
    Shape1 = makePanel(this, "Shape1", QRect(796, 92, 13, 13), QColor(kRedWarning), false);
    Shape1->setFrameShape(QFrame::Box);

    Panel1 = makePanel(this, "Panel1", QRect(8, 56, 681, 521), palette().color(QPalette::Button),
                       false);
    Panel1->setFrameShape(QFrame::StyledPanel);

    PanelWarning = makePanel(this, "PanelWarning", QRect(0, 0, kClientWidth, 81),
                             QColor(kRedWarning), false);
    PanelWarning->lower();

    PanelSplash = makePanel(this, "PanelSplash", QRect(16, 16, 793, 545), QColor(Qt::white), false);
    PanelSplash->setFrameShape(QFrame::Box);
    ImageSplash = makeLabel(PanelSplash, "ImageSplash", QRect(286, 120, 220, 180));
    ImageSplash->setPixmap(splashLogo());
    LbConcession = makeLabel(PanelSplash, "LbConcession", QRect(16, 180, 761, 60),
                             QStringLiteral("NomConcession"), false);
    LbConcession->setAlignment(Qt::AlignCenter);
    QFont big = font;
    big.setPixelSize(32);
    big.setBold(true);
    LbConcession->setFont(big);
    LbSplash = makeLabel(PanelSplash, "LbSplash", QRect(16, 340, 761, 30));
    LbSplash->setAlignment(Qt::AlignCenter);
    QFont caption = font;
    caption.setPixelSize(18);
    LbSplash->setFont(caption);
}

bool TAxDravik::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        ActiveFormActivate();
    return QWidget::event(event);
}

bool TAxDravik::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && watched->isWidgetType())
        GestionHints(static_cast<QWidget *>(watched));
    return QWidget::eventFilter(watched, event);
}
