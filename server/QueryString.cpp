#include "server/QueryString.h"

#include "common/Latin1.h"

#include <vector>

namespace dravik::server {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// The parameters of the protocol: a "&" starts a parameter only when one of these follows.
bool startsParameter(std::string_view piece)
{
    static const std::string_view names[] = {"XMLC_OutputFormat",
                                             "SQL",
                                             "SQLExecute",
                                             "MaxRows",
                                             "idClient",
                                             "idTVO",
                                             "UserID",
                                             "UserConcession",
                                             "WHERE_CLAUSE",
                                             "rptSelect",
                                             "rptName",
                                             "RequestKey",
                                             "Ticket"};
    const size_t eq = piece.find('=');
    if (eq == std::string_view::npos)
        return false;
    for (const auto name : names)
        if (sameName(piece.substr(0, eq), name))
            return true;
    return false;
}

} // namespace

std::string percentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = hexValue(text[i + 1]);
            const int lo = hexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

QueryParams QueryParams::fromTarget(std::string_view target)
{
    QueryParams params;
    const size_t q = target.find('?');
    std::string_view query = q == std::string_view::npos ? target : target.substr(q + 1);
    if (q == std::string_view::npos && target.find('=') == std::string_view::npos)
        return params;
    // Pieces between "&", glued back when a "&" begins no parameter.
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t amp = query.find('&'); amp != std::string_view::npos;
         amp = query.find('&', amp + 1)) {
        const std::string_view next = query.substr(amp + 1);
        if (startsParameter(next) || next.empty() || next[0] == '&') {
            pieces.push_back(query.substr(start, amp - start));
            start = amp + 1;
        }
    }
    pieces.push_back(query.substr(start));
    for (const std::string_view pair : pieces) {
        if (pair.empty())
            continue;
        const size_t eq = pair.find('=');
        const std::string_view name = pair.substr(0, eq);
        const std::string_view value
                = eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        params.add(latin1ToUtf8(percentDecode(name)), latin1ToUtf8(percentDecode(value)));
    }
    return params;
}

const std::string *QueryParams::find(std::string_view name) const
{
    for (const auto &[n, v] : m_params)
        if (sameName(n, name))
            return &v;
    return nullptr;
}

std::string QueryParams::get(std::string_view name) const
{
    const std::string *v = find(name);
    return v ? *v : std::string();
}

bool QueryParams::has(std::string_view name) const
{
    return find(name) != nullptr;
}

void QueryParams::set(std::string_view name, const std::string &utf8Value)
{
    bool found = false;
    for (auto &[n, v] : m_params) {
        if (sameName(n, name)) {
            v = utf8Value;
            found = true;
        }
    }
    if (!found)
        add(std::string(name), utf8Value);
}

void QueryParams::add(std::string name, std::string utf8Value)
{
    m_params.emplace_back(std::move(name), std::move(utf8Value));
}

} // namespace dravik::server
