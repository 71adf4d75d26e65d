#pragma once

// The two fixed pictures of every upload: the photo drawn into a frame of fixed size with its
// aspect ratio kept, margins of the fill colour, pixels dropped or repeated (no filtering).

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <vector>

inline constexpr QSize kPhotoSize {640, 480};
inline constexpr QSize kMiniatureSize {120, 90};
// Colour 15466495 of the editor's fill shape: red 255, green 255, blue 235.
inline const QColor kFillColour {255, 255, 235};

// a * b / c rounded to the nearest integer, halves away from zero; 0 when c is 0.
int mulDiv(int a, int b, int c);
// Where a picture of size picture lands in a frame of size frame.
QRect fittedRect(const QSize &frame, const QSize &picture);
// A 24-bit picture of exactly frame's size: the source stretched into fittedRect, margins
// filled. A null source gives the frame filled.
QImage reducedPicture(const QImage &source, const QSize &frame);

// The same picture made from the source's rows as they come, top to bottom, so that a decoder
// never has to hold the whole source: feed every row (RGB, 3 bytes a pixel) in order.
class RowSampler
{
public:
    RowSampler(const QSize &source, const QSize &frame);
    void feed(int row, const uchar *pixels);
    // Taken once every row was fed.
    QImage take() { return std::move(m_out); }

private:
    QImage m_out;
    QRect m_target;
    std::vector<int> m_column; // byte offset in a source row of each target column
    int m_sourceHeight = 0;
    int m_next = 0; // next target row to fill
};
