#pragma once

#include <QtGlobal>

// A colour as the server and the structure description write it: an integer with red in the
// low byte, then green, then blue. Negative values name system colours (high bit set plus the
// system colour index); the widget layer maps them onto the palette.
using TColor = qint32;

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clFuchsia = 0xFF00FF;

constexpr TColor systemColor(int index)
{
    return TColor(quint32(0x80000000u) | quint32(index));
}
constexpr TColor clWindow = systemColor(5);
constexpr TColor clWindowText = systemColor(8);
constexpr TColor clInactiveBorder = systemColor(11);
constexpr TColor clBtnFace = systemColor(15);

constexpr TColor tColorFromRgb(int red, int green, int blue)
{
    return TColor((blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF));
}
