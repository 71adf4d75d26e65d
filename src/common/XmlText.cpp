#include "common/XmlText.h"

namespace dravik {

std::string xmlEscapeValue(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    appendEscaped(out, text);
    return out;
}

void appendEscaped(std::string &out, std::string_view text)
{
    size_t plain = 0; // start of the run of characters written as they stand
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && c != '&' && c != '<' && c != '>')
            continue;
        out.append(text, plain, i - plain);
        plain = i + 1;
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
                plain = ++i + 1;
            out += "&cr;";
            break;
        case '\n':
            out += "&cr;";
            break;
        case '\t':
            out += c;
            break;
        default:
            break; // other control characters are dropped
        }
    }
    out.append(text, plain, text.size() - plain);
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
