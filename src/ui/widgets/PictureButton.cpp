#include "ui/widgets/PictureButton.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace {

const char kHoverStyle[] = "PictureButton { border: 1px solid transparent; border-radius: 3px; "
                           "padding: 1px; }"
                           "PictureButton:hover { background: #e3ecf9; border-color: #7a9cd3; }"
                           "PictureButton:pressed { background: #c5d7f2; }";

void arrow(QPainter &p, const QRectF &r, bool right, const QColor &color)
{
    QPainterPath path;
    const qreal mid = r.center().y();
    if (right) {
        path.moveTo(r.left(), r.top());
        path.lineTo(r.right(), mid);
        path.lineTo(r.left(), r.bottom());
    } else {
        path.moveTo(r.right(), r.top());
        path.lineTo(r.left(), mid);
        path.lineTo(r.right(), r.bottom());
    }
    path.closeSubpath();
    p.fillPath(path, color);
}

} // namespace

PictureButton::PictureButton(QWidget *parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QString::fromLatin1(kHoverStyle));
    setIconSize(QSize(24, 24));
    setPicture(Picture::Generic);
}

void PictureButton::setPicture(Picture picture)
{
    m_picture = picture;
    setIcon(drawPicture(picture, iconSize().height()));
}

void PictureButton::setCaption(const QString &caption)
{
    setText(caption);
    updateStyle();
}

void PictureButton::resizeEvent(QResizeEvent *event)
{
    updateStyle();
    QToolButton::resizeEvent(event);
}

void PictureButton::updateStyle()
{
    if (text().isEmpty()) {
        setToolButtonStyle(Qt::ToolButtonIconOnly);
        return;
    }
    if (m_captionPixels == 0)
        m_captionPixels = QFontInfo(font()).pixelSize();
    QFont caption = font();
    caption.setPixelSize(m_captionPixels);
    const int both = iconSize().width() + QFontMetrics(caption).horizontalAdvance(text()) + 12;
    const bool beside = both <= width();
    setToolButtonStyle(beside ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextOnly);
    // A caption alone that is still too wide is drawn smaller, down to 8 pixels.
    while (!beside && caption.pixelSize() > 8
           && QFontMetrics(caption).horizontalAdvance(text()) + 12 > width())
        caption.setPixelSize(caption.pixelSize() - 1);
    if (caption.pixelSize() != QFontInfo(font()).pixelSize())
        setFont(caption);
}

PictureButton::Picture PictureButton::pictureForName(const QString &name)
{
    static const QHash<QString, Picture> byName = {
            {QStringLiteral("JvXPBtnSave"), Picture::Save},
            {QStringLiteral("JvXPBtnSuppr"), Picture::Delete},
            {QStringLiteral("JvXPBtnSweep"), Picture::Sweep},
            {QStringLiteral("JvXPBtnPrint"), Picture::Print},
            {QStringLiteral("JvXPBtnSearch"), Picture::Search},
            {QStringLiteral("JvXPBtnNewVO"), Picture::New},
            {QStringLiteral("JvXPBtnActualize"), Picture::Refresh},
            {QStringLiteral("JvXPPrev"), Picture::Previous},
            {QStringLiteral("JvXPNext"), Picture::Next},
            {QStringLiteral("JvXPBtnSMS"), Picture::Sms},
            {QStringLiteral("JvXPBtnNewAction"), Picture::Add},
            {QStringLiteral("JvXPBtnNewVehicle"), Picture::Add},
    };
    return byName.value(name, Picture::Generic);
}

QIcon PictureButton::drawPicture(Picture picture, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    const QColor ink(40, 70, 130);
    p.setPen(QPen(ink, 1.5));
    switch (picture) {
    case Picture::Save:
        p.setBrush(QColor(70, 110, 190));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 4, 10, 6));
        p.drawRect(QRectF(6, 14, 12, 6));
        break;
    case Picture::Delete:
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    case Picture::Sweep:
        p.setPen(QPen(QColor(140, 90, 30), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 3), QPointF(10, 14));
        p.setBrush(QColor(220, 180, 80));
        p.drawPolygon(
                QPolygonF({QPointF(6, 13), QPointF(14, 15), QPointF(12, 21), QPointF(3, 19)}));
        p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 14), QPointF(21, 19));
        p.drawLine(QPointF(21, 14), QPointF(16, 19));
        break;
    case Picture::Print:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(150, 160, 180));
        p.drawRoundedRect(QRectF(3, 9, 18, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 15, 10, 6));
        break;
    case Picture::Search:
        p.setPen(QPen(ink, 2.5));
        p.setBrush(QColor(220, 235, 255));
        p.drawEllipse(QRectF(3, 3, 12, 12));
        p.setPen(QPen(ink, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 14), QPointF(20, 20));
        break;
    case Picture::New:
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF(
                {QPointF(5, 2), QPointF(14, 2), QPointF(19, 7), QPointF(19, 22), QPointF(5, 22)}));
        p.setPen(QPen(QColor(30, 150, 50), 2.5));
        p.drawLine(QPointF(12, 11), QPointF(12, 19));
        p.drawLine(QPointF(8, 15), QPointF(16, 15));
        break;
    case Picture::Refresh: {
        p.setPen(QPen(QColor(30, 130, 60), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 16, 16), 60 * 16, 280 * 16);
        QPainterPath head;
        head.moveTo(13, 1);
        head.lineTo(19, 5);
        head.lineTo(13, 9);
        head.closeSubpath();
        p.fillPath(head, QColor(30, 130, 60));
        break;
    }
    case Picture::Previous:
        arrow(p, QRectF(5, 5, 14, 14), false, ink);
        break;
    case Picture::Next:
        arrow(p, QRectF(5, 5, 14, 14), true, ink);
        break;
    case Picture::Sms:
        p.setBrush(QColor(255, 240, 170));
        p.drawRoundedRect(QRectF(3, 4, 18, 12), 3, 3);
        p.drawPolygon(QPolygonF({QPointF(7, 16), QPointF(7, 21), QPointF(12, 16)}));
        break;
    case Picture::Add:
        p.setPen(QPen(QColor(30, 150, 50), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 5), QPointF(12, 19));
        p.drawLine(QPointF(5, 12), QPointF(19, 12));
        break;
    case Picture::Generic:
        p.setBrush(QColor(120, 150, 200));
        p.drawEllipse(QRectF(6, 6, 12, 12));
        break;
    }
    return QIcon(pixmap);
}
