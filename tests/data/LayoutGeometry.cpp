#include "LayoutGeometry.h"

#include <algorithm>

namespace dravik::layout {

Rect rectOf(const LayoutRow &row)
{
    return {row.left, row.top, row.width, row.height};
}

bool overlaps(const Rect &a, const Rect &b)
{
    const int w = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const int h = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return w > 1 && h > 1;
}

namespace {

// Next code point of UTF-8 text (invalid bytes count as one character each).
char32_t next(std::string_view s, size_t &i)
{
    const auto c = static_cast<unsigned char>(s[i++]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
    while (extra-- > 0 && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return cp;
}

int charWidth(char32_t c)
{
    if (std::u32string_view(U"ilIj'.,:;!|() ").find(c) != std::u32string_view::npos)
        return 3;
    if (c == U'M' || c == U'W' || c == U'@' || c == U'%')
        return 9;
    if (c == U'm' || c == U'w')
        return 8;
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE))
        return 7;
    return 6;
}

} // namespace

int textWidth(std::string_view utf8)
{
    int width = 0;
    for (size_t i = 0; i < utf8.size();)
        width += charWidth(next(utf8, i));
    return width;
}

std::optional<Rect> createdLabel(const LayoutRow &row)
{
    if (row.desc.empty() || row.txtInfo.empty() || row.tControl == "104" || row.widget == "none"
        || row.widget == "gridcol")
        return std::nullopt;
    const int height = std::min(row.height, kTextHeight);
    if (row.tControl == "110" || row.tControl == "120")
        return Rect {row.left, row.top - 20 + 2, textWidth(row.txtInfo), height};
    const int left = row.left < 94 ? 5 : row.left < 401 ? row.left - 48 : row.left - 22;
    return Rect {left, row.top + 2, textWidth(row.txtInfo), height};
}

} // namespace dravik::layout
