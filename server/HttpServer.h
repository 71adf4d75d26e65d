#pragma once

// cpp-httplib's server with long request lines. Debian ships cpp-httplib as a compiled library
// whose request-line limit (8 KiB) cannot be raised, while a new vehicle's insert travels in the
// query string and runs to many kilobytes. This server reads each request line itself and hands
// it to httplib without its query; the full target is put back into the request before routing
// (handlers read their parameters from the target). Everything else (headers, bodies, multipart,
// routing, answers) stays httplib's. Sockets get TCP_NODELAY, and connections are kept alive
// between requests.

//
// Limits that httplib does not hold: a request's bytes (a chunked body is read without the
// payload limit), the time one request may take to arrive (a client sending a byte every few
// seconds never meets the read time-out), and the connections one address may hold at once, so
// that slow clients cannot take every thread. Each refusal is a document with a log item.

#include <httplib.h>

#include <mutex>
#include <string>
#include <unordered_map>

namespace dravik::server {

struct HttpLimits
{
    size_t maxRequestLine = 1024 * 1024; // answered 414 beyond
    size_t maxRequestBytes = 16 * 1024 * 1024 + 256 * 1024; // headers and body, however sent
    int requestSeconds = 10; // to receive a request, plus a second per 64 KiB received
    int connectionsPerAddress = 24;
};

class HttpServer : public httplib::Server
{
public:
    explicit HttpServer(HttpLimits limits = {});

    // Whether the request being handled on this thread was cut for its size (for the error
    // handler, which answers it).
    static bool requestTooLarge();

    // Once bound: lets the system queue as many connections not yet accepted as it allows. The
    // library listens with a queue of 5, and a connection beyond it is dropped and tried again
    // by its client a second later, then three, then seven: a hundred clients connecting at
    // once waited up to nine seconds.
    void widenListenQueue();

private:
    HttpLimits m_limits;
    socket_t m_listening = INVALID_SOCKET;
    std::mutex m_mutex;
    std::unordered_map<std::string, int> m_connections; // per remote address
    bool process_and_close_socket(socket_t sock) override;
    void serve(socket_t sock);
};

} // namespace dravik::server
