#pragma once

// dravik-server: the endpoints of the client's catalogue over one SQLite database and one photo
// folder. Tests and benchmarks run it in-process on a free loopback port.

#include "server/LoginThrottle.h"
#include "server/Sessions.h"

#include <httplib.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace dravik::server {

class Database;
class HttpServer;
class QueryParams;

struct ServerOptions
{
    std::string dbPath;
    std::string photoDir; // served under /voimages/, written by the photo upload
    std::string listen = "127.0.0.1";
    int port = 0; // 0: a free port
    std::string seed; // "", "demo" or "large": fills a new database
    int threads = 64; // requests served at once (a kept-alive connection holds one)
    int connectionsPerAddress = 24; // connections one client address may hold at once
    int requestSeconds = 10; // for a request to arrive (plus a second per 64 KiB)
    int keepAliveSeconds = 5;
    int statementTimeoutMs = 3000;
    // The wait for another writer; longer than the statement limit, so that a writer that keeps
    // to the limit never makes another's save fail.
    int busyTimeoutMs = 4000;
    long long tempBytesPerStatement = 256LL << 20; // temporary disk of one client statement
    long long tempBytesServer = 1LL << 30; // temporary disk of every statement at once
    // Every request must carry a valid session key (false: requests without one are taken as
    // they say, for the statement tests).
    bool requireSession = true;
};

class DravikServer
{
public:
    // Opens the database, creating its schema (and seeding it) when it has no table yet.
    // Throws std::runtime_error when the database or the photo folder cannot be used.
    explicit DravikServer(ServerOptions options);
    ~DravikServer();

    // Binds and starts serving on a thread of its own; answers the port. Throws when the
    // address cannot be bound.
    int start();
    void stop();
    // Blocks until the server stops.
    void wait();

    int port() const { return m_port; }
    Database &database() { return *m_db; }
    // The HTTP server itself, for routes of a benchmark's own.
    HttpServer &http() { return *m_http; }
    const ServerOptions &options() const { return m_options; }

private:
    ServerOptions m_options;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<HttpServer> m_http;
    LoginThrottle m_logins;
    std::thread m_thread;
    int m_port = 0;

    void routes();
    std::string authorize(const httplib::Request &req, QueryParams &params,
                          std::optional<SessionUser> &user);
    // How a document's session is looked up: before it is built, or by the read itself.
    enum class SessionLookup {
        Before,
        InRead, // a read of rows alone, its statements free of the user
        InReadOfUser, // such a read that binds the "UserID" it is given
    };
    template<typename Build>
    httplib::Server::Handler document(Build build, SessionLookup lookup = SessionLookup::Before);
};

} // namespace dravik::server
