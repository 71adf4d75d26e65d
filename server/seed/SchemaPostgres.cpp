#include "seed/Seed.h"

#include <regex>
#include <sstream>

namespace dravik::seed {

namespace {

std::string lowerAscii(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// "name" as PostgreSQL holds it: lower case, as it folds the names written without quotes.
std::string lowerQuoted(const std::string &line)
{
    std::string out;
    bool quoted = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        out += quoted && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

} // namespace

std::string postgresSchema()
{
    // Text columns that ignore ASCII case become citext, which compares and sorts through
    // lower(), ASCII only in the C locale: SQLite's NOCASE. Dates stay ISO texts (a domain,
    // so that documents still know them for dates); whole numbers are 64-bit like SQLite's.
    static const std::regex comment("--.*$");
    static const std::regex nocaseText(R"(\bTEXT\b(.*) COLLATE NOCASE)");
    static const std::regex nocase(R"( COLLATE NOCASE)");
    static const std::regex integer(R"(\bINTEGER\b)");
    static const std::regex decimal(R"(\b(DECIMAL|REAL)\b)");
    static const std::regex boolTrue(R"(\bBOOLEAN\b(.*)DEFAULT 1)");
    static const std::regex boolFalse(R"(\bBOOLEAN\b(.*)DEFAULT 0)");
    static const std::regex boolean(R"(\bBOOLEAN\b)");
    static const std::regex date(R"(\bDATE\b)");
    static const std::regex blob(R"(\bBLOB\b)");
    std::istringstream in(schemaSql());
    std::string out = "CREATE EXTENSION IF NOT EXISTS citext;\n"
                      "CREATE DOMAIN dravik_date AS text;\n";
    std::string line;
    while (std::getline(in, line)) {
        line = std::regex_replace(line, comment, "");
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        line = std::regex_replace(line, nocaseText, "citext$1");
        line = std::regex_replace(line, nocase, "");
        line = std::regex_replace(line, integer, "bigint");
        line = std::regex_replace(line, decimal, "double precision");
        line = std::regex_replace(line, boolTrue, "boolean$1DEFAULT true");
        line = std::regex_replace(line, boolFalse, "boolean$1DEFAULT false");
        line = std::regex_replace(line, boolean, "boolean");
        line = std::regex_replace(line, date, "dravik_date");
        line = std::regex_replace(line, blob, "bytea");
        out += lowerQuoted(line) + "\n";
    }
    return out;
}

std::vector<SchemaTable> schemaTables()
{
    static const std::regex table(R"re(^CREATE TABLE ("([^"]+)"|(\w+)) \()re");
    static const std::regex column(R"(^\s+(\w+)\s+([A-Z]+))");
    static const std::regex key(R"(^\s+(\w+)\s+INTEGER PRIMARY KEY)");
    std::istringstream in(schemaSql());
    std::vector<SchemaTable> tables;
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, table)) {
            tables.push_back({m[2].matched ? m[2].str() : m[3].str(), {}, {}});
            continue;
        }
        if (tables.empty() || line.rfind("CREATE", 0) == 0 || line.rfind(")", 0) == 0)
            continue;
        if (std::regex_search(line, m, column) && m[1].str() != "PRIMARY" && m[1].str() != "UNIQUE"
            && m[1].str() != "FOREIGN") {
            tables.back().columns.push_back(m[1].str());
            if (std::regex_search(line, m, key))
                tables.back().rowid = m[1].str();
        }
    }
    return tables;
}

std::string lowerName(std::string name)
{
    return lowerAscii(std::move(name));
}

} // namespace dravik::seed
