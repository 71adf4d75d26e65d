#pragma once

// The PostgreSQL storage (libpq), for a dealership group. The server connects as the role the
// address names, which owns the schema; a client's statement runs under the role dravik_client,
// which reaches the tables only through row-level security policies keyed by the request's
// company and user (settings dravik.company and dravik.user, SET LOCAL in each transaction), or
// under dravik_unconfined, of the same rights and every row, for a request of no company,
// and within a statement_timeout. Reads of AxQuery run in read-only transactions, bounded by
// their row limit and read a row at a time, so that an answer stays bounded. The commands of a
// request travel together in pipeline mode: a transaction's opening settings go with its first
// statement, and the statements a document sends ahead share one round trip.

#include "server/Database.h"

#include <libpq-fe.h>

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace dravik::server {

// What the server knows of the stored columns: their names as the schema writes them and how
// the documents write their values.
struct PgSchemaInfo
{
    struct Column
    {
        std::string name;
        ColumnKind kind = ColumnKind::Plain;
    };
    std::map<std::pair<unsigned, int>, Column> columns; // (table oid, column number)
    std::unordered_map<std::string, std::string> names; // lower case -> schema's case
};

class PgConnection;

class PgStatement final : public Statement
{
public:
    enum class Mode {
        Own, // the server's own: prepared once, run whole
        ClientWrite, // prepared, run whole under the client role
        ClientRead, // run under the client role, its rows read as they come
    };
    PgStatement(PgConnection &c, Mode mode, std::string sql, const std::vector<std::string> &names);
    ~PgStatement() override;

    void bind(int index, long long value) override;
    void bind(int index, std::string_view text) override;
    void bindBlob(int index, std::string_view bytes) override;
    void limitRows(int rows) override { m_limit = rows; }
    void send() override;
    StepResult step() override;
    void reset() override;
    std::string failure() const override { return m_failure; }
    std::string error() const override { return m_error; }
    int columns() const override { return static_cast<int>(m_cols.size()); }
    std::string columnName(int column) const override { return m_cols[column].name; }
    ColumnKind columnKind(int column) const override { return m_cols[column].kind; }
    bool computed(int column) const override { return m_cols[column].computed; }
    bool readOnly() const override { return m_mode == Mode::ClientRead; }
    ValueType type(int column) const override;
    long long integer(int column) const override;
    double real(int column) const override;
    std::string_view text(int column) const override;

    // Prepares on the server (once per connection and text) and reads the columns; answers
    // false with failure() set. A client read is prepared when it first runs.
    bool prepare();
    // Whether the last failure was a wait for another writer.
    bool busy() const { return m_busy; }

    // What the connection hands over from a round trip.
    const std::string &planName() const { return m_name; }
    const std::vector<std::optional<std::string>> &params() const { return m_params; }
    const std::vector<int> &formats() const { return m_formats; }
    bool streams() const { return m_mode == Mode::ClientRead; }
    bool streaming() const { return m_streaming; }
    // Its result (null: the link was lost), or its rows left unread.
    void received(PGresult *res);
    void stopped() { m_streaming = false; }
    // Its run was dropped before it was sent.
    void unsent();

private:
    struct Col
    {
        std::string name;
        ColumnKind kind = ColumnKind::Plain;
        bool computed = true;
        unsigned type = 0;
    };
    PgConnection &m_c;
    Mode m_mode;
    std::string m_sql;
    std::string m_plan; // the text prepared: the client's read wrapped in its row limit
    std::string m_name; // of the prepared statement
    unsigned m_generation = 0; // of the link it was prepared on
    std::unordered_map<std::string, std::string> m_written; // lower case -> as written
    std::vector<std::optional<std::string>> m_params;
    std::vector<int> m_formats;
    PGresult *m_result = nullptr;
    int m_row = -1;
    int m_limit = 0;
    bool m_sent = false; // its run is in the connection's round trip
    bool m_pending = false; // its result has not come yet
    bool m_streaming = false; // rows still to come, one result each
    StepResult m_outcome = StepResult::Done;
    std::string m_failure, m_error;
    bool m_busy = false;
    bool m_private = false; // reaches the server's own tables
    std::vector<Col> m_cols;
    mutable std::string m_bytes;

    void describe(const PGresult *res);
    StepResult fail(PGresult *res);
    void clearResult();
};

class PgConnection final : public Connection
{
public:
    PgConnection(const DbOptions &options, const PgSchemaInfo &schema);
    ~PgConnection() override;

    PGconn *handle() const { return m_conn; }
    const PgSchemaInfo &schema() const { return m_schema; }
    const DbOptions &options() const { return m_options; }

    SqlDialect dialect() const override { return SqlDialect::Postgres; }
    Statement &cached(const std::string &sql) override;
    void exec(const std::string &sql) override;
    void setAccess(Access access, const std::set<std::string> &tables = {}) override;
    Prepared prepareClient(const JetTranslation &t) override;
    Statement *clientStatement(const std::string &key) override;
    Statement *keepClient(const std::string &key, std::unique_ptr<Statement> stmt) override;
    void startClock(int timeoutMs) override { m_timeoutMs = timeoutMs; }
    StepResult begin(TransactionKind kind) override;
    StepResult commit() override;
    void rollback() override;
    void endWithSentReads() override;
    std::string failure() const override { return m_failure; }
    long long changes() const override { return m_changes; }
    long long lastInsertId() const override;
    long long nextId(const std::string &table, const std::string &column) override;
    bool confined() const override { return m_check || !m_company.empty(); }

    // The request's company and user, set in each transaction; empty: not confined.
    void confine(const std::string &company, long long user);
    // A read whose first transaction looks its session key up; until the key is found the
    // transactions see no company's rows.
    void confine(SessionCheck &check);
    bool sessionUnchecked() const
    {
        return m_check && m_check->outcome != SessionCheck::Outcome::Found;
    }
    // Whether the link to the server is gone (the connection is then dropped).
    bool broken() const;
    // Links again to a server that restarted; false while it is still away.
    bool reconnect();
    // Counts the links made again, so that a statement prepared on an older one is again.
    unsigned generation() const { return m_generation; }

    // Runs a command of the server's own, after what waits to be sent; answers the result
    // (the caller clears it), or throws std::runtime_error.
    PGresult *run(const std::string &sql);
    // The server statement of this text, prepared once per link: its name and description,
    // or null with `failure` (French) and `error` set.
    const PGresult *plan(const std::string &sql, std::string &name, std::string &error,
                         std::string &failure, bool &busy,
                         const std::unordered_map<std::string, std::string> *written);
    void release(const std::string &sql, unsigned generation);

    // The transaction a statement runs in: opens a read-only one when none is (`own`), and
    // switches to the client role with its time limit. Nothing is sent yet: the commands
    // wait for the next round trip.
    void enterClient(bool readOnly, bool &own);
    // Back to the server's own role, where a client statement left it.
    void leaveClient();
    // Puts the statement's run, then `after` (a command or none), in the next round trip.
    void queue(PgStatement &stmt, const char *after = nullptr);
    // Sends what waits and reads the results up to a statement whose rows come one at a time.
    void flush();
    // The next row of the statement whose rows come one at a time; null at the end.
    PGresult *nextRow();
    // Reads what the server still sends and leaves pipeline mode.
    void settle();
    // Reads the statement's result if it is on its way, and drops its run if not sent yet.
    void forget(PgStatement &stmt);
    // Why the round trip in flight failed (French).
    std::string flightFailure(bool &busy) const;
    bool inTransaction() const { return m_open; }
    void setChanges(long long n) { m_changes = n; }
    std::string nextName() { return "s" + std::to_string(++m_names); }
    // Why a statement failed, as the log item says it (French); busy when it was a wait.
    // `written`: the statement's names as the client wrote them.
    std::string describe(const PGresult *res, bool &busy,
                         const std::unordered_map<std::string, std::string> *written
                         = nullptr) const;

private:
    // One entry of the next round trip: a command of the server's own (no parameters) or a
    // statement's run.
    struct Entry
    {
        Entry() = default;
        explicit Entry(std::string sql)
            : command(std::move(sql))
        { }
        std::string command;
        PgStatement *stmt = nullptr;
        PGresult **out = nullptr; // where a command's result is kept, when asked
        bool opens = false; // the BEGIN of a transaction
        bool check = false; // the lookup of the request's session key
        std::vector<std::string> params; // of a command that has them
        std::string name; // of such a command prepared on this link
    };
    struct Plan
    {
        std::string name;
        PGresult *description = nullptr;
        int users = 0;
        unsigned long long used = 0;
    };
    const DbOptions &m_options;
    const PgSchemaInfo &m_schema;
    PGconn *m_conn = nullptr;
    std::unordered_map<std::string, std::unique_ptr<PgStatement>> m_cache;
    std::vector<std::pair<std::string, std::unique_ptr<Statement>>> m_client;
    std::unordered_map<std::string, Plan> m_plans; // by text
    std::unordered_map<std::string, std::string> m_commands; // prepared commands' names
    unsigned long long m_uses = 0;
    std::vector<Entry> m_queue; // waiting to be sent
    std::vector<Entry> m_inFlight; // sent, results not all read
    size_t m_read = 0; // of m_inFlight
    std::string m_flightFailure; // the first failure of the round trip in flight
    bool m_flightBusy = false;
    unsigned m_generation = 0;
    Access m_access = Access::Internal;
    StatementKind m_kind = StatementKind::Other; // of the last client statement
    std::set<std::string> m_tables;
    std::string m_company;
    long long m_user = 0;
    SessionCheck *m_check = nullptr;
    std::string m_failure;
    int m_timeoutMs = 0;
    long long m_changes = 0;
    int m_names = 0;
    bool m_open = false; // a transaction is open, as the requests see it
    bool m_beginQueued = false; // its BEGIN is still waiting to be sent
    bool m_readOnly = false; // the open transaction only reads
    bool m_clientRole = false;
    int m_clientTimeoutMs = 0; // the time limit set with the client role

    std::string setup() const;
    void queueOpening(bool readOnly);
    void queueSettings(const char *sql, std::vector<std::string> params);
    std::string commandName(const std::string &sql);
    bool sendFlight();
    void deliver(Entry &e, PGresult *res);
    void finishFlight();
    void dropQueue();
};

class PgDatabase final : public Database
{
public:
    // Connects to the address (postgresql://...). Throws std::runtime_error when PostgreSQL
    // cannot be reached.
    explicit PgDatabase(DbOptions options);
    ~PgDatabase() override;

    SqlDialect dialect() const override { return SqlDialect::Postgres; }
    bool checksSessionsInRequest() const override { return true; }
    Lease acquire() override;
    void prepare(const PrepareOptions &options) override;

protected:
    bool reusable(Connection &c) override;

private:
    PgSchemaInfo m_schema;

    void loadSchema();
    void copySeed(PgConnection &c, const std::string &seed, const std::string &photoDir);
};

// Whether a --db value names a PostgreSQL database.
bool isPostgresAddress(std::string_view path);

} // namespace dravik::server
