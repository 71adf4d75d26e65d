#include "ui/widgets/ProgramIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A side view of a car on a blue tile.
void drawDravik(QPainter &p, qreal s)
{
    p.setBrush(QColor(0x1d, 0x4e, 0x9a));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
    QPainterPath body;
    body.moveTo(s * 0.10, s * 0.66);
    body.lineTo(s * 0.10, s * 0.52);
    body.lineTo(s * 0.26, s * 0.48);
    body.lineTo(s * 0.38, s * 0.30);
    body.lineTo(s * 0.66, s * 0.30);
    body.lineTo(s * 0.80, s * 0.48);
    body.lineTo(s * 0.90, s * 0.52);
    body.lineTo(s * 0.90, s * 0.66);
    body.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(body);
    p.setBrush(QColor(0xf2, 0xc1, 0x2e));
    for (qreal x : {0.28, 0.72})
        p.drawEllipse(QPointF(s * x, s * 0.68), s * 0.10, s * 0.10);
}

// A customer card on a green tile: a head and shoulders beside two text lines.
void drawClarim(QPainter &p, qreal s)
{
    p.setBrush(QColor(0x2e, 0x8b, 0x57));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(s * 0.33, s * 0.36), s * 0.13, s * 0.13);
    p.drawPie(QRectF(s * 0.12, s * 0.52, s * 0.42, s * 0.40), 0, 180 * 16);
    p.drawRect(QRectF(s * 0.60, s * 0.36, s * 0.28, s * 0.08));
    p.drawRect(QRectF(s * 0.60, s * 0.56, s * 0.22, s * 0.08));
}

} // namespace

QIcon programIcon(const QString &resourceName)
{
    void (*draw)(QPainter &, qreal) = nullptr;
    if (resourceName == QLatin1String("ICODRAVIK"))
        draw = drawDravik;
    else if (resourceName == QLatin1String("ICOCLARIM"))
        draw = drawClarim;
    else
        return QIcon();
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, size);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
