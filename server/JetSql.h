#pragma once

// Translation of the Jet (Access) SQL the client writes into the SQL of the storage engine:
// SQLite, or PostgreSQL (the same tokens, a second output).
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

// The engine the translation is written for. PostgreSQL differs in what SQLite lets pass:
// Booleans are TRUE/FALSE (so that "(false)" is a condition), identifiers are stored lower case
// (a bracketed name or quoted alias is quoted lower case), "like" ignores
// ASCII case and has no escape character, ":NewID" and ":NewIDbis" are numbered parameters ($1,
// $2 in order of appearance), Nz/Now()/Date() are coalesce and text dates, and no schema
// (pg_catalog, public...) may be named. A "like" with a literal pattern becomes the server's
// match operator (kPgMatchOperator), which a trigram index can answer under row-level security.
enum class SqlDialect { Sqlite, Postgres };

// PostgreSQL's "like" of a literal pattern, made by the server (PgDatabase). A client cannot
// write it: "@" is refused outside strings.
inline constexpr const char *kPgMatchOperator = "~~@";

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
    // The placeholders (":NewID", ":NewIDbis") in the order of their numbers (first appearance).
    std::vector<std::string> parameters;
    // The names as the client wrote them (words, bracketed names, quoted aliases): PostgreSQL
    // answers result columns lower case, and they take back the client's case, as on SQLite.
    std::vector<std::string> names;
};

JetTranslation translateJet(std::string_view jet, SqlDialect dialect = SqlDialect::Sqlite);

} // namespace dravik::server
