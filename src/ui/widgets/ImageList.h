#pragma once

#include <QIcon>
#include <QPixmap>

// The six 16 x 16 glyphs of the grids' image columns, drawn in code.
class ImageList
{
public:
    enum Glyph { Delete = 0, Add = 1, None = 2, Information = 3, Play = 4, Globe = 5 };
    static constexpr int Count = 6;
    static constexpr int Size = 16;

    // A null pixmap for an index outside 0..5.
    static QPixmap glyph(int index);
    static QIcon icon(int index);
    static QImage image(int index);
};
