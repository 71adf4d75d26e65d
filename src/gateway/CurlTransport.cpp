#include "gateway/CurlTransport.h"

#include <QCoreApplication>

#include <curl/curl.h>

struct CurlTransport::Handles
{
    CURL *easy = nullptr;
    CURLM *multi = nullptr;
    curl_slist *headers = nullptr;
    curl_slist *sessionHeaders = nullptr; // headers and the session key
};

namespace {

struct Received
{
    QByteArray body;
    QByteArray statusLine;
};

size_t onBody(char *data, size_t size, size_t count, void *user)
{
    static_cast<Received *>(user)->body.append(data, qsizetype(size * count));
    return size * count;
}

size_t onHeader(char *data, size_t size, size_t count, void *user)
{
    const QByteArray line(data, qsizetype(size * count));
    // The last status line wins (a proxy or "100 Continue" may come first).
    if (line.startsWith("HTTP/"))
        static_cast<Received *>(user)->statusLine = line.trimmed();
    return size * count;
}

QString errorText(CURLcode code, const char *detail)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("Serveur introuvable");
    case CURLE_COULDNT_RESOLVE_PROXY:
        return QStringLiteral("Proxy introuvable");
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("Connexion refusée");
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("Délai de lecture dépassé");
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return QStringLiteral("Connexion interrompue par le serveur");
    case CURLE_SEND_ERROR:
        return QStringLiteral("Erreur d'envoi au serveur");
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return QStringLiteral("Adresse invalide");
    default:
        return QString::fromLatin1(detail && *detail ? detail : curl_easy_strerror(code));
    }
}

void ensureGlobalInit()
{
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(done);
}

} // namespace

CurlTransport::CurlTransport(int readTimeoutMs)
    : m_h(new Handles)
    , m_readTimeoutMs(readTimeoutMs)
{
    ensureGlobalInit();
    m_h->easy = curl_easy_init();
    m_h->multi = curl_multi_init();
    m_h->headers = curl_slist_append(nullptr, kAccept);
    // An empty cookie file turns the cookie engine on, in memory, for the life of the handle.
    curl_easy_setopt(m_h->easy, CURLOPT_COOKIEFILE, "");
}

CurlTransport::~CurlTransport()
{
    curl_multi_cleanup(m_h->multi);
    curl_easy_cleanup(m_h->easy);
    curl_slist_free_all(m_h->headers);
    curl_slist_free_all(m_h->sessionHeaders);
    delete m_h;
}

void CurlTransport::setSession(const QByteArray &baseHRef, const QByteArray &key)
{
    curl_slist_free_all(m_h->sessionHeaders);
    m_h->sessionHeaders = nullptr;
    m_sessionBase.clear();
    if (key.isEmpty() || baseHRef.isEmpty() || key.contains('\r') || key.contains('\n'))
        return;
    m_sessionBase = baseHRef.endsWith('/') ? baseHRef : baseHRef + '/';
    m_h->sessionHeaders = curl_slist_append(nullptr, kAccept);
    m_h->sessionHeaders = curl_slist_append(m_h->sessionHeaders,
                                            (QByteArray(kSessionHeader) + ": " + key).constData());
}

void CurlTransport::setProxy(const QString &host, int port)
{
    m_proxy = host.isEmpty() ? QByteArray()
                             : (host + QLatin1Char(':') + QString::number(port)).toUtf8();
}

void CurlTransport::dropConnection()
{
    if (m_busy)
        return;
    // The connection cache lives in the multi handle; the easy handle keeps the cookies.
    curl_multi_cleanup(m_h->multi);
    m_h->multi = curl_multi_init();
    if (onStatus)
        onStatus(QStringLiteral("Disconnected."));
}

QByteArray CurlTransport::resolve(const QByteArray &url) const
{
    if (url.contains("://") || m_lastUrl.isEmpty())
        return url;
    QByteArray base = m_lastUrl.left(m_lastUrl.indexOf('?') < 0 ? m_lastUrl.size()
                                                                : m_lastUrl.indexOf('?'));
    base.truncate(base.lastIndexOf('/') + 1);
    return base + url;
}

HttpReply CurlTransport::get(const QByteArray &url)
{
    return perform(url, nullptr);
}

HttpReply CurlTransport::post(const QByteArray &url, const QList<FormPart> &form)
{
    return perform(url, &form);
}

HttpReply CurlTransport::perform(const QByteArray &url, const QList<FormPart> *form)
{
    HttpReply reply;
    if (m_busy) {
        reply.error = QStringLiteral("Une requête est déjà en cours");
        return reply;
    }
    m_busy = true;
    CURL *easy = m_h->easy;
    const QByteArray target = resolve(url);
    Received received;
    char detail[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(easy, CURLOPT_URL, target.constData());
    // The key goes to the server of BaseHRef only, never to another host.
    const bool session = !m_sessionBase.isEmpty() && target.startsWith(m_sessionBase);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, session ? m_h->sessionHeaders : m_h->headers);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &received);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &received);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // The proxy is the one of the start sequence only, never one from the environment.
    curl_easy_setopt(easy, CURLOPT_PROXY, m_proxy.constData());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    // A server that never accepts the connection is given up after half a minute.
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 30L);
    // Idle connections are dropped by the request routines' own rule.
    curl_easy_setopt(easy, CURLOPT_MAXAGE_CONN, 100000L);
    // The read time-out: an answer silent for that long is abandoned.
    const long seconds = (m_readTimeoutMs + 999) / 1000;
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, m_readTimeoutMs > 0 ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, m_readTimeoutMs > 0 ? seconds : 0L);

    curl_mime *mime = nullptr;
    if (form) {
        mime = curl_mime_init(easy);
        for (const FormPart &part : *form) {
            curl_mimepart *p = curl_mime_addpart(mime);
            curl_mime_name(p, part.name.constData());
            curl_mime_data(p, part.data.constData(), size_t(part.data.size()));
            if (!part.fileName.isEmpty()) {
                curl_mime_filename(p, part.fileName.toUtf8().constData());
                curl_mime_type(p,
                               part.contentType.isEmpty() ? "application/octet-stream"
                                                          : part.contentType.constData());
            } else if (!part.contentType.isEmpty()) {
                curl_mime_type(p, part.contentType.constData());
            }
        }
        curl_easy_setopt(easy, CURLOPT_MIMEPOST, mime);
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }

    CURLcode result = CURLE_OK;
    curl_multi_add_handle(m_h->multi, easy);
    for (int running = 1; running;) {
        curl_multi_perform(m_h->multi, &running);
        if (!running)
            break;
        curl_multi_poll(m_h->multi, nullptr, 0, 10, nullptr);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    int pending = 0;
    while (CURLMsg *msg = curl_multi_info_read(m_h->multi, &pending)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy)
            result = msg->data.result;
    }
    curl_multi_remove_handle(m_h->multi, easy);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    if (mime) {
        curl_easy_setopt(easy, CURLOPT_MIMEPOST, nullptr);
        curl_mime_free(mime);
    }

    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    long connects = 0;
    curl_easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &connects);
    if (connects > 0 && onStatus)
        onStatus(QStringLiteral("Connected."));
    reply.status = int(status);
    if (result != CURLE_OK) {
        reply.error = errorText(result, detail);
    } else if (status < 200 || status >= 300) {
        reply.error = received.statusLine.isEmpty() ? QStringLiteral("HTTP %1").arg(status)
                                                    : QString::fromLatin1(received.statusLine);
    } else {
        reply.ok = true;
        reply.body = std::move(received.body);
        m_lastUrl = target;
    }
    m_busy = false;
    return reply;
}
