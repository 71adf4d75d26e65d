#include "ui/widgets/ImageList.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

void disc(QPainter &p, const QColor &fill, const QColor &edge)
{
    p.setPen(QPen(edge, 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
}

void bar(QPainter &p, bool vertical)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 7, 8, 2));
    if (vertical)
        p.drawRect(QRectF(7, 4, 2, 8));
}

QImage draw(int index)
{
    QImage image(ImageList::Size, ImageList::Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case ImageList::Delete:
        disc(p, QColor(220, 30, 30), QColor(140, 0, 0));
        bar(p, false);
        break;
    case ImageList::Add:
        disc(p, QColor(30, 170, 50), QColor(0, 100, 20));
        bar(p, true);
        break;
    case ImageList::None:
        disc(p, Qt::white, QColor(150, 150, 150));
        break;
    case ImageList::Information: {
        disc(p, QColor(40, 100, 210), QColor(20, 60, 150));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(7, 3.5, 2, 2));
        p.drawRect(QRectF(7, 6.5, 2, 6));
        break;
    }
    case ImageList::Play: {
        disc(p, QColor(30, 170, 50), QColor(0, 100, 20));
        QPainterPath triangle;
        triangle.moveTo(6, 4.5);
        triangle.lineTo(11.5, 8);
        triangle.lineTo(6, 11.5);
        triangle.closeSubpath();
        p.fillPath(triangle, Qt::white);
        break;
    }
    case ImageList::Globe: {
        disc(p, QColor(170, 170, 170), QColor(100, 100, 100));
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5.5, 1.5, 5, 13));
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
        p.drawLine(QPointF(3, 5), QPointF(13, 5));
        p.drawLine(QPointF(3, 11), QPointF(13, 11));
        break;
    }
    default:
        return QImage();
    }
    return image;
}

} // namespace

QImage ImageList::image(int index)
{
    static const std::array<QImage, Count> images = [] {
        std::array<QImage, Count> all;
        for (int i = 0; i < Count; ++i)
            all[i] = draw(i);
        return all;
    }();
    return index >= 0 && index < Count ? images[index] : QImage();
}

QPixmap ImageList::glyph(int index)
{
    return QPixmap::fromImage(image(index));
}

QIcon ImageList::icon(int index)
{
    return QIcon(glyph(index));
}
