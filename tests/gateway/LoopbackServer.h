#pragma once

// A small HTTP server on a free loopback port, run on a thread of its own for one test.
// Handlers answer from the test; every request is recorded.

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenRequest
{
    std::string method;
    std::string target; // as sent, still encoded
    std::string path;
    httplib::Params params; // decoded query
    httplib::Headers headers;
    httplib::MultipartFormDataMap files;
    int remotePort = 0;
};

class LoopbackServer
{
public:
    using Handler = std::function<void(const httplib::Request &, httplib::Response &)>;

    explicit LoopbackServer(Handler handler)
        : m_handler(std::move(handler))
    {
        auto record = [this](const httplib::Request &req, httplib::Response &res) {
            {
                std::lock_guard lock(m_mutex);
                m_seen.push_back({req.method, req.target, req.path, req.params, req.headers,
                                  req.files, req.remote_port});
            }
            m_handler(req, res);
        };
        m_server.Get(".*", record);
        m_server.Post(".*", record);
        // Short, so that stopping does not wait long on a kept connection.
        m_server.set_keep_alive_timeout(1);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() is only heard once the accept loop runs.
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~LoopbackServer()
    {
        m_server.stop();
        m_thread.join();
    }

    int port() const { return m_port; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }
    std::vector<SeenRequest> seen() const
    {
        std::lock_guard lock(m_mutex);
        return m_seen;
    }
    size_t count() const
    {
        std::lock_guard lock(m_mutex);
        return m_seen.size();
    }

private:
    Handler m_handler;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<SeenRequest> m_seen;
};

// The value of a query parameter of a raw target, split at the first "=" and percent-decoded
// ("+" stays "+"). The server library's own parameter map cuts values at any later "=".
inline std::string rawParam(const std::string &target, const std::string &name)
{
    const size_t query = target.find('?');
    size_t at = query == std::string::npos ? target.size() : query + 1;
    while (at < target.size()) {
        size_t end = target.find('&', at);
        if (end == std::string::npos)
            end = target.size();
        const std::string pair = target.substr(at, end - at);
        const size_t eq = pair.find('=');
        if (pair.substr(0, eq) == name)
            return httplib::detail::decode_url(eq == std::string::npos ? "" : pair.substr(eq + 1),
                                               false);
        at = end + 1;
    }
    return "<absent>";
}

// A loopback port on which nothing listens: bound once by the system, then closed.
inline int closedLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}
