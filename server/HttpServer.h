#pragma once

// cpp-httplib's server with long request lines. Debian ships cpp-httplib as a compiled library
// whose request-line limit (8 KiB) cannot be raised, while a new vehicle's insert travels in the
// query string and runs to many kilobytes. This server reads each request line itself and hands
// it to httplib without its query; the full target is put back into the request before routing
// (handlers read their parameters from the target). Everything else (headers, bodies, multipart,
// routing, answers) stays httplib's. Sockets get TCP_NODELAY, and connections are kept alive
// between requests.

#include <httplib.h>

namespace dravik::server {

class HttpServer : public httplib::Server
{
public:
    // Request lines up to maxRequestLine bytes are accepted (answered 414 beyond).
    explicit HttpServer(size_t maxRequestLine = 1024 * 1024);

private:
    size_t m_maxRequestLine;
    bool process_and_close_socket(socket_t sock) override;
};

} // namespace dravik::server
