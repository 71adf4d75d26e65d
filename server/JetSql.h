#pragma once

// Translation of the Jet (Access) SQL the client writes into SQLite SQL.
//
// A real tokenizer walks the statement, so nothing inside a string literal is ever touched:
// "#mm/dd/yyyy#" dates become ISO string literals, isNull(x) becomes ((x) IS NULL),
// "Delete * from" loses its "*", [bracketed names] become quoted identifiers, True/False become
// 1/0, double-quoted strings become single-quoted ones, "&" concatenates, "Select Top n" becomes
// a LIMIT. ":NewID" and ":NewIDbis" stay as named parameters for the server to bind; any other
// parameter, a second statement, or a character SQLite would read as a comment or a parameter
// is refused. Jet has no comments, so "--" and "/*" keep their Jet meaning (two operators).

#include <string>
#include <string_view>
#include <vector>

namespace dravik::server {

enum class StatementKind { Select, Insert, Update, Delete, Other };

struct JetTranslation
{
    bool ok = false;
    std::string error; // French, for a log item, when !ok
    std::string sql; // SQLite text
    StatementKind kind = StatementKind::Other;
    std::string table; // INSERT, UPDATE, DELETE: the table written (brackets removed)
    std::vector<std::string> columns; // INSERT: the column list, in order
    bool usesNewId = false; // ":NewID" occurs
    bool usesNewIdBis = false; // ":NewIDbis" occurs
    std::string newIdColumn; // INSERT: the column whose value is ":NewID"
    std::string newIdBisColumn; // INSERT: the column whose value is ":NewIDbis"
};

JetTranslation translateJet(std::string_view jet);

} // namespace dravik::server
