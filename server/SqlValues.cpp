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

// Element name of a result column: names that cannot stand as elements are mended.
std::string elementName(std::string name, int index)
{
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

RowWriter::RowWriter(const Statement &stmt)
    : m_stmt(stmt)
{
    const int n = stmt.columns();
    m_columns.reserve(n);
    for (int i = 0; i < n; ++i) {
        Column c;
        c.name = elementName(stmt.columnName(i), i);
        c.open = "<" + c.name + ">";
        c.close = "</" + c.name + ">";
        c.kind = stmt.columnKind(i);
        c.computed = stmt.computed(i);
        m_columns.push_back(std::move(c));
    }
}

std::string RowWriter::text(int i) const
{
    const Column &c = m_columns[i];
    switch (m_stmt.type(i)) {
    case ValueType::Integer: {
        const long long v = m_stmt.integer(i);
        if (c.kind == ColumnKind::Boolean)
            return v ? "True" : "False";
        return std::to_string(v);
    }
    case ValueType::Real: {
        const double v = m_stmt.real(i);
        if (c.kind == ColumnKind::Boolean)
            return v != 0 ? "True" : "False";
        return formatNumber(v);
    }
    case ValueType::Text: {
        const std::string_view v = m_stmt.text(i);
        if (c.kind == ColumnKind::Date || (c.computed && isPlainIsoDate(v)))
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
    switch (m_stmt.type(i)) {
    case ValueType::Integer:
        if (c.kind == ColumnKind::Boolean) {
            out += m_stmt.integer(i) ? "True" : "False";
        } else {
            char buf[24];
            const auto r = std::to_chars(buf, buf + sizeof buf, m_stmt.integer(i));
            out.append(buf, r.ptr);
        }
        return;
    case ValueType::Text: {
        const std::string_view v = m_stmt.text(i);
        if (c.kind == ColumnKind::Date || (c.computed && isPlainIsoDate(v)))
            appendEscaped(out, isoToFr(v));
        else
            appendEscaped(out, v);
        return;
    }
    case ValueType::Null:
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
