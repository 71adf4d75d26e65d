#include "common/Latin1.h"

namespace dravik {

std::string latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    out.reserve(latin1.size() + latin1.size() / 8);
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

// Decodes one UTF-8 sequence at text[i]; answers its length, 0 when malformed.
size_t decodeOne(std::string_view text, size_t i, char32_t &cp)
{
    const auto c = static_cast<unsigned char>(text[i]);
    size_t len;
    char32_t min;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(text[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

} // namespace

std::string utf8ToLatin1(std::string_view utf8, char replacement)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        // Runs of ASCII are copied as they stand.
        size_t ascii = i;
        while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80)
            ++ascii;
        if (ascii > i) {
            out.append(utf8, i, ascii - i);
            i = ascii;
            continue;
        }
        char32_t cp = 0;
        const size_t len = decodeOne(utf8, i, cp);
        if (len == 0) {
            out += replacement;
            ++i;
            continue;
        }
        out += cp <= 0xFF ? static_cast<char>(cp) : replacement;
        i += len;
    }
    return out;
}

bool isValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const size_t len = decodeOne(text, i, cp);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

} // namespace dravik
