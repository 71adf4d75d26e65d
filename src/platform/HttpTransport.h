#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// One part of a multipart/form-data body: a plain field, or a file part when fileName is set.
struct FormPart
{
    QByteArray name;
    QByteArray data;
    QString fileName;
    QByteArray contentType;
};

struct HttpReply
{
    bool ok = false; // false: the request raised an error (no answer, or an HTTP error)
    int status = 0; // HTTP status code, 0 when none was received
    QByteArray body; // the answer as received
    QString error; // the error message when !ok
};

// The HTTP client of the program. Calls block the caller until the answer is complete; an
// implementation may keep the user interface painting meanwhile, but never starts a second
// request while one is in flight.
class HttpTransport
{
public:
    virtual ~HttpTransport() = default;
    // url is fully encoded; a url without scheme is resolved against the previous request.
    virtual HttpReply get(const QByteArray &url) = 0;
    virtual HttpReply post(const QByteArray &url, const QList<FormPart> &form) = 0;
    // Closes the kept connection; cookies survive.
    virtual void dropConnection() = 0;
    // Empty host: direct connections.
    virtual void setProxy(const QString &host, int port) = 0;
    virtual bool busy() const = 0;
    // Receives connection status texts ("Connected.", ...) for the trace log.
    std::function<void(const QString &)> onStatus;
};
