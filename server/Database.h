#pragma once

// The server's storage, as the endpoints see it: a pool of connections, each preparing and
// running statements, reading their rows and holding one transaction at a time. The engine
// behind it (SQLite, server/SqliteDatabase.h) confines what a client's statement may touch and
// stops a statement running too long; the endpoints know nothing more of it.

#include "server/JetSql.h"

#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::server {

struct DbOptions
{
    std::string path;
    int busyTimeoutMs = 1500; // wait for another writer before answering WAIT_TIMEOUT
    int statementTimeoutMs = 3000; // a client statement running longer is interrupted
    int requestKeySeconds = 24 * 3600; // how long an applied request key answers its retries
    long long tempBytesPerStatement = 256LL << 20; // temporary disk one client statement may use
    // The tables a client's statement may write (names compared without letter case); the
    // others (users, groups, companies, option dates...) are read-only for clients.
    std::set<std::string> writableTables;
    // The server's own tables (request keys...): clients may neither read nor write them.
    std::set<std::string> hiddenTables;
};

// What the statement being prepared may do.
enum class Access {
    Internal, // the server's own statements: anything
    Read, // a client's SELECT: read application tables
    Write, // a client's INSERT/UPDATE/DELETE: read them, write the writable ones
};

// A session key a read's first transaction looks up itself, so that an engine across a network
// needs no round trip of its own for it. Until it is found the read sees no company's rows;
// the request's answer is kept only once `outcome` says the key was found.
struct SessionCheck
{
    enum class Outcome {
        NotRun, // nothing reached the database
        Found,
        Unknown, // no such unexpired key
    };
    std::string keyHash;
    long long now = 0; // the time it must not have expired by (Unix seconds)
    Outcome outcome = Outcome::NotRun;
    long long user = 0; // once found
    std::string concession;
};

// The company and user a request runs for, on the thread serving it. While one is set,
// acquire() hands out confined connections.
struct RequestScope
{
    RequestScope(std::string company, long long user);
    // A read whose session the database looks up (Database::checksSessionsInRequest()).
    explicit RequestScope(SessionCheck &check);
    ~RequestScope();
    RequestScope(const RequestScope &) = delete;
    RequestScope &operator=(const RequestScope &) = delete;
    static const std::string &company();
    static long long user();
    static SessionCheck *check(); // null unless the session is to be looked up
};

// What a step of a statement came to. Busy: another writer held the database longer than the
// busy time-out (answered WAIT_TIMEOUT; nothing was written).
enum class StepResult { Row, Done, Busy, Failed };

// How the documents write a column: by its declared type.
enum class ColumnKind { Plain, Date, Boolean };
enum class ValueType { Null, Integer, Real, Text, Blob };

class RowWriter;

class Statement
{
public:
    virtual ~Statement();

    // Parameters are numbered from 1.
    virtual void bind(int index, long long value) = 0;
    virtual void bind(int index, std::string_view text) = 0;
    virtual void bindBlob(int index, std::string_view bytes) = 0;

    // At most this many rows will be read (0: all of them): an engine may fetch no more.
    virtual void limitRows(int) { }
    // Starts the run, bound, before the statements sent earlier are read: an engine across a
    // network carries them together. step() reads the rows, in the order sent.
    virtual void send() { }
    // Runs the statement, or moves to its next row.
    virtual StepResult step() = 0;
    // The next row of a statement of the server's own: true while there is one. Throws
    // std::runtime_error naming the statement when it fails.
    bool next();
    // Ends the run (rows not read are dropped, the read's snapshot let go) and clears the
    // bindings, ready to run again.
    virtual void reset() = 0;

    // Why the last step failed: the log item of a client's statement (French).
    virtual std::string failure() const = 0;
    // The engine's own words for it, for the server's statements.
    virtual std::string error() const = 0;

    virtual int columns() const = 0;
    virtual std::string columnName(int column) const = 0;
    virtual ColumnKind columnKind(int column) const = 0;
    virtual bool computed(int column) const = 0; // no declared type
    virtual bool readOnly() const = 0;

    // The current row.
    virtual ValueType type(int column) const = 0;
    virtual long long integer(int column) const = 0;
    virtual double real(int column) const = 0;
    virtual std::string_view text(int column) const = 0; // text, or a blob's bytes

    // The writer of this statement's rows, made once.
    const RowWriter &writer();

private:
    std::unique_ptr<RowWriter> m_writer;
};

// A client's statement, prepared: the statement, or why it was refused or failed.
struct Prepared
{
    std::unique_ptr<Statement> statement;
    std::string failure; // the log item, when no statement
    bool busy = false; // the database stayed busy: WAIT_TIMEOUT
};

