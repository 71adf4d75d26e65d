#include "server/HttpServer.h"

#include "server/Messages.h"
#include "server/XmlDoc.h"

#include <malloc.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <charconv>
#include <chrono>
#include <cstring>
#include <string_view>

namespace dravik::server {

namespace {

// Longer paths are left to httplib, which refuses them (its limit is 8192 bytes).
constexpr size_t kHandOverLimit = 4096;

// Requests or answers above this size give their memory back to the system once served.
constexpr size_t kTrimAfterBytes = 1024 * 1024;

thread_local bool t_tooLarge = false;

using Clock = std::chrono::steady_clock;

void addressOf(const sockaddr_storage &addr, std::string &ip, int &port)
{
    char buf[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET) {
        const auto *a = reinterpret_cast<const sockaddr_in *>(&addr);
        inet_ntop(AF_INET, &a->sin_addr, buf, sizeof buf);
        port = ntohs(a->sin_port);
    } else if (addr.ss_family == AF_INET6) {
        const auto *a = reinterpret_cast<const sockaddr_in6 *>(&addr);
        inet_ntop(AF_INET6, &a->sin6_addr, buf, sizeof buf);
        port = ntohs(a->sin6_port);
    }
    ip = buf;
}

// A socket as httplib's stream, with bytes read ahead (the request line) served first.
class SocketStream : public httplib::Stream
{
public:
    SocketStream(int sock, int readTimeoutMs, int writeTimeoutMs)
        : m_sock(sock)
        , m_readMs(readTimeoutMs)
        , m_writeMs(writeTimeoutMs)
    { }

    bool is_readable() const override { return m_pos < m_buf.size() || wait(POLLIN, m_readMs); }
    bool is_writable() const override { return wait(POLLOUT, m_writeMs); }

    ssize_t read(char *ptr, size_t size) override
    {
        if (m_left == 0) {
            t_tooLarge = true;
            return -1;
        }
        size = std::min(size, m_left);
        ssize_t n;
        if (m_pos < m_buf.size()) {
            n = static_cast<ssize_t>(std::min(size, m_buf.size() - m_pos));
            std::memcpy(ptr, m_buf.data() + m_pos, static_cast<size_t>(n));
            m_pos += static_cast<size_t>(n);
        } else {
            n = receive(ptr, size);
        }
        if (n > 0)
            m_left -= static_cast<size_t>(n);
        return n;
    }

    // A request begins: it may bring `bytes` at most and must arrive in `seconds`, plus a
    // second per 64 KiB received.
    void beginRequest(size_t bytes, int seconds)
    {
        m_left = m_limit = bytes;
        m_received = 0;
        m_written = 0;
        m_start = Clock::now();
        m_seconds = seconds;
        t_tooLarge = false;
    }
    // Bytes of the request and of its answer.
    size_t traffic() const { return m_limit - m_left + m_written; }

    // Sends without waiting first; waits (up to the write time-out) only when the socket's
    // buffer is full.
    ssize_t write(const char *ptr, size_t size) override
    {
        // httplib writes an answer's header block and its body separately: the header block
        // is held back (MSG_MORE) until the body's last byte, so that a small answer leaves in
        // one packet despite TCP_NODELAY.
        const std::string_view data(ptr, size);
        const bool header
                = m_bodyLeft == 0 && data.rfind("HTTP/1.", 0) == 0 && data.ends_with("\r\n\r\n");
        if (header)
            m_bodyLeft = contentLength(data);
        const bool more = header ? m_bodyLeft > 0 : size < m_bodyLeft;
        while (true) {
            const ssize_t n = ::send(m_sock, ptr, size,
                                     MSG_NOSIGNAL | MSG_DONTWAIT | (more ? MSG_MORE : 0));
            if (n >= 0) {
                if (!header)
                    m_bodyLeft -= std::min(m_bodyLeft, static_cast<size_t>(n));
                m_written += static_cast<size_t>(n);
                return n;
            }
            if (errno == EINTR)
                continue;
            if ((errno != EAGAIN && errno != EWOULDBLOCK) || !wait(POLLOUT, m_writeMs))
                return -1;
        }
    }

