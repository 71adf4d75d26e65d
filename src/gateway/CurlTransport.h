#pragma once

#include "platform/HttpTransport.h"

// The HTTP transport over libcurl. One easy handle is kept for the life of the object, so
// cookies and the open connection are reused. While a transfer runs, the Qt event loop keeps
// running (paints, timers, sockets) but user input waits until the answer is in.
class CurlTransport : public HttpTransport
{
public:
    // readTimeoutMs: longest silence while reading an answer; 0 waits indefinitely.
    explicit CurlTransport(int readTimeoutMs = 5000);
    ~CurlTransport() override;
    CurlTransport(const CurlTransport &) = delete;
    CurlTransport &operator=(const CurlTransport &) = delete;

    HttpReply get(const QByteArray &url) override;
    HttpReply post(const QByteArray &url, const QList<FormPart> &form) override;
    void dropConnection() override;
    void setProxy(const QString &host, int port) override;
    bool busy() const override { return m_busy; }
    // The session key sent (header kSessionHeader) with every request whose address begins
    // with baseHRef, and with no other. An empty key sends none.
    void setSession(const QByteArray &baseHRef, const QByteArray &key);

    // Sent as the Accept header of every request.
    static constexpr const char *kAccept = "Accept: text/html, */*";
    static constexpr const char *kSessionHeader = "X-Dravik-Session";

private:
    struct Handles;
    HttpReply perform(const QByteArray &url, const QList<FormPart> *form);
    QByteArray resolve(const QByteArray &url) const;

    Handles *m_h;
    int m_readTimeoutMs;
    QByteArray m_proxy;
    QByteArray m_lastUrl;
    QByteArray m_sessionBase;
    bool m_busy = false;
};
