#include "common/XmlText.h"

namespace dravik {

std::string xmlEscapeValue(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "&cr;";
            break;
        case '\n':
            out += "&cr;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out += c;
        }
    }
    return out;
}

namespace {

void replaceAll(std::string &text, std::string_view from, std::string_view to)
{
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

} // namespace

std::string xmlDecodeValue(std::string_view text, bool memo)
{
    std::string out(text);
    replaceAll(out, "&amp;", "&");
    replaceAll(out, "&lt;", "<");
    replaceAll(out, "&gt;", ">");
    if (memo)
        replaceAll(out, "&cr;", "\r\n");
    return out;
}

bool isXmlName(std::string_view name)
{
    if (name.empty())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!letter && !(i > 0 && other))
            return false;
    }
    return true;
}

} // namespace dravik