    void get_remote_ip_and_port(std::string &ip, int &port) const override
    {
        sockaddr_storage addr {};
        socklen_t len = sizeof addr;
        if (getpeername(m_sock, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
            addressOf(addr, ip, port);
    }
    void get_local_ip_and_port(std::string &ip, int &port) const override
    {
        sockaddr_storage addr {};
        socklen_t len = sizeof addr;
        if (getsockname(m_sock, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
            addressOf(addr, ip, port);
    }
    socket_t socket() const override { return m_sock; }

    // Waits up to timeoutMs for the next request, in short slices so that a stopping server
    // is noticed; true when bytes are there.
    template<typename Running>
    bool waitRequest(int timeoutMs, Running running)
    {
        if (m_pos < m_buf.size())
            return true;
        for (int waited = 0; waited < timeoutMs && running(); waited += 100) {
            if (wait(POLLIN, std::min(100, timeoutMs - waited)))
                return true;
        }
        return false;
    }

    enum class Line { Read, Closed, TooLong };

    // Reads the request line (CR LF included) into `line`; the bytes after it stay buffered.
    Line readLine(std::string &line, size_t maxLength)
    {
        compact();
        while (true) {
            const size_t eol = m_buf.find('\n', m_pos);
            if (eol != std::string::npos) {
                line.assign(m_buf, m_pos, eol + 1 - m_pos);
                m_pos = eol + 1;
                return Line::Read;
            }
            if (m_buf.size() - m_pos > maxLength)
                return Line::TooLong;
            char chunk[16384];
            const ssize_t n = receive(chunk, sizeof chunk);
            if (n <= 0)
                return Line::Closed;
            m_buf.append(chunk, static_cast<size_t>(n));
        }
    }

    // Sends whatever an answer left held back (an answer to HEAD has no body to release it).
    void flush()
    {
        if (m_bodyLeft != 0) {
            const int on = 1;
            setsockopt(m_sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            m_bodyLeft = 0;
        }
    }

    // Puts a (rewritten) request line back in front of the buffered bytes.
    void unread(const std::string &line) { m_buf.insert(m_pos, line); }

private:
    int m_sock;
    int m_readMs, m_writeMs;
    size_t m_bodyLeft = 0; // body bytes of the answer being written still to come
    size_t m_limit = SIZE_MAX, m_left = SIZE_MAX; // request bytes allowed, still allowed
    size_t m_received = 0, m_written = 0;
    Clock::time_point m_start {};
    int m_seconds = 0; // 0: no deadline

    // What is left of the time the request may take to arrive, in ms (never above the read
    // time-out).
    int readWaitMs() const
    {
        if (m_seconds == 0)
            return m_readMs;
        const auto allowed
                = std::chrono::seconds(m_seconds) + std::chrono::milliseconds(m_received / 64);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_start + allowed
                                                                                - Clock::now())
                                  .count();
        return static_cast<int>(std::clamp<long long>(left, 0, m_readMs));
    }

    static size_t contentLength(std::string_view header)
    {
        for (const std::string_view name : {"\r\nContent-Length: ", "\r\ncontent-length: "}) {
            const size_t p = header.find(name);
            if (p != std::string_view::npos) {
                size_t value = 0;
                std::from_chars(header.data() + p + name.size(), header.data() + header.size(),
                                value);
                return value;
            }
        }
        return 0;
    }
    std::string m_buf;
    size_t m_pos = 0;

    void compact()
    {
        m_buf.erase(0, m_pos);
        m_pos = 0;
    }
    bool wait(short events, int timeoutMs) const
    {
        pollfd p {m_sock, events, 0};
        while (true) {
            const int rc = ::poll(&p, 1, timeoutMs);
            if (rc < 0 && errno == EINTR)
                continue;
            return rc > 0 && (p.revents & (events | POLLHUP | POLLERR));
        }
    }
    // Receives what is there; waits (up to the read time-out, and within the request's time)
    // only when nothing is.
    ssize_t receive(char *ptr, size_t size)
    {
        while (true) {
            const ssize_t n = ::recv(m_sock, ptr, size, MSG_DONTWAIT);
            if (n >= 0) {
                m_received += static_cast<size_t>(n);
                return n;
            }
            if (errno == EINTR)
                continue;
            const int waitMs = readWaitMs();
            if ((errno != EAGAIN && errno != EWOULDBLOCK) || waitMs <= 0 || !wait(POLLIN, waitMs))
                return -1;
        }
    }
};

// A whole answer of our own: a document with one log item, after which the connection closes.
void refuse(SocketStream &strm, const char *status, const std::string &logItem)
{
    const std::string body = XmlDoc::failure({logItem});
    const std::string answer = std::string("HTTP/1.1 ") + status
            + "\r\nContent-Type: text/xml; charset=ISO-8859-1\r\nContent-Length: "
            + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    for (size_t done = 0; done < answer.size();) {
        const ssize_t n = strm.write(answer.data() + done, answer.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
}

// Closes after the client had a moment to read the answer: closing with its request unread
// would reset the connection and lose the answer.
void lingerAndClose(int sock)
{
    ::shutdown(sock, SHUT_WR);
    char buf[16384];
    for (int i = 0; i < 10; ++i) {
        pollfd p {sock, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0 || ::recv(sock, buf, sizeof buf, MSG_DONTWAIT) <= 0)
            break;
    }
    ::close(sock);
}

std::string remoteAddress(int sock)
{
    sockaddr_storage addr {};
    socklen_t len = sizeof addr;
    std::string ip;
    int port = 0;
    if (getpeername(sock, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
        addressOf(addr, ip, port);
    return ip;
}

} // namespace

HttpServer::HttpServer(HttpLimits limits)
    : m_limits(limits)
{
    set_tcp_nodelay(true);
    // The options of the socket bound, which is then the listening one.
    set_socket_options([this](socket_t sock) {
        httplib::default_socket_options(sock);
        m_listening = sock;
    });
    // Request bodies and answers of megabytes are mapped and unmapped on their own: glibc
    // otherwise raises its threshold after the first and serves the next ones from arenas that
    // stay resident.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

void HttpServer::widenListenQueue()
{
    if (m_listening != INVALID_SOCKET)
        ::listen(m_listening, SOMAXCONN);
}

bool HttpServer::requestTooLarge()
{
    return t_tooLarge;
}

bool HttpServer::process_and_close_socket(socket_t sock)
{
    const std::string address = remoteAddress(sock);
    bool admitted;
    {
        std::lock_guard lock(m_mutex);
        int &n = m_connections[address];
        admitted = n < m_limits.connectionsPerAddress;
        if (admitted)
            ++n;
    }
    if (!admitted) {
        SocketStream strm(sock, 0, 1000);
        refuse(strm, "503 Service Unavailable", msg::tooManyConnections());
        lingerAndClose(sock);
        return false;
    }
    serve(sock);
    std::lock_guard lock(m_mutex);
    if (--m_connections[address] == 0)
        m_connections.erase(address);
    return true;
}

void HttpServer::serve(socket_t sock)
{
    const int on = 1;
    setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    SocketStream strm(sock, static_cast<int>(read_timeout_sec_ * 1000 + read_timeout_usec_ / 1000),
                      static_cast<int>(write_timeout_sec_ * 1000 + write_timeout_usec_ / 1000));
    bool ret = false;
    size_t count = keep_alive_max_count_;
    const int keepAliveMs = static_cast<int>(keep_alive_timeout_sec_ * 1000);
    while (count > 0 && strm.waitRequest(keepAliveMs, [this] { return is_running(); })) {
        strm.beginRequest(m_limits.maxRequestLine + m_limits.maxRequestBytes,
                          m_limits.requestSeconds);
        std::string line;
        const auto read = strm.readLine(line, m_limits.maxRequestLine);
        if (read == SocketStream::Line::TooLong)
            refuse(strm, "414 URI Too Long", msg::requestLineTooLong());
        if (read != SocketStream::Line::Read)
            break;
        // httplib gets the target without its query: it refuses long request lines, and a
        // second "?" in a query (a user may type one). The full target is put back below.
        std::string fullTarget;
        const size_t sp1 = line.find(' ');
        const size_t sp2 = line.rfind(' ');
        if (sp1 != std::string::npos && sp2 > sp1) {
            const std::string target = line.substr(sp1 + 1, sp2 - sp1 - 1);
            const size_t q = target.find('?');
            if (q != std::string::npos && q <= kHandOverLimit) {
                fullTarget = target;
                line = line.substr(0, sp1 + 1) + target.substr(0, q) + line.substr(sp2);
            }
        }
        strm.unread(line);
        bool connectionClosed = false;
        ret = process_request(strm, count == 1, connectionClosed, [&](httplib::Request &req) {
            if (!fullTarget.empty())
                req.target = fullTarget;
        });
        strm.flush();
        // glibc keeps freed memory in the thread's arena: a burst of large requests would stay
        // resident long after.
        if (strm.traffic() > kTrimAfterBytes)
            malloc_trim(0);
        if (!ret || connectionClosed || HttpServer::requestTooLarge())
            break;
        --count;
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
}

} // namespace dravik::server
