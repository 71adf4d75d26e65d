#include "server/SqlValues.h"

#include "common/Dates.h"
#include "common/XmlText.h"

#include <charconv>
#include <cmath>

namespace dravik::server {

namespace {

std::string quoted(std::string_view text, char quote)
{
    std::string out(1, quote);
    for (const char c : text) {
        out += c;
        if (c == quote)
            out += quote;
    }
    return out + quote;
}

} // namespace

std::string quoteName(std::string_view name)
{
    return quoted(name, '"');
}

std::string quoteText(std::string_view text)
{
    return quoted(text, '\'');
}

std::string formatNumber(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

namespace {

std::string upper(const char *s)
{
    std::string out = s ? s : "";
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Element name of a result column: names that cannot stand as elements are mended.
std::string elementName(const char *column, int index)
{
    std::string name = column ? column : "";
    if (isXmlName(name))
        return name;
    for (char &c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                || c == '_';
        if (!ok)
            c = '_';
    }
    if (name.empty() || !isXmlName(name))
        name = "Col" + std::to_string(index + 1) + name;
    return name;
}

bool isPlainIsoDate(std::string_view text)
{
    return text.size() == 10 && text[4] == '-' && text[7] == '-' && parseIsoDate(text).has_value();
}

} // namespace

RowWriter::RowWriter(sqlite3_stmt *stmt)
    : m_stmt(stmt)
{
    const int n = sqlite3_column_count(stmt);
    m_columns.reserve(n);
    for (int i = 0; i < n; ++i) {
        Column c;
        c.name = elementName(sqlite3_column_name(stmt, i), i);
        c.open = "<" + c.name + ">";
        c.close = "</" + c.name + ">";
        const char *decl = sqlite3_column_decltype(stmt, i);
        const std::string type = upper(decl);
        if (type.find("BOOL") != std::string::npos || type == "BIT" || type == "YESNO")
            c.kind = Kind::Boolean;
        else if (type.find("DATE") != std::string::npos || type.find("TIME") != std::string::npos)
            c.kind = Kind::Date;
        c.computed = decl == nullptr;
        m_columns.push_back(std::move(c));
    }
}

std::string RowWriter::text(int i) const
{
    const Column &c = m_columns[i];
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(m_stmt, i);
        if (c.kind == Kind::Boolean)
            return v ? "True" : "False";
        return std::to_string(v);
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(m_stmt, i);
        if (c.kind == Kind::Boolean)
            return v != 0 ? "True" : "False";
        return formatNumber(v);
    }
    case SQLITE_TEXT: {
        const std::string_view v(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i)),
                                 sqlite3_column_bytes(m_stmt, i));
        if (c.kind == Kind::Date || (c.computed && isPlainIsoDate(v)))
            return isoToFr(v);
        return std::string(v);
    }
    default: // NULL, and blobs which no document carries
        return {};
    }
}

void RowWriter::appendValue(std::string &out, int i) const
{
    const Column &c = m_columns[i];
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER:
        if (c.kind == Kind::Boolean) {
            out += sqlite3_column_int64(m_stmt, i) ? "True" : "False";
        } else {
            char buf[24];
            const auto r = std::to_chars(buf, buf + sizeof buf, sqlite3_column_int64(m_stmt, i));
            out.append(buf, r.ptr);
        }
        return;
    case SQLITE_TEXT: {
        const std::string_view v(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i)),
                                 sqlite3_column_bytes(m_stmt, i));
        if (c.kind == Kind::Date || (c.computed && isPlainIsoDate(v)))
            appendEscaped(out, isoToFr(v));
        else
            appendEscaped(out, v);
        return;
    }
    case SQLITE_NULL:
        return;
    default:
        out += text(i);
    }
}

void RowWriter::appendFields(std::string &out) const
{
    for (int i = 0; i < columns(); ++i) {
        out += m_columns[i].open;
        appendValue(out, i);
        out += m_columns[i].close;
    }
}

void RowWriter::appendItem(std::string &out, std::string_view item) const
{
    out += '<';
    out += item;
    out += '>';
    appendFields(out);
    out += "</";
    out += item;
    out += ">\r\n";
}

} // namespace dravik::server
