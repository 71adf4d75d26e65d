#pragma once

// The server's SQLite storage: a pool of connections to one file in WAL mode, each with a busy
// time-out, durable commits (synchronous FULL), an authorizer that confines what a client's
// statement may touch, and a progress handler that stops a statement running too long.

#include <sqlite3.h>

#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
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

class RowWriter;

// The company and user a request runs for, on the thread serving it. While one is set,
// acquire() hands out confined connections (see Connection::confine).
struct RequestScope
{
    RequestScope(std::string company, long long user);
    ~RequestScope();
    RequestScope(const RequestScope &) = delete;
    RequestScope &operator=(const RequestScope &) = delete;
    static const std::string &company();
    static long long user();
};

class Connection
{
public:
    Connection(const DbOptions &options);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return m_db; }

    // A statement of the server's own, prepared once per connection and reset for reuse.
    // Throws std::runtime_error when it cannot be prepared.
    sqlite3_stmt *cached(const std::string &sql);
    // The row writer of a statement returned by cached(), made once.
    const RowWriter &writer(sqlite3_stmt *stmt);

    // A client SELECT prepared before under the same confinement (key), reset for reuse, or null.
    // keepClient() hands a freshly prepared one over to the connection, which keeps the most
    // recently used ones and finalizes the others.
    sqlite3_stmt *clientStatement(const std::string &key);
    void keepClient(const std::string &key, sqlite3_stmt *stmt);

    // Confines the statements prepared and run from now on; `tables`, when not empty, is the
    // only set of tables a Read statement may read.
    void setAccess(Access access, std::set<std::string> tables = {});
    // The reason of the last refusal of the authorizer (French), empty when none.
    const std::string &denial() const { return m_denial; }

    // Makes every statement of this connection see and change only the rows of `company`:
    // temporary views shadow the record tables, temporary triggers guard their writes
    // (made once per connection; such a connection serves confined requests only).
    void confine(const std::string &company, long long user);
    bool confined() const { return m_confined; }

    // Starts the time limit of the statement about to run (0: none).
    void startClock(int timeoutMs);
    bool interrupted() const { return m_interrupted; }

private:
    sqlite3 *m_db = nullptr;
    const DbOptions &m_options;
    std::unordered_map<std::string, sqlite3_stmt *> m_cache;
    std::unordered_map<sqlite3_stmt *, std::unique_ptr<RowWriter>> m_writers;
    std::list<std::pair<std::string, sqlite3_stmt *>> m_client; // most recently used first
    Access m_access = Access::Internal;
    std::set<std::string> m_tables;
    std::string m_denial;
    std::chrono::steady_clock::time_point m_deadline {};
    bool m_clock = false;
    bool m_interrupted = false;
    bool m_confined = false;
    std::string m_company;
    long long m_user = 0;

    static void companyFunction(sqlite3_context *ctx, int, sqlite3_value **);
    static void userFunction(sqlite3_context *ctx, int, sqlite3_value **);

    static int authorize(void *self, int action, const char *a, const char *b, const char *dbName,
                         const char *trigger);
    static int progress(void *self);
    int check(int action, const char *a, const char *b, const char *dbName);
};

class Database
{
public:
    // Opens (creating when missing) the file and sets WAL mode. Throws std::runtime_error.
    explicit Database(DbOptions options);
    ~Database();

    const DbOptions &options() const { return m_options; }

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
    Lease acquire();

    // Runs a script of the server's own (schema, seeds) outside any client confinement.
    void exec(const std::string &sql);

private:
    DbOptions m_options;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Connection>> m_idle;
    std::vector<std::unique_ptr<Connection>> m_idleConfined;
};

// Throws std::runtime_error with SQLite's message when rc is an error.
void checkSqlite(sqlite3 *db, int rc, std::string_view what);

} // namespace dravik::server
