#include "gateway/HttpRequests.h"

#include "app/IniFile.h"
#include "gateway/TXml.h"
#include "platform/Clock.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <filesystem>
#include <string_view>

QString SpaceAndHashEscaped(const QString &address)
{
    QString s(address.size() * 3, Qt::Uninitialized);
    QChar *o = s.data();
    for (const QChar c : address) {
        if (c == u' ' || c == u'#') {
            *o++ = u'%';
            *o++ = u'2';
            *o++ = c == u' ' ? u'0' : u'3';
        } else {
            *o++ = c;
        }
    }
    s.truncate(o - s.constData());
    return s;
}

QByteArray EncodeAddress(const QString &address)
{
    static const char hex[] = "0123456789ABCDEF";
    // Written through a pointer into room for the worst case, then cut to size: addresses
    // carry whole statements, and appending a byte at a time costs more than the request's
    // own preparation.
    QByteArray out(address.size() * 3, Qt::Uninitialized);
    char *o = out.data();
    for (const QChar c : address) {
        const char16_t u = c.unicode();
        if (u > 0x20 && u < 0x7F && u != u'#') {
            *o++ = char(u);
            continue;
        }
        const uchar byte = u <= 0xFF ? uchar(u) : uchar('?');
        *o++ = '%';
        *o++ = hex[byte >> 4];
        *o++ = hex[byte & 0xF];
    }
    out.truncate(o - out.constData());
    return out;
}

// Whether `upperNeedle` (upper case, not empty) occurs in the text, whatever the letters'
// case: a search that skips ahead by the needle's length where it can.
static bool containsNoCase(const QByteArray &text, std::string_view upperNeedle)
{
    const auto upper = [](uchar c) {
        return c >= 'a' && c <= 'z' ? uchar(c - 'a' + 'A') : c;
    };
    const size_t n = upperNeedle.size();
    std::array<size_t, 256> skip;
    skip.fill(n);
    for (size_t i = 0; i + 1 < n; ++i) {
        const uchar c = uchar(upperNeedle[i]);
        skip[c] = n - 1 - i;
        if (c >= 'A' && c <= 'Z')
            skip[c - 'A' + 'a'] = n - 1 - i;
    }
    const auto *data = reinterpret_cast<const uchar *>(text.constData());
    for (size_t at = 0; at + n <= size_t(text.size()); at += skip[data[at + n - 1]]) {
        size_t k = n;
        while (k > 0 && upper(data[at + k - 1]) == uchar(upperNeedle[k - 1]))
            --k;
        if (k == 0)
            return true;
    }
    return false;
}

// Whether "TIMEOUT" occurs in the text, whatever the letters' case. Sixteen places are
// tried at once for a "T" with another "T" six further on; the rare places with both are
// compared whole.
static bool containsTimeout(const QByteArray &text)
{
#if defined(__SSE2__)
    const auto *data = reinterpret_cast<const uchar *>(text.constData());
    const size_t n = size_t(text.size());
    const __m128i lower = _mm_set1_epi8(0x20), t = _mm_set1_epi8('t');
    size_t at = 0;
    for (; at + 6 + 16 <= n; at += 16) {
        const __m128i first = _mm_or_si128(
                _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at)), lower);
        const __m128i last = _mm_or_si128(
                _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at + 6)), lower);
        unsigned mask = unsigned(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(first, t), _mm_cmpeq_epi8(last, t))));
        for (; mask != 0; mask &= mask - 1) {
            const uchar *p = data + at + size_t(__builtin_ctz(mask));
            if ((p[1] | 0x20) == 'i' && (p[2] | 0x20) == 'm' && (p[3] | 0x20) == 'e'
                && (p[4] | 0x20) == 'o' && (p[5] | 0x20) == 'u')
                return true;
        }
    }
    // The last places, fewer than sixteen, one by one.
    const qsizetype tail = qsizetype(at);
    return containsNoCase(QByteArray::fromRawData(text.constData() + tail, text.size() - tail),
                          "TIMEOUT");
