#pragma once

// The two fixed pictures of every upload: the photo drawn into a frame of fixed size with its
// aspect ratio kept, margins of the fill colour, pixels dropped or repeated (no filtering).

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

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
