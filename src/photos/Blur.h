#pragma once

// The Gaussian blur of the plate editor: a kernel trimmed to the weights that matter for
// 8-bit data, applied separably (rows, then columns), and the diagonal band that follows a
// plate's slant. Pictures are 24-bit (QImage::Format_RGB888); any other format raises
// std::invalid_argument "GBlur only works for 24-bit bitmaps".

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <vector>

struct BlurKernel
{
    int size = 0; // taps run from -size to size
    std::vector<float> weights; // 2 * size + 1 weights, w[k] at index k + size; they sum to 1
    float at(int k) const { return weights[size_t(k + size)]; }
};

BlurKernel BuildBlurKernel(int radius);
// One row (or column) of n pixels of 3 channels, `stride` bytes from one pixel to the next:
// each channel takes the weighted sum of its neighbours, edge pixels repeated.
void BlurLine(std::uint8_t *pixels, int n, int stride, const BlurKernel &kernel);
void BlurBitmap(QImage &bitmap, int radius);
// Blurs work, then gives back its unblurred pixels outside a band about bandHeight high that
// runs corner to corner: top-left to bottom-right when leftToRight, else bottom-left to
// top-right.
void BlurPlateBand(const QImage &unblurred, QImage &work, bool leftToRight, int bandHeight,
                   int radius);

struct BandLine
{
    QPoint from;
    QPoint to;
};
// Positive above the line, negative below (y grows downwards), 0 on it or for a point line.
double LineSide(const QPoint &p, const BandLine &line);
// The two lines bounding the band of a zone of that size (the band height already limited).
std::pair<BandLine, BandLine> bandLines(int width, int height, bool leftToRight, int bandHeight);
