#pragma once

// The SQLite storage: a pool of connections to one file in WAL mode, each with a busy
// time-out, durable commits (synchronous FULL), an authorizer that confines what a client's
// statement may touch, temporary views and triggers that confine it to the request's company,
// and a progress handler that stops a statement running too long.

#include "server/Database.h"

#include <sqlite3.h>

#include <chrono>
#include <list>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace dravik::server {

class SqliteConnection;

class SqliteStatement final : public Statement
{
public:
    // Takes the statement over (finalized on destruction).
    SqliteStatement(SqliteConnection &c, sqlite3_stmt *stmt);
    ~SqliteStatement() override;

    void bind(int index, long long value) override;
    void bind(int index, std::string_view text) override;
    void bindBlob(int index, std::string_view bytes) override;
    StepResult step() override;
    void reset() override;
    std::string failure() const override;
    std::string error() const override;
    int columns() const override;
    std::string columnName(int column) const override;
    ColumnKind columnKind(int column) const override;
    bool computed(int column) const override;
    bool readOnly() const override;
    ValueType type(int column) const override;
    long long integer(int column) const override;
    double real(int column) const override;
    std::string_view text(int column) const override;

private:
    SqliteConnection &m_c;
    sqlite3_stmt *m_stmt;
    int m_rc = SQLITE_OK;
};

class SqliteConnection final : public Connection
{
public:
    explicit SqliteConnection(const DbOptions &options);
    ~SqliteConnection() override;

    sqlite3 *handle() const { return m_db; }

    SqlDialect dialect() const override { return SqlDialect::Sqlite; }
    Statement &cached(const std::string &sql) override;
    void exec(const std::string &sql) override;
    void setAccess(Access access, const std::set<std::string> &tables = {}) override;
    Prepared prepareClient(const JetTranslation &t) override;
    Statement *clientStatement(const std::string &key) override;
    Statement *keepClient(const std::string &key, std::unique_ptr<Statement> stmt) override;
    void startClock(int timeoutMs) override;
    StepResult begin(TransactionKind kind) override;
    StepResult commit() override;
    void rollback() override;
    std::string failure() const override { return m_failure; }
    long long changes() const override;
    long long lastInsertId() const override;
    long long nextId(const std::string &table, const std::string &column) override;
    bool confined() const override { return m_confined; }

    // Makes every statement of this connection see and change only the rows of `company`:
    // temporary views shadow the record tables, temporary triggers guard their writes
    // (made once per connection; such a connection serves confined requests only).
    void confine(const std::string &company, long long user);

    // Why a client statement stopped with this result code, as the log item says it.
    std::string describeFailure(int rc) const;

private:
    sqlite3 *m_db = nullptr;
    const DbOptions &m_options;
    std::unordered_map<std::string, std::unique_ptr<SqliteStatement>> m_cache;
    std::list<std::pair<std::string, std::unique_ptr<Statement>>> m_client; // most recent first
    Access m_access = Access::Internal;
    std::set<std::string> m_tables;
    std::string m_denial;
    std::string m_failure;
    std::chrono::steady_clock::time_point m_deadline {};
    bool m_clock = false;
    bool m_interrupted = false;
    bool m_confined = false;
    bool m_open = false; // a transaction is open
    std::string m_company;
    long long m_user = 0;

    StepResult run(const char *sql);

    static void companyFunction(sqlite3_context *ctx, int, sqlite3_value **);
    static void userFunction(sqlite3_context *ctx, int, sqlite3_value **);

    static int authorize(void *self, int action, const char *a, const char *b, const char *dbName,
                         const char *trigger);
    static int progress(void *self);
    int check(int action, const char *a, const char *b, const char *dbName);
};

class SqliteDatabase final : public Database
{
public:
    // Opens (creating when missing) the file and sets WAL mode. Throws std::runtime_error.
    explicit SqliteDatabase(DbOptions options);
    ~SqliteDatabase() override;

    SqlDialect dialect() const override { return SqlDialect::Sqlite; }
    Lease acquire() override;
    void prepare(const PrepareOptions &options) override;
};

// Throws std::runtime_error with SQLite's message when rc is an error.
void checkSqlite(sqlite3 *db, int rc, std::string_view what);

} // namespace dravik::server
