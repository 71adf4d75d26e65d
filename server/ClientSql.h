#pragma once

// The statements clients send: "AxQuery" (one SELECT), "AxUpdate" (one INSERT, UPDATE or
// DELETE) and "AxInsert" (one INSERT whose ":NewID" and ":NewIDbis" the server fills). Each
// answers a complete document (ISO-8859-1): the result, or log items saying in French why the
// statement was refused or failed, or the WAIT_TIMEOUT text when the database stayed busy.

#include <functional>
#include <set>
#include <string>
#include <string_view>

namespace dravik::server {

class Database;

// Rows a query answers at most when the client names no smaller "MaxRows".
constexpr int kMaxQueryRows = 10000;
// Bytes of rows a query answers at most; beyond, the query is refused.
constexpr size_t kMaxAnswerBytes = 32 * 1024 * 1024;

// The rows of one client SELECT as "<item>" elements (UTF-8), or, when the statement was
// refused or failed, the complete failure document.
struct SelectResult
{
    std::string failure; // empty on success
    std::string items;
    int rows = 0;
    bool complete = false; // no row beyond maxRows
};
SelectResult selectItems(Database &db, std::string_view jetSql, int maxRows, std::string_view item,
                         const std::set<std::string> &readable = {});

// "AxQuery": the rows as "AXQuery" items of an "AXQueryS" list carrying "RowCount" and "EOF".
// `readable`, when not empty, is the only set of tables the statement may read.
std::string runQuery(Database &db, std::string_view jetSql, int maxRows,
                     const std::set<std::string> &readable = {});

// How a write runs. Every write is one transaction, rolled back on any failure.
struct WriteOptions
{
    // The client's key of this write (32 lowercase hex digits), kept across its retries; empty:
    // none. A key already applied answers its stored answer and runs nothing.
    std::string requestKey;
    // Runs after the statement succeeded, before the commit; a non-empty answer is the failure
    // document, and the write is rolled back.
    std::function<std::string()> beforeCommit;
};

// Whether a text is a well-formed request key.
bool isRequestKey(std::string_view key);

// "AxUpdate": the number of rows changed in "OutParams"/"RowsAffected".
std::string runUpdate(Database &db, std::string_view jetSql, const WriteOptions &options = {});

// "AxInsert": the new id in "OutParams"/"NewID" (and "NewIDbis" when asked for).
std::string runInsert(Database &db, std::string_view jetSql, const WriteOptions &options = {});

} // namespace dravik::server
