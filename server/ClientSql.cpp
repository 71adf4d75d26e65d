#include "server/ClientSql.h"

#include "server/Database.h"
#include "server/JetSql.h"
#include "server/Messages.h"
#include "server/SqlValues.h"
#include "server/XmlDoc.h"

#include <memory>

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
    if (rc == SQLITE_AUTH || !c.denial().empty())
        return c.denial().empty() ? msg::deniedOther() : c.denial();
    const std::string text = sqlite3_errmsg(c.handle());
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
    if (text == "incomplete input")
        return msg::syntaxError("la fin de l'instruction");
    return msg::sqlError(text);
}

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
    if (!stmt) {
        Stmt fresh;
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
        stmt = fresh.release();
        c.keepClient(key, stmt);
    }
    const RowWriter &writer = c.writer(stmt);
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

std::string runUpdate(Database &db, std::string_view jetSql)
{
    const JetTranslation t = translateJet(jetSql);
    if (!t.ok)
        return failure(t.error);
    if (t.kind != StatementKind::Insert && t.kind != StatementKind::Update
        && t.kind != StatementKind::Delete)
        return failure(msg::writeOnly());
    if (t.usesNewId || t.usesNewIdBis)
        return failure(msg::newIdOnlyInInsert());

    auto lease = db.acquire();
    Connection &c = *lease;
    Stmt stmt;
    std::string message;
    int rc = prepareClient(c, Access::Write, t.sql, stmt, message);
    if (isBusy(rc))
        return XmlDoc::waitTimeout();
    if (rc != SQLITE_OK)
        return failure(message);
    if (std::string failed = stepWrite(db, c, stmt.get()); !failed.empty())
        return failed;

    XmlDoc doc("Answer");
    doc.open("OutParams");
    doc.value("RowsAffected", std::to_string(sqlite3_changes(c.handle())));
    doc.close("OutParams");
    return doc.finish();
}

namespace {

// The next id of a column: one more than the largest in the table.
sqlite3_int64 nextId(Connection &c, const std::string &table, const std::string &column)
{
    const std::string sql = "SELECT max(" + quoteName(column) + ") FROM " + quoteName(table);
    sqlite3_stmt *raw = nullptr;
    checkSqlite(c.handle(), sqlite3_prepare_v2(c.handle(), sql.c_str(), -1, &raw, nullptr), sql);
    Stmt stmt(raw);
    checkSqlite(c.handle(), sqlite3_step(raw), sql);
    return sqlite3_column_int64(raw, 0) + 1;
}

// BEGIN IMMEDIATE ... COMMIT around the insert; rolls back when not committed.
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

} // namespace

std::string runInsert(Database &db, std::string_view jetSql)
{
    const JetTranslation t = translateJet(jetSql);
    if (!t.ok)
        return failure(t.error);
    if (t.kind != StatementKind::Insert)
        return failure(msg::insertOnly());
    if ((t.usesNewId && t.newIdColumn.empty()) || (t.usesNewIdBis && t.newIdBisColumn.empty()))
        return failure(msg::newIdPlacement());

    auto lease = db.acquire();
    Connection &c = *lease;
    WriteTransaction tx(c);
    c.setAccess(Access::Internal);
    int rc = tx.begin();
    if (rc != SQLITE_OK)
        return isBusy(rc) ? XmlDoc::waitTimeout() : failure(describeFailure(c, rc));

    Stmt stmt;
    std::string message;
    rc = prepareClient(c, Access::Write, t.sql, stmt, message);
    c.setAccess(Access::Internal);
    if (isBusy(rc))
        return XmlDoc::waitTimeout();
    if (rc != SQLITE_OK)
        return failure(message);

    sqlite3_int64 newId = 0, newIdBis = 0;
    try {
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
    } catch (const std::exception &e) {
        return failure(msg::databaseError(e.what()));
    }
    if (std::string failed = stepWrite(db, c, stmt.get()); !failed.empty())
        return failed;
    if (!t.usesNewId)
        newId = sqlite3_last_insert_rowid(c.handle());
    stmt.reset();
    rc = tx.commit();
    if (rc != SQLITE_OK)
        return isBusy(rc) ? XmlDoc::waitTimeout() : failure(describeFailure(c, rc));

    XmlDoc doc("Answer");
    doc.open("OutParams");
    doc.value("NewID", std::to_string(newId));
    if (t.usesNewIdBis)
        doc.value("NewIDbis", std::to_string(newIdBis));
    doc.close("OutParams");
    return doc.finish();
}

} // namespace dravik::server
