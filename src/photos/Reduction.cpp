#include "photos/Reduction.h"

#include <cstdint>
#include <vector>

int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t half = (c < 0 ? -c : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (c < 0 ? -c : c);
    return int(negative ? -magnitude : magnitude);
}

QRect fittedRect(const QSize &frame, const QSize &picture)
{
    const int W = frame.width(), H = frame.height();
    const int w = picture.width(), h = picture.height();
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0)
        return {};
    if (double(W) / H > double(w) / h) {
        const int width = mulDiv(H, w, h);
        return {(W - width) / 2, 0, width, H};
    }
    const int height = mulDiv(W, h, w);
    return {0, (H - height) / 2, W, height};
}

QImage reducedPicture(const QImage &source, const QSize &frame)
{
    QImage out(frame, QImage::Format_RGB888);
    if (out.isNull())
        return out;
    out.fill(kFillColour);
    const QImage src = source.format() == QImage::Format_RGB888
            ? source
            : source.convertToFormat(QImage::Format_RGB888);
    const QRect target = fittedRect(frame, src.size());
    if (target.isEmpty())
        return out;
    // Nearest source pixel of each target pixel's centre.
    std::vector<int> column(size_t(target.width()));
    for (int x = 0; x < target.width(); ++x)
        column[size_t(x)] = int((std::int64_t(2 * x + 1) * src.width()) / (2 * target.width())) * 3;
    for (int y = 0; y < target.height(); ++y) {
        const int sy = int((std::int64_t(2 * y + 1) * src.height()) / (2 * target.height()));
        const uchar *from = src.constScanLine(sy);
        uchar *to = out.scanLine(target.top() + y) + target.left() * 3;
        for (int x = 0; x < target.width(); ++x) {
            const uchar *p = from + column[size_t(x)];
            to[0] = p[0];
            to[1] = p[1];
            to[2] = p[2];
            to += 3;
        }
    }
    return out;
}