enum class TransactionKind {
    Read, // one snapshot for all the reads of a document
    Write, // a write, holding the write lock from its start
};

class Connection
{
public:
    virtual ~Connection();

    // The dialect the client's Jet statements are translated into for this engine.
    virtual SqlDialect dialect() const = 0;

    // A statement of the server's own ("?" for parameters), prepared once per connection and
    // reset for reuse. Throws std::runtime_error when it cannot be prepared.
    virtual Statement &cached(const std::string &sql) = 0;
    // Runs a script of the server's own (several statements). Throws std::runtime_error.
    virtual void exec(const std::string &sql) = 0;

    // Confines the statements prepared and run from now on; `tables`, when not empty, is the
    // only set of tables a Read statement may read.
    virtual void setAccess(Access access, const std::set<std::string> &tables = {}) = 0;
    // A client's statement (translated for this engine), prepared under the access last set.
    // Exactly one statement: anything after it is refused.
    virtual Prepared prepareClient(const JetTranslation &t) = 0;
    // A client SELECT prepared before under the same confinement (key), reset for reuse, or
    // null. keepClient() hands a freshly prepared one over to the connection, which keeps the
    // most recently used ones, and answers it.
    virtual Statement *clientStatement(const std::string &key) = 0;
    virtual Statement *keepClient(const std::string &key, std::unique_ptr<Statement> stmt) = 0;

    // Starts the time limit of the client statement about to run (0: none).
    virtual void startClock(int timeoutMs) = 0;

    // The transaction of a request; rollback() is harmless when none is open.
    virtual StepResult begin(TransactionKind kind) = 0;
    virtual StepResult commit() = 0;
    virtual void rollback() = 0;
    // The reads sent so far are the last of a read transaction: an engine across a network
    // sends its end with them. Their rows are read as before; commit() then ends nothing more.
    virtual void endWithSentReads() { }
    // Why begin() or commit() failed (French).
    virtual std::string failure() const = 0;

    // Rows changed by the last write; the rowid of the last insert.
    virtual long long changes() const = 0;
    virtual long long lastInsertId() const = 0;
    // One more than the largest value of the column over every company's rows, so that ids
    // never collide.
    virtual long long nextId(const std::string &table, const std::string &column) = 0;

    virtual bool confined() const = 0;
};

// What the server asks of a database when it starts.
struct PrepareOptions
{
    std::string seed; // "", "demo" or "large"
    std::string photoDir; // where the demo's photos are written
};

class Database
{
public:
    explicit Database(DbOptions options);
    virtual ~Database();

    const DbOptions &options() const { return m_options; }
    // The dialect the client's Jet statements are translated into.
    virtual SqlDialect dialect() const = 0;
    // Whether a read looks its session key up in its own first transaction (a RequestScope
    // made of a SessionCheck): worth it where a lookup costs a round trip. Such a read runs in
    // read-only transactions only.
    virtual bool checksSessionsInRequest() const { return false; }

    // One connection for the duration of a request; given back to the pool on destruction.
    class Lease
    {
    public:
        Lease(Database &db, std::unique_ptr<Connection> c)
            : m_db(&db)
            , m_c(std::move(c))
        { }
        Lease(Lease &&) = default;
        ~Lease();
        Connection &operator*() const { return *m_c; }
        Connection *operator->() const { return m_c.get(); }

    private:
        Database *m_db;
        std::unique_ptr<Connection> m_c;
    };
    // A connection confined to the company of the request's scope, when one is set.
    virtual Lease acquire() = 0;

    // Creates the schema and the server's own tables when missing, then seeds as asked (an
    // existing database is used as it is). Throws std::runtime_error.
    virtual void prepare(const PrepareOptions &options) = 0;
    // Runs a script of the server's own outside any client confinement.
    void exec(const std::string &sql);

protected:
    // An idle connection, the most recently used first, null when there is none; the
    // connections a backend made confined are kept apart (Connection::confined()).
    std::unique_ptr<Connection> takeIdle(bool confined);
    void keepIdle(std::unique_ptr<Connection> c);
    // Whether a connection given back may serve again, its request's transaction and time
    // limit ended; a backend may make it ready (forget the request's company...).
    virtual bool reusable(Connection &) { return true; }
    // Closes the idle connections, before what they refer to goes.
    void dropIdle();

private:
    DbOptions m_options;
    std::mutex m_idleMutex;
    std::vector<std::unique_ptr<Connection>> m_idle[2]; // unconfined, confined

    void release(std::unique_ptr<Connection> c);
};

// The database that options.path names: postgresql://USER@HOST/DB (or any libpq address
// beginning postgresql:// or postgres://), else an SQLite file. Throws std::runtime_error.
std::unique_ptr<Database> openDatabase(DbOptions options);

} // namespace dravik::server
