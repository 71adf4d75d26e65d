#include "photos/Blur.h"

#include "photos/PhotoTexts.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int kMaxTaps = 100;
constexpr double kTailLimit = 1.0 / (2 * 255);

void requireRgb24(const QImage &bitmap)
{
    if (bitmap.format() != QImage::Format_RGB888)
        throw std::invalid_argument(PhotoText::NotRgb24);
}

std::uint8_t channelValue(double sum)
{
    if (sum < 0)
        return 0;
    if (sum >= 255)
        return 255;
    return std::uint8_t(sum);
}

// Sums in double precision, k running from -size to size, so every pass gives the same bytes
// as BlurLine; the inner loops run over contiguous values and vectorise.
// The wider vector unit where the processor has one: twice the double sums at a time.
#if defined(__x86_64__) && defined(__GNUC__)
#define DRAVIK_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define DRAVIK_WIDE_VECTORS
#endif

DRAVIK_WIDE_VECTORS void blurRows(QImage &bitmap, const BlurKernel &kernel)
{
    const int w = bitmap.width(), s = kernel.size;
    std::vector<double> padded(size_t(w + 2 * s) * 3);
    std::vector<double> sums(size_t(w) * 3);
    for (int y = 0; y < bitmap.height(); ++y) {
        std::uint8_t *row = bitmap.scanLine(y);
        for (int i = 0; i < w + 2 * s; ++i) {
            const std::uint8_t *p = row + 3 * std::clamp(i - s, 0, w - 1);
            padded[size_t(i) * 3] = p[0];
            padded[size_t(i) * 3 + 1] = p[1];
            padded[size_t(i) * 3 + 2] = p[2];
        }
        std::fill(sums.begin(), sums.end(), 0.0);
        const size_t n = sums.size();
        for (int k = -s; k <= s; ++k) {
            const double weight = kernel.at(k);
            // Pixel x - k sits at padded index x - k + s.
            const double *from = padded.data() + size_t(s - k) * 3;
            double *to = sums.data();
            for (size_t j = 0; j < n; ++j)
                to[j] += weight * from[j];
        }
        for (size_t j = 0; j < n; ++j)
            row[j] = channelValue(sums[j]);
    }
}

DRAVIK_WIDE_VECTORS void blurColumns(QImage &bitmap, const BlurKernel &kernel)
{
    const int h = bitmap.height(), s = kernel.size;
    const size_t n = size_t(bitmap.width()) * 3;
    const QImage source = bitmap.copy();
    std::vector<double> sums(n);
    for (int y = 0; y < h; ++y) {
        std::fill(sums.begin(), sums.end(), 0.0);
        for (int k = -s; k <= s; ++k) {
            const double weight = kernel.at(k);
            const std::uint8_t *from = source.constScanLine(std::clamp(y - k, 0, h - 1));
            double *to = sums.data();
            for (size_t j = 0; j < n; ++j)
                to[j] += weight * from[j];
        }
        std::uint8_t *row = bitmap.scanLine(y);
        for (size_t j = 0; j < n; ++j)
            row[j] = channelValue(sums[j]);
    }
}

} // namespace

BlurKernel BuildBlurKernel(int radius)
{
    if (radius == 0)
        radius = 1;
    float w[2 * kMaxTaps + 1];
    double total = 0;
    for (int j = -kMaxTaps; j <= kMaxTaps; ++j) {
        const float ratio = float(j) / float(radius);
        w[j + kMaxTaps] = std::exp(-ratio * ratio / 2);
        total += w[j + kMaxTaps];
    }
    for (float &weight : w)
        weight = float(weight / total);
    int size = kMaxTaps;
    double tail = 0;
    while (tail < kTailLimit && size > 1) {
        tail += 2 * double(w[size + kMaxTaps]);
        --size;
    }
    BlurKernel kernel;
    kernel.size = size;
    double kept = 0;
    for (int j = -size; j <= size; ++j)
        kept += w[j + kMaxTaps];
    for (int j = -size; j <= size; ++j)
        kernel.weights.push_back(float(w[j + kMaxTaps] / kept));
    return kernel;
}

void BlurLine(std::uint8_t *pixels, int n, int stride, const BlurKernel &kernel)
{
    if (n <= 0)
        return;
    std::vector<std::uint8_t> out(size_t(n) * 3);
    for (int x = 0; x < n; ++x) {
        for (int c = 0; c < 3; ++c) {
            double sum = 0;
            for (int k = -kernel.size; k <= kernel.size; ++k)
                sum += double(kernel.at(k)) * pixels[std::clamp(x - k, 0, n - 1) * stride + c];
            out[size_t(x) * 3 + size_t(c)] = channelValue(sum);
        }
    }
    for (int x = 0; x < n; ++x)
        std::copy_n(out.data() + size_t(x) * 3, 3, pixels + x * stride);
}

void BlurBitmap(QImage &bitmap, int radius)
{
    requireRgb24(bitmap);
    if (bitmap.isNull())
        return;
    const BlurKernel kernel = BuildBlurKernel(radius);
    blurRows(bitmap, kernel);
    blurColumns(bitmap, kernel);
}

double LineSide(const QPoint &p, const BandLine &line)
{
    const std::int64_t x1 = line.from.x(), y1 = line.from.y();
    const std::int64_t x2 = line.to.x(), y2 = line.to.y();
    const std::int64_t length = (x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1);
    if (length == 0)
        return 0;
    return double((y1 - p.y()) * (x2 - x1) - (x1 - p.x()) * (y2 - y1)) / double(length);
}

std::pair<BandLine, BandLine> bandLines(int width, int height, bool leftToRight, int a)
{
    const int right = width - 1, bottom = height - 1;
    if (leftToRight)
        return {{{0, 0}, {right, bottom - a}}, {{0, a}, {right, bottom}}};
    return {{{0, bottom - a}, {right, 0}}, {{0, bottom}, {right, a}}};
}

void BlurPlateBand(const QImage &unblurred, QImage &work, bool leftToRight, int bandHeight,
                   int radius)
{
    requireRgb24(work);
    BlurBitmap(work, radius);
    const int w = work.width(), h = work.height();
    const auto [line1, line2] = bandLines(w, h, leftToRight, std::min(bandHeight, h));
    const QImage plain = unblurred.format() == QImage::Format_RGB888
            ? unblurred
            : unblurred.convertToFormat(QImage::Format_RGB888);
    const int ph = std::min(h, plain.height()), pw = std::min(w, plain.width());
    for (int y = 0; y < ph; ++y) {
        const std::uint8_t *from = plain.constScanLine(y);
        std::uint8_t *to = work.scanLine(y);
        for (int x = 0; x < pw; ++x) {
            const QPoint p(x, y);
            if (LineSide(p, line1) > 0 || LineSide(p, line2) < 0)
                std::copy_n(from + x * 3, 3, to + x * 3);
        }
    }
}