#else
    return containsNoCase(text, "TIMEOUT");
#endif
}

QString TimeoutFlag(const QByteArray &body)
{
    // Most answers hold no time-out: they are not copied to find that out.
    if (!containsTimeout(body))
        return QString();
    const QByteArray upper = body.toUpper();
    QString flag;
    if (upper.contains("WAIT_TIMEOUT"))
        flag = QStringLiteral("WAIT_TIMEOUT");
    if (upper.contains("<![CDATA[TIMEOUT]]>"))
        flag = QStringLiteral("TIMEOUT");
    if (upper.contains("<![CDATA[WAIT_TIMEOUT]]>"))
        flag = QStringLiteral("WAIT_TIMEOUT");
    return flag;
}

QString LogItemsWarning(const QString &document)
{
    TXml x(document);
    XmlOpen(x, u"LogItems");
    QString warning;
    while (XmlNext(x, u"LogItem") != 0)
        warning += x.Item() + QStringLiteral(" - ");
    return warning;
}

QByteArray ResponseFileBytes(QByteArray body)
{
    // Digits and "-" only: no letter case to fold. The C library's search skips the many
    // digits of an answer faster than a search for its first character would.
    static constexpr std::string_view needle("8859-15");
    const auto find = [&body](qsizetype from) -> qsizetype {
        const void *at = memmem(body.constData() + from, size_t(body.size() - from), needle.data(),
                                needle.size());
        return at ? static_cast<const char *>(at) - body.constData() : -1;
    };
    qsizetype at = find(0);
    if (at < 0)
        return body;
    QByteArray out;
    out.reserve(body.size());
    qsizetype from = 0;
    for (; at >= 0; at = find(from)) {
        out += QByteArrayView(body).sliced(from, at - from);
        out += "8859-1";
        from = at + qsizetype(needle.size());
    }
    out += QByteArrayView(body).sliced(from);
    return out;
}

bool IsFreshResponse(const QString &file, const QDateTime &now)
{
    const QFileInfo info(file);
    return info.exists() && info.lastModified() > now.addSecs(-12 * 3600);
}

RequestRoutines::RequestRoutines(HttpTransport &transport, Clock &clock, Trace trace)
    : m_transport(transport)
    , m_clock(clock)
    , m_trace(std::move(trace))
{ }

void RequestRoutines::forgetAnswer()
{
    m_answerFile.clear();
    m_answerText.clear();
}

void RequestRoutines::noteRequest(int &idleSeconds)
{
    forgetAnswer();
    // A connection idle for more than five minutes is not reused.
    if (idleSeconds > kIdleDropSeconds)
        m_transport.dropConnection();
    idleSeconds = 0;
}

