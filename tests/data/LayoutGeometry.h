#pragma once

// Geometry of the form layout as the client will show it: control rectangles, the caption
// labels it creates for described fields, and the estimated width of a caption.

#include "common/FormLayout.h"

#include <optional>
#include <string_view>

namespace dravik::layout {

struct Rect
{
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
};

Rect rectOf(const LayoutRow &row);

// True when the two rectangles share more than a one-pixel border.
bool overlaps(const Rect &a, const Rect &b);

// Estimated advance of a UTF-8 caption at the window's 11-pixel font: 3 pixels for narrow
// characters, 8 or 9 for m, w, M, W, 7 for other capitals, 6 for the rest.
int textWidth(std::string_view utf8);

// Height of one line of caption text.
inline constexpr int kTextHeight = 16;

// The caption label the client creates for a described field, as text extent: none for
// buttons, fields without caption and key fields.
std::optional<Rect> createdLabel(const LayoutRow &row);

} // namespace dravik::layout
