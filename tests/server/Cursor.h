#pragma once

// A test-only copy of the client's forward-only text cursor over a server document, with the
// same matching rules: documents are walked the way the client walks them.

#include <optional>
#include <string>
#include <string_view>

namespace dravik::test {

struct Cursor
{
    std::string doc, rest, item;
    explicit Cursor(std::string d = {})
        : doc(std::move(d))
    { }
};

// Selects the body of the first element whose tag begins with "<" + name, from its first child
// tag up to the first "</" + name + ">"; empty when not found.
inline void xmlOpen(Cursor &c, std::string_view name)
{
    c.rest.clear();
    c.item.clear();
    const size_t a = c.doc.find("<" + std::string(name));
    if (a == std::string::npos)
        return;
    const std::string t = c.doc.substr(a + 1);
    const size_t b = t.find('<');
    if (b == std::string::npos)
        return;
    const std::string body = t.substr(b);
    const size_t e = body.find("</" + std::string(name) + ">");
    if (e == std::string::npos)
        return;
    c.rest = c.item = body.substr(0, e);
}

// Takes the next "<name>...</name>" item of Rest; false when there is none.
inline bool xmlNext(Cursor &c, std::string_view name)
{
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    const size_t p = c.rest.find(open);
    const size_t q = c.rest.find(close);
    if (p == std::string::npos || q == std::string::npos)
        return false;
    c.item = q >= p + open.size() ? c.rest.substr(p + open.size(), q - p - open.size())
                                  : std::string();
    c.rest = c.rest.substr(q + close.size());
    return true;
}

// The value of child element name of the current item; nullopt when absent.
inline std::optional<std::string> xmlGetOpt(const Cursor &c, std::string_view name)
{
    const size_t p = c.item.find("<" + std::string(name) + ">");
    const size_t q = c.item.find("</" + std::string(name) + ">");
    if (p == std::string::npos || q == std::string::npos || p >= q)
        return std::nullopt;
    return c.item.substr(p + name.size() + 2, q - p - name.size() - 2);
}

inline std::string xmlGet(const Cursor &c, std::string_view name)
{
    return xmlGetOpt(c, name).value_or(std::string());
}

// An attribute anywhere in the document: the text before the closing quote within 20 characters.
inline std::string xmlGetAttr(const Cursor &c, std::string_view name)
{
    const size_t p = c.doc.find(std::string(name) + "=\"");
    if (p == std::string::npos)
        return {};
    const std::string after = c.doc.substr(p + name.size() + 2, 20);
    const size_t q = after.find('"');
    return q == std::string::npos ? std::string() : after.substr(0, q);
}

} // namespace dravik::test
