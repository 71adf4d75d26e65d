#include "photos/Reduction.h"

#include <algorithm>
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

RowSampler::RowSampler(const QSize &source, const QSize &frame)
    : m_out(frame, QImage::Format_RGB888)
    , m_target(fittedRect(frame, source))
    , m_sourceHeight(source.height())
{
    if (m_out.isNull())
        return;
    m_out.fill(kFillColour);
    // Nearest source pixel of each target pixel's centre.
    m_column.resize(size_t(std::max(0, m_target.width())));
    for (int x = 0; x < m_target.width(); ++x)
        m_column[size_t(x)]
                = int((std::int64_t(2 * x + 1) * source.width()) / (2 * m_target.width())) * 3;
}

void RowSampler::feed(int row, const uchar *pixels)
{
    if (m_out.isNull() || m_target.isEmpty())
        return;
    for (; m_next < m_target.height(); ++m_next) {
        const int wanted
                = int((std::int64_t(2 * m_next + 1) * m_sourceHeight) / (2 * m_target.height()));
        if (wanted != row)
            return;
        uchar *to = m_out.scanLine(m_target.top() + m_next) + m_target.left() * 3;
        for (const int offset : m_column) {
            const uchar *p = pixels + offset;
            to[0] = p[0];
            to[1] = p[1];
            to[2] = p[2];
            to += 3;
        }
    }
}

QImage reducedPicture(const QImage &source, const QSize &frame)
{
    const QImage src = source.format() == QImage::Format_RGB888
            ? source
            : source.convertToFormat(QImage::Format_RGB888);
    RowSampler sampler(src.size(), frame);
    for (int y = 0; y < src.height(); ++y)
        sampler.feed(y, src.constScanLine(y));
    return sampler.take();
}
