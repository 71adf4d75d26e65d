#include "server/ClientSql.h"

#include "server/Database.h"
#include "server/JetSql.h"
#include "server/Messages.h"
#include "server/SqlValues.h"
#include "server/TempBudget.h"
#include "server/XmlDoc.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

namespace dravik::server {

namespace {

// Client statements longer than this are prepared for one request only.
constexpr size_t kKeptStatementBytes = 16 * 1024;

std::string failure(const std::string &message)
{
    return XmlDoc::failure({message});
}

std::string busyOr(StepResult r, const std::string &message)
{
    return r == StepResult::Busy ? XmlDoc::waitTimeout() : failure(message);
}

// Prepares a client statement under the given confinement: the statement, or the failure
// document.
std::unique_ptr<Statement> prepareClient(Connection &c, Access access, const JetTranslation &t,
                                         std::string &answer,
                                         const std::set<std::string> &readable = {})
{
    c.setAccess(access, readable);
    Prepared p = c.prepareClient(t);
    if (!p.statement)
        answer = p.busy ? XmlDoc::waitTimeout() : failure(p.failure);
    return std::move(p.statement);
}

// Runs a prepared write under the time limit; answers the failure document, empty on success.
std::string stepWrite(Database &db, Connection &c, Statement &stmt)
{
    c.startClock(db.options().statementTimeoutMs);
    const StepResult r = stmt.step();
    c.startClock(0);
    return r == StepResult::Done ? std::string() : busyOr(r, stmt.failure());
}

// Translates for the engine of the connection's kind.
JetTranslation translateFor(Database &db, std::string_view jetSql)
{
    return translateJet(jetSql, db.dialect());
}

} // namespace

SelectResult selectItems(Database &db, std::string_view jetSql, int maxRows, std::string_view item,
                         const std::set<std::string> &readable)
{
    SelectResult r;
    const JetTranslation t = translateFor(db, jetSql);
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

    std::optional<Database::Lease> lease;
    try {
        lease.emplace(db.acquire());
    } catch (const std::exception &e) {
        r.failure = failure(e.what());
        return r;
    }
    Connection &c = **lease;
    // The same search comes back (more rows, a reload): its statement is kept prepared.
    std::string key = t.sql;
    for (const auto &table : readable)
        key += '\n' + table;
    c.setAccess(Access::Read, readable);
    Statement *stmt = c.clientStatement(key);
    std::unique_ptr<Statement> fresh; // a statement not kept by the connection
    if (!stmt) {
        fresh = prepareClient(c, Access::Read, t, r.failure, readable);
        if (fresh && !fresh->readOnly()) {
            fresh.reset();
            r.failure = failure(msg::selectOnly());
        }
        if (!fresh)
            return r;
        stmt = fresh.get();
        // A long statement is rarely sent twice, and kept ones would hold megabytes per
        // connection.
        if (key.size() <= kKeptStatementBytes)
            stmt = c.keepClient(key, std::move(fresh));
    }
    // One row more than asked tells whether the answer is complete.
    stmt->limitRows(maxRows + 1);
    c.startClock(db.options().statementTimeoutMs);
    StepResult step;
    while (true) {
        step = stmt->step();
        if (step == StepResult::Done) {
            r.complete = true;
            break;
        }
        if (step != StepResult::Row || r.rows == maxRows)
            break; // an error, or one row more than asked: the answer is not complete
        // Made at the first row: an engine may know the columns only once the rows come.
        stmt->writer().appendItem(r.items, item);
        ++r.rows;
        if (r.items.size() > kMaxAnswerBytes) {
            r.failure = failure(msg::answerTooLarge());
            r.items.clear();
            stmt->reset();
            c.startClock(0);
            return r;
        }
    }
    c.startClock(0);
    if (step != StepResult::Row && step != StepResult::Done)
        r.failure = busyOr(step, stmt->failure());
    // Ends the read at once: a kept statement must not hold the snapshot.
    stmt->reset();
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

long long unixNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
}

// The answer stored with a key applied within its lifetime.
std::optional<std::string> storedAnswer(Connection &c, const std::string &key, int lifetimeSeconds)
{
    Statement &stmt = c.cached("SELECT Answer FROM tRequestKeys WHERE RequestKey = ? "
                               "AND AppliedAt > ?");
    stmt.bind(1, key);
    stmt.bind(2, unixNow() - lifetimeSeconds);
    std::optional<std::string> answer;
    if (stmt.next())
        answer.emplace(stmt.text(0));
    stmt.reset();
    return answer;
}

// Stores the key with its answer, in the write's own transaction; drops the expired keys now
// and then (an expired key counts as never applied anyway).
void storeAnswer(Connection &c, const std::string &key, const std::string &answer,
                 int lifetimeSeconds)
{
    static std::atomic<long long> lastSweep {0};
    const long long now = unixNow();
    if (now - lastSweep.load() > 600) {
        lastSweep = now;
        Statement &sweep = c.cached("DELETE FROM tRequestKeys WHERE AppliedAt <= ?");
        sweep.bind(1, now - lifetimeSeconds);
        sweep.next();
        sweep.reset();
    }
    Statement &stmt = c.cached("INSERT INTO tRequestKeys (RequestKey, Answer, AppliedAt) "
                               "VALUES (?, ?, ?) ON CONFLICT (RequestKey) DO UPDATE SET "
                               "Answer = excluded.Answer, AppliedAt = excluded.AppliedAt");
    stmt.bind(1, key);
    stmt.bindBlob(2, answer);
    stmt.bind(3, now);
    stmt.next();
    stmt.reset();
}

// Prepares a client write; a statement answering rows (RETURNING) is refused before it runs.
std::unique_ptr<Statement> prepareWrite(Connection &c, const JetTranslation &t, std::string &answer)
{
    auto stmt = prepareClient(c, Access::Write, t, answer);
    c.setAccess(Access::Internal);
    if (stmt && stmt->columns() > 0) {
        stmt.reset();
        answer = failure(msg::returningRefused());
    }
    return stmt;
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
    std::optional<Database::Lease> lease;
    try {
        lease.emplace(db.acquire());
    } catch (const std::exception &e) {
        return failure(e.what());
    }
    Connection &c = **lease;
    c.setAccess(Access::Internal);
    StepResult r = c.begin(TransactionKind::Write);
    if (r != StepResult::Done)
        return busyOr(r, c.failure());
    const int lifetime = db.options().requestKeySeconds;
    try {
        if (!key.empty()) {
            if (auto answer = storedAnswer(c, key, lifetime)) {
                c.rollback();
                return *answer;
            }
        }
        std::string answer;
        if (!apply(c, answer)) {
            c.rollback();
            return answer;
        }
        if (options.beforeCommit) {
            if (std::string failed = options.beforeCommit(); !failed.empty()) {
                c.rollback();
                return failed;
            }
        }
        if (!key.empty())
            storeAnswer(c, key, answer, lifetime);
        r = c.commit();
        if (r == StepResult::Done)
            return answer;
        c.rollback();
        return busyOr(r, c.failure());
    } catch (const std::exception &e) {
        c.rollback();
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
    const JetTranslation t = translateFor(db, jetSql);
    if (!t.ok)
        return failure(t.error);
    if (t.kind != StatementKind::Insert && t.kind != StatementKind::Update
        && t.kind != StatementKind::Delete)
        return failure(msg::writeOnly());
    if (t.usesNewId || t.usesNewIdBis)
        return failure(msg::newIdOnlyInInsert());

    return runWrite(db, options, [&](Connection &c, std::string &answer) {
        auto stmt = prepareWrite(c, t, answer);
        if (!stmt)
            return false;
        answer = stepWrite(db, c, *stmt);
        if (!answer.empty())
            return false;
        XmlDoc doc("Answer");
        doc.open("OutParams");
        doc.value("RowsAffected", std::to_string(c.changes()));
        doc.close("OutParams");
        answer = doc.finish();
        return true;
    });
}

std::string runInsert(Database &db, std::string_view jetSql, const WriteOptions &options)
{
    const JetTranslation t = translateFor(db, jetSql);
    if (!t.ok)
        return failure(t.error);
    if (t.kind != StatementKind::Insert)
        return failure(msg::insertOnly());
    if ((t.usesNewId && t.newIdColumn.empty()) || (t.usesNewIdBis && t.newIdBisColumn.empty()))
        return failure(msg::newIdPlacement());

    return runWrite(db, options, [&](Connection &c, std::string &answer) {
        auto stmt = prepareWrite(c, t, answer);
        if (!stmt)
            return false;
        long long newId = 0, newIdBis = 0;
        // Both engines number the placeholders in the order they first appear.
        auto bindId = [&](const char *name, long long value) {
            const auto at = std::find(t.parameters.begin(), t.parameters.end(), name);
            stmt->bind(static_cast<int>(at - t.parameters.begin()) + 1, value);
        };
        if (t.usesNewId) {
            newId = c.nextId(t.table, t.newIdColumn);
            bindId(":NewID", newId);
        }
        if (t.usesNewIdBis) {
            newIdBis = c.nextId(t.table, t.newIdBisColumn);
            bindId(":NewIDbis", newIdBis);
        }
        answer = stepWrite(db, c, *stmt);
        if (!answer.empty())
            return false;
        if (!t.usesNewId)
            newId = c.lastInsertId();
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
