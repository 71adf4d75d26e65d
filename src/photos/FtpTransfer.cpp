#include "photos/FtpTransfer.h"

#include "photos/PhotoTexts.h"

#include <QFile>
#include <QUrl>

#include <cstdio>

#include <curl/curl.h>

namespace {

std::pair<QString, int> hostAndPort(const QString &text, int defaultPort)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon > 0) {
        bool ok = false;
        const int port = text.mid(colon + 1).toInt(&ok);
        if (ok && port > 0 && port < 65536)
            return {text.left(colon), port};
    }
    return {text, defaultPort};
}

size_t readFile(char *buffer, size_t size, size_t count, void *stream)
{
    return static_cast<QFile *>(stream)->read(buffer, qint64(size * count));
}

} // namespace

FtpEndpoint chooseFtpEndpoint(const FtpSettings &s, const QString &proxyServer)
{
    FtpEndpoint e;
    e.password = s.password;
    if (!proxyServer.isEmpty() && !s.gateway.isEmpty()) {
        const auto [host, port] = hostAndPort(s.gateway, 21);
        e.host = host;
        e.port = port;
        e.user = s.account + QLatin1Char('@') + s.host;
    } else {
        e.host = s.host;
        e.port = s.port;
        e.user = s.account;
    }
    return e;
}

FtpSession::FtpSession(FtpEndpoint endpoint, QString remoteFolder, int silenceSeconds)
    : m_endpoint(std::move(endpoint))
    , m_folder(std::move(remoteFolder))
    , m_silence(silenceSeconds)
    , m_curl(curl_easy_init())
{ }

FtpSession::~FtpSession()
{
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL *>(m_curl));
}

QString FtpSession::put(const QString &localPath, const QString &remoteName)
{
    auto *curl = static_cast<CURL *>(m_curl);
    if (!curl)
        return PhotoText::FtpFailed + QStringLiteral("libcurl");
    if (m_endpoint.host.isEmpty())
        return PhotoText::FtpFailed + PhotoText::FtpNotConfigured;
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        return PhotoText::FtpFailed + localPath + QStringLiteral(" : ") + file.errorString();

    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setHost(m_endpoint.host);
    url.setPort(m_endpoint.port);
    url.setPath(QLatin1Char('/') + m_folder + QLatin1Char('/') + remoteName);
    const QByteArray address = url.toEncoded();
    const QByteArray user = m_endpoint.user.toUtf8();
    const QByteArray password = m_endpoint.password.toUtf8();
    char error[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(curl, CURLOPT_FTPPORT, "-"); // active mode, from the control address
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readFile);
    curl_easy_setopt(curl, CURLOPT_READDATA, &file);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(m_silence));
    curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, long(m_silence) * 1000);
    curl_easy_setopt(curl, CURLOPT_FTP_RESPONSE_TIMEOUT, long(m_silence));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(m_silence));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    if (code == CURLE_OK)
        return QString();
    const QString detail
            = error[0] ? QString::fromUtf8(error) : QString::fromUtf8(curl_easy_strerror(code));
    return PhotoText::FtpFailed + detail;
}
