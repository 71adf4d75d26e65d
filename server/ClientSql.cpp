#include "server/ClientSql.h"

#include "server/Database.h"
#include "server/JetSql.h"
#include "server/Messages.h"
#include "server/SqlValues.h"
#include "server/TempBudget.h"
#include "server/XmlDoc.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

namespace dravik::server {

namespace {

struct StmtDeleter
{
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

// Why a client statement did not run, as the log item says it.
std::string describeFailure(Connection &c, int rc)
{
    if (c.interrupted() || rc == SQLITE_INTERRUPT)
        return msg::interrupted();
    if (rc == SQLITE_FULL && tempBudgetExceeded())
        return msg::tempSpaceExceeded();
    if (rc == SQLITE_TOOBIG)
        return msg::valueTooLarge();
    if (rc == SQLITE_AUTH || !c.denial().empty())
        return c.denial().empty() ? msg::deniedOther() : c.denial();
    std::string text = sqlite3_errmsg(c.handle());
    // The server writes to main.<table>; the client named the table alone.
    if (text.compare(0, 11, "table main.") == 0)
        text.erase(6, 5);
    // The confinement's and the locks' own refusals, raised by their triggers.
    if (rc == SQLITE_CONSTRAINT
        && text.compare(0, msg::kRefusedPrefix.size(), msg::kRefusedPrefix) == 0)
        return text;
    auto after = [&](std::string_view prefix) -> std::string {
        return text.compare(0, prefix.size(), prefix) == 0 ? text.substr(prefix.size())
                                                           : std::string();
    };
    if (auto t = after("no such table: "); !t.empty())
        return msg::noSuchTable(t);
    if (auto t = after("no such column: "); !t.empty())
        return msg::noSuchColumn(t);
    if (auto t = after("UNIQUE constraint failed: "); !t.empty())
        return msg::duplicateValue(t);
    if (auto t = after("NOT NULL constraint failed: "); !t.empty())
        return msg::missingValue(t);
    if (const size_t p = text.find(": syntax error");
        p != std::string::npos && after("near ").size())
        return msg::syntaxError(text.substr(5, p - 5));
    if (text == "LIKE or GLOB pattern too complex")
        return msg::patternTooLong();
    if (text == "incomplete input")
        return msg::syntaxError("la fin de l'instruction");
    return msg::sqlError(text);
}

// Client statements longer than this are prepared for one request only.
constexpr size_t kKeptStatementBytes = 16 * 1024;

bool isBusy(int rc)
{
    return rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
}

// Prepares a client statement under the given confinement. Answers the SQLite result code;
// on failure `message` holds the log item.
int prepareClient(Connection &c, Access access, const std::string &sql, Stmt &stmt,
                  std::string &message, const std::set<std::string> &readable = {})
{
    c.setAccess(access, readable);
    sqlite3_stmt *raw = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(c.handle(), sql.c_str(), static_cast<int>(sql.size()), &raw,
                                      &tail);
    stmt.reset(raw);
    if (rc != SQLITE_OK) {
        message = describeFailure(c, rc);
        return rc;
    }
    if (!raw) {
        message = msg::emptyStatement();
        return SQLITE_ERROR;
    }
    for (; tail && *tail; ++tail) {
        if (static_cast<unsigned char>(*tail) > ' ' && *tail != ';') {
            message = msg::oneStatementOnly();
            return SQLITE_ERROR;
        }
    }
    return SQLITE_OK;
}

std::string failure(const std::string &message)
{
    return XmlDoc::failure({message});
}

// Runs a prepared write under the time limit; answers the failure document, empty on success.
std::string stepWrite(Database &db, Connection &c, sqlite3_stmt *stmt)
{
    c.startClock(db.options().statementTimeoutMs);
    const int rc = sqlite3_step(stmt);
    c.startClock(0);
    if (isBusy(rc))
        return XmlDoc::waitTimeout();
    return rc == SQLITE_DONE ? std::string() : failure(describeFailure(c, rc));
}

} // namespace

SelectResult selectItems(Database &db, std::string_view jetSql, int maxRows, std::string_view item,
                         const std::set<std::string> &readable)
{
    SelectResult r;
    const JetTranslation t = translateJet(jetSql);
    if (!t.ok) {
        r.failure = failure(t.error);
        return r;
    }
    if (t.kind != StatementKind::Select) {
        r.failure = failure(msg::selectOnly());
        return r;
    }
    if (t.usesNewId || t.usesNewIdBis) {
        r.failure = failure(msg::newIdOnlyInInsert());
        return r;
    }
    if (maxRows <= 0 || maxRows > kMaxQueryRows)
        maxRows = kMaxQueryRows;

    auto lease = db.acquire();
    Connection &c = *lease;
    // The same search comes back (more rows, a reload): its statement is kept prepared.
    std::string key = t.sql;
    for (const auto &table : readable)
        key += '\n' + table;
    c.setAccess(Access::Read, readable);
    sqlite3_stmt *stmt = c.clientStatement(key);
    int rc = SQLITE_OK;
    Stmt fresh; // a statement not kept by the connection
    if (!stmt) {
        std::string message;
        rc = prepareClient(c, Access::Read, t.sql, fresh, message, readable);
        if (rc == SQLITE_OK && !sqlite3_stmt_readonly(fresh.get())) {
            rc = SQLITE_ERROR;
            message = msg::selectOnly();
        }
        if (rc != SQLITE_OK) {
            r.failure = isBusy(rc) ? XmlDoc::waitTimeout() : failure(message);
            return r;
        }
        stmt = fresh.get();
        // A long statement is rarely sent twice, and kept ones would hold megabytes per
        // connection.
        if (key.size() <= kKeptStatementBytes)
            c.keepClient(key, fresh.release());
    }
    std::optional<RowWriter> ownWriter;
    if (fresh)
        ownWriter.emplace(stmt);
    const RowWriter &writer = fresh ? *ownWriter : c.writer(stmt);
    c.startClock(db.options().statementTimeoutMs);
    while (true) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) {
            r.complete = true;
            break;
        }
        if (rc != SQLITE_ROW || r.rows == maxRows)
            break; // an error, or one row more than asked: the answer is not complete
        writer.appendItem(r.items, item);
        ++r.rows;
        if (r.items.size() > kMaxAnswerBytes) {
            r.failure = failure(msg::answerTooLarge());
            r.items.clear();
            sqlite3_reset(stmt);
            c.startClock(0);
            return r;
        }
    }
    c.startClock(0);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        r.failure = isBusy(rc) ? XmlDoc::waitTimeout() : failure(describeFailure(c, rc));
    // Ends the read at once: a kept statement must not hold the snapshot.
    sqlite3_reset(stmt);
    return r;
}

