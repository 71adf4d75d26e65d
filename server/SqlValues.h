#pragma once

// Values of rows as the documents write them: dates "dd/mm/yyyy", Booleans
// "True"/"False", decimals with a "." and no trailing zeros, empty elements for NULL.
// The declared type of a result column decides (DATE..., BOOL...); a computed column whose
// value is an ISO date ("yyyy-mm-dd") is written as a date too.

#include "server/Database.h"

#include <string>
#include <string_view>
#include <vector>

namespace dravik::server {

// A table or column name as an SQL identifier ("..." with inner quotes doubled).
std::string quoteName(std::string_view name);
// A text as an SQL string literal ('...' with inner apostrophes doubled).
std::string quoteText(std::string_view text);

// A number as the documents write it ("120.5", "15000").
std::string formatNumber(double value);

class RowWriter
{
public:
    explicit RowWriter(const Statement &stmt);

    int columns() const { return static_cast<int>(m_columns.size()); }
    const std::string &name(int column) const { return m_columns[column].name; }
    // The value of a column of the current row, as the documents write it (UTF-8).
    std::string text(int column) const;
    // The same, escaped, appended to out.
    void appendValue(std::string &out, int column) const;

    // "<item><column>value</column>...</item>" and a line break, escaped, UTF-8.
    void appendItem(std::string &out, std::string_view item) const;
    // The "<column>value</column>" pairs alone.
    void appendFields(std::string &out) const;

private:
    struct Column
    {
        std::string name, open, close; // element name, "<name>", "</name>"
        ColumnKind kind = ColumnKind::Plain;
        bool computed = false; // no declared type
    };
    const Statement &m_stmt;
    std::vector<Column> m_columns;
};

} // namespace dravik::server