bool RequestRoutines::writeResponse(const QString &file, const QByteArray &bytes, Write mode)
{
    // Never synced to disk: a response file is a copy of the server's answer, and a sync per
    // request would cost more than the request itself.
    if (mode == Write::InPlace) {
        // Over the same file, cut to size only when the old answer was longer: creating a file
        // per answer costs more than fetching it, and a truncate as much as the write.
        QFile out(file);
        if (!out.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
            return false;
        const bool longer = out.size() > bytes.size();
        return out.write(bytes) == bytes.size() && (!longer || out.resize(bytes.size()));
    }
    // Written beside and renamed over, so that a crash never leaves half an answer to be read
    // for hours.
    const QString part = file + QStringLiteral(".part");
    QFile out(part);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = out.write(bytes) == bytes.size() && out.flush();
    out.close();
    std::error_code error;
    if (written)
        std::filesystem::rename(part.toStdString(), file.toStdString(), error);
    if (!written || error) {
        QFile::remove(part);
        return false;
    }
    return true;
}

QString RequestRoutines::finish(const QString &file, const QByteArray &body, const QString &flag,
                                Write mode)
{
    const QByteArray bytes = ResponseFileBytes(body);
    if (!writeResponse(file, bytes, mode))
        return WriteErrorText(file);
    m_answerFile = file;
    m_answerText = LatinLines(bytes);
    // The list of log items is all the warning reads: only it becomes text again.
    static const QByteArray open("<LogItems"), close("</LogItems>");
    const qsizetype from = bytes.indexOf(open);
    const qsizetype to = from < 0 ? -1 : bytes.indexOf(close, from);
    if (to < 0)
        return flag;
    return flag
            + LogItemsWarning(QString::fromLatin1(
                    QByteArrayView(bytes).sliced(from, to + close.size() - from)));
}

std::optional<QString> RequestRoutines::answerText(const QString &file) const
{
    if (m_answerFile.isEmpty() || file != m_answerFile)
        return std::nullopt;
    return m_answerText;
}

static void traceAuthorization(const RequestRoutines::Trace &trace, const HttpReply &reply)
{
    if (reply.status == 401)
        trace(QStringLiteral("on IdHTTP1Authorization"));
    else if (reply.status == 407)
        trace(QStringLiteral("on IdHTTP1ProxyAuthorization"));
}

QString RequestRoutines::execute(const QString &address, const QString &customerId,
                                 const QString &file, int &idleSeconds)
{
    return fetch(address, customerId, file, idleSeconds, Write::InPlace);
}

QString RequestRoutines::fetch(const QString &address, const QString &customerId,
                               const QString &file, int &idleSeconds, Write mode)
{
    const QString full = address + QStringLiteral("&idClient=") + customerId;
    const QByteArray url = EncodeAddress(full);
    const QString traced
            = HttpTexts::kExecuteTrace + SpaceAndHashEscaped(full) + QStringLiteral(" -> ") + file;
    noteRequest(idleSeconds);

    QByteArray body;
    QString flag;
    int attempt = 1;
    for (;; ++attempt) {
        if (attempt > 1)
            m_clock.sleep(kRetryWaitMs);
        m_trace(traced);
        const HttpReply reply = m_transport.get(url);
        traceAuthorization(m_trace, reply);
        m_answered = reply.ok;
        if (!reply.ok) {
            m_trace(HttpTexts::kExecuteExceptionTrace + reply.error);
            return HttpTexts::kException + reply.error;
        }
        body = reply.body;
        flag = TimeoutFlag(body);
        if (flag.isEmpty() || attempt >= kAttempts)
            break;
    }
    // The fifth answer is reported whole, whatever it holds.
    if (attempt == kAttempts)
        flag = QString::fromLatin1(body);
    return finish(file, body, flag, mode);
}

std::optional<QString> RequestRoutines::executeCached(const QString &address,
                                                      const QString &customerId,
                                                      const QString &file, int &idleSeconds,
                                                      bool ctrlDown)
{
    if (!ctrlDown && IsFreshResponse(file, m_clock.now())) {
        m_answered = true;
        forgetAnswer();
        return std::nullopt;
    }
    return fetch(address, customerId, file, idleSeconds, Write::Whole);
}

HttpReply RequestRoutines::postReply(const QString &address, const QList<FormPart> &form,
                                     int &idleSeconds)
{
    noteRequest(idleSeconds);
    const HttpReply reply = m_transport.post(EncodeAddress(address), form);
    m_answered = reply.ok;
    traceAuthorization(m_trace, reply);
    return reply;
}

QString RequestRoutines::post(const QString &address, const QString &file,
                              const QList<FormPart> &form, int &idleSeconds)
{
    m_trace(HttpTexts::kPostTrace + SpaceAndHashEscaped(address) + QStringLiteral(" -> ") + file);
    const HttpReply reply = postReply(address, form, idleSeconds);
    if (!reply.ok) {
        const QByteArray text = HttpTexts::kTransferError.toLatin1();
        if (!writeResponse(file, text, Write::InPlace))
            return WriteErrorText(file);
        return HttpTexts::kTransferError;
    }
    return finish(file, reply.body, QString(), Write::InPlace);
}