std::string runQuery(Database &db, std::string_view jetSql, int maxRows,
                     const std::set<std::string> &readable)
{
    const SelectResult r = selectItems(db, jetSql, maxRows, "AXQuery", readable);
    if (!r.failure.empty())
        return r.failure;
    XmlDoc doc("Answer");
    doc.open("AXQueryS",
             "RowCount=\"" + std::to_string(r.rows) + "\" EOF=\"" + (r.complete ? "1" : "0")
                     + "\"");
    doc.raw("\r\n");
    doc.raw(r.items);
    doc.close("AXQueryS");
    return doc.finish();
}

namespace {

// The next id of a column: one more than the largest in the table.
sqlite3_int64 nextId(Connection &c, const std::string &table, const std::string &column)
{
    // Over every company's rows, so that ids never collide.
    const std::string sql = "SELECT max(" + quoteName(column) + ") FROM main." + quoteName(table);
    sqlite3_stmt *raw = nullptr;
    checkSqlite(c.handle(), sqlite3_prepare_v2(c.handle(), sql.c_str(), -1, &raw, nullptr), sql);
    Stmt stmt(raw);
    checkSqlite(c.handle(), sqlite3_step(raw), sql);
    return sqlite3_column_int64(raw, 0) + 1;
}

// BEGIN IMMEDIATE ... COMMIT around a write; rolls back when not committed.
class WriteTransaction
{
public:
    explicit WriteTransaction(Connection &c)
        : m_c(c)
    { }
    ~WriteTransaction()
    {
        if (m_open)
            sqlite3_exec(m_c.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    int begin()
    {
        const int rc = sqlite3_exec(m_c.handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        m_open = rc == SQLITE_OK;
        return rc;
    }
    int commit()
    {
        const int rc = sqlite3_exec(m_c.handle(), "COMMIT", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            m_open = false;
        return rc;
    }

private:
    Connection &m_c;
    bool m_open = false;
};

sqlite3_int64 unixNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
}

// The answer stored with a key applied within its lifetime.
std::optional<std::string> storedAnswer(Connection &c, const std::string &key, int lifetimeSeconds)
{
    sqlite3_stmt *stmt = c.cached("SELECT Answer FROM tRequestKeys WHERE RequestKey = ? "
                                  "AND AppliedAt > ?");
    sqlite3_bind_text(stmt, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    sqlite3_bind_int64(stmt, 2, unixNow() - lifetimeSeconds);
    std::optional<std::string> answer;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(stmt, 0));
        answer.emplace(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(stmt, 0)));
    }
    sqlite3_reset(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        checkSqlite(c.handle(), rc, "request key");
    return answer;
}

// Stores the key with its answer, in the write's own transaction; drops the expired keys now
// and then (an expired key counts as never applied anyway).
void storeAnswer(Connection &c, const std::string &key, const std::string &answer,
                 int lifetimeSeconds)
{
    static std::atomic<sqlite3_int64> lastSweep {0};
    const sqlite3_int64 now = unixNow();
    sqlite3_stmt *stmt;
    if (now - lastSweep.load() > 600) {
        lastSweep = now;
        stmt = c.cached("DELETE FROM tRequestKeys WHERE AppliedAt <= ?");
        sqlite3_bind_int64(stmt, 1, now - lifetimeSeconds);
        checkSqlite(c.handle(), sqlite3_step(stmt), "request keys");
        sqlite3_reset(stmt);
    }
    stmt = c.cached("INSERT OR REPLACE INTO tRequestKeys (RequestKey, Answer, AppliedAt) "
                    "VALUES (?, ?, ?)");
    sqlite3_bind_text(stmt, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    sqlite3_bind_blob(stmt, 2, answer.data(), static_cast<int>(answer.size()), SQLITE_STATIC);
    sqlite3_bind_int64(stmt, 3, now);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    checkSqlite(c.handle(), rc, "request key");
}

std::string busyOr(Connection &c, int rc)
{
    return isBusy(rc) ? XmlDoc::waitTimeout() : failure(describeFailure(c, rc));
}

// Prepares a client write; a statement answering rows (RETURNING) is refused before it runs.
int prepareWrite(Connection &c, const std::string &sql, Stmt &stmt, std::string &answer)
{
    std::string message;
    int rc = prepareClient(c, Access::Write, sql, stmt, message);
    c.setAccess(Access::Internal);
    if (rc == SQLITE_OK && sqlite3_column_count(stmt.get()) > 0) {
        rc = SQLITE_ERROR;
        message = msg::returningRefused();
    }
    if (rc != SQLITE_OK)
        answer = isBusy(rc) ? XmlDoc::waitTimeout() : failure(message);
    return rc;
}

// One write request as one transaction: the stored answer of a key already applied, or
// `apply`, which answers true with the answer document, or false with the failure document.
// The key is stored with the answer before the commit, so a write is never committed without
// it, whether or not its answer reaches the client.
template<typename Apply>
std::string runWrite(Database &db, const WriteOptions &options, Apply apply)
{
    const std::string &key = options.requestKey;
    if (!key.empty() && !isRequestKey(key))
        return failure(msg::badRequestKey());
    auto lease = db.acquire();
    Connection &c = *lease;
    WriteTransaction tx(c);
    c.setAccess(Access::Internal);
    int rc = tx.begin();
    if (rc != SQLITE_OK)
        return busyOr(c, rc);
    const int lifetime = db.options().requestKeySeconds;
    try {
        if (!key.empty()) {
            if (auto answer = storedAnswer(c, key, lifetime))
                return *answer;
        }
        std::string answer;
        if (!apply(c, answer))
            return answer;
        if (options.beforeCommit) {
            if (std::string failed = options.beforeCommit(); !failed.empty())
                return failed;
        }
        if (!key.empty())
            storeAnswer(c, key, answer, lifetime);
        rc = tx.commit();
        return rc == SQLITE_OK ? answer : busyOr(c, rc);
    } catch (const std::exception &e) {
        return failure(msg::databaseError(e.what()));
    }
}

} // namespace

bool isRequestKey(std::string_view key)
{
    return key.size() == 32 && key.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

std::string runUpdate(Database &db, std::string_view jetSql, const WriteOptions &options)
{
    const JetTranslation t = translateJet(jetSql);
    if (!t.ok)
        return failure(t.error);
    if (t.kind != StatementKind::Insert && t.kind != StatementKind::Update
        && t.kind != StatementKind::Delete)
        return failure(msg::writeOnly());
    if (t.usesNewId || t.usesNewIdBis)
        return failure(msg::newIdOnlyInInsert());

    return runWrite(db, options, [&](Connection &c, std::string &answer) {
        Stmt stmt;
        if (prepareWrite(c, t.sql, stmt, answer) != SQLITE_OK)
            return false;
        answer = stepWrite(db, c, stmt.get());
        if (!answer.empty())
            return false;
        XmlDoc doc("Answer");
        doc.open("OutParams");
        doc.value("RowsAffected", std::to_string(sqlite3_changes(c.handle())));
        doc.close("OutParams");
        answer = doc.finish();
        return true;
    });
}

std::string runInsert(Database &db, std::string_view jetSql, const WriteOptions &options)
{
    const JetTranslation t = translateJet(jetSql);
    if (!t.ok)
        return failure(t.error);
    if (t.kind != StatementKind::Insert)
        return failure(msg::insertOnly());
    if ((t.usesNewId && t.newIdColumn.empty()) || (t.usesNewIdBis && t.newIdBisColumn.empty()))
        return failure(msg::newIdPlacement());

    return runWrite(db, options, [&](Connection &c, std::string &answer) {
        Stmt stmt;
        if (prepareWrite(c, t.sql, stmt, answer) != SQLITE_OK)
            return false;
        sqlite3_int64 newId = 0, newIdBis = 0;
        if (t.usesNewId) {
            newId = nextId(c, t.table, t.newIdColumn);
            sqlite3_bind_int64(stmt.get(), sqlite3_bind_parameter_index(stmt.get(), ":NewID"),
                               newId);
        }
        if (t.usesNewIdBis) {
            newIdBis = nextId(c, t.table, t.newIdBisColumn);
            sqlite3_bind_int64(stmt.get(), sqlite3_bind_parameter_index(stmt.get(), ":NewIDbis"),
                               newIdBis);
        }
        answer = stepWrite(db, c, stmt.get());
        if (!answer.empty())
            return false;
        if (!t.usesNewId)
            newId = sqlite3_last_insert_rowid(c.handle());
        XmlDoc doc("Answer");
        doc.open("OutParams");
        doc.value("NewID", std::to_string(newId));
        if (t.usesNewIdBis)
            doc.value("NewIDbis", std::to_string(newIdBis));
        doc.close("OutParams");
        answer = doc.finish();
        return true;
    });
}

} // namespace dravik::server
