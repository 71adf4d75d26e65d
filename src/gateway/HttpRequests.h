#pragma once

#include "platform/HttpTransport.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class Clock;

// Texts of the request routines, as the user and the support log see them.
namespace HttpTexts {
inline const QString kException = QStringLiteral("Exception : ");
inline const QString kTransferError = QStringLiteral(" - Erreur de transfert sur le serveur ");
inline const QString kExecuteTrace = QStringLiteral("HttpExecute : ");
inline const QString kExecuteExceptionTrace = QStringLiteral("HttpExecute Exception : ");
inline const QString kPostTrace = QStringLiteral("HttpPost : ");
} // namespace HttpTexts

// The address as sent: spaces and "#" as %20 and %23, and every other byte that is not
// printable ASCII as %XX of its Latin-1 code ("?" for characters outside Latin-1).
QByteArray EncodeAddress(const QString &address);

// The address after the program's own replacements only (space and "#"), as traced.
QString SpaceAndHashEscaped(const QString &address);

// The server's time-out marker in an answer ("WAIT_TIMEOUT", "TIMEOUT" or empty), tested
// without case.
QString TimeoutFlag(const QByteArray &body);

// The texts of the "LogItem" elements of the first "LogItems" element, each followed by " - ".
QString LogItemsWarning(const QString &document);

// The answer as stored: every "8859-15" (any case) becomes "8859-1".
QByteArray ResponseFileBytes(QByteArray body);

// True when the file exists and was written less than 12 hours before now.
bool IsFreshResponse(const QString &file, const QDateTime &now);

// GET, multipart POST and the 12-hour cache of the program, over one transport. Each call
// answers the warning text (empty: success) that the window shows in its warning label.
class RequestRoutines
{
public:
    using Trace = std::function<void(const QString &)>;

    RequestRoutines(HttpTransport &transport, Clock &clock, Trace trace);

    // GET of address + "&idClient=" + customerId into file, with up to five attempts while
    // the server answers a time-out. idleSeconds: seconds since the previous request, reset.
    QString execute(const QString &address, const QString &customerId, const QString &file,
                    int &idleSeconds);
    // nullopt when the stored file is fresh and Ctrl is not held: nothing was requested.
    std::optional<QString> executeCached(const QString &address, const QString &customerId,
                                         const QString &file, int &idleSeconds, bool ctrlDown);
    // Multipart POST into file; no retry, no customer id.
    QString post(const QString &address, const QString &file, const QList<FormPart> &form,
                 int &idleSeconds);
    // The same POST answering the reply itself, for a peer that answers no document.
    HttpReply postReply(const QString &address, const QList<FormPart> &form, int &idleSeconds);

    // False when the last request raised an error: no answer came (the server may still have
    // acted on it) and its response file was not written.
    bool answered() const { return m_answered; }

    // The text of the last request's response file, as LoadTextFile reads it, when that
    // request wrote file: the caller need not read back what was just written.
    std::optional<QString> answerText(const QString &file) const;

    static constexpr int kAttempts = 5;
    static constexpr int kRetryWaitMs = 250;
    static constexpr int kIdleDropSeconds = 300;

private:
    void noteRequest(int &idleSeconds);
    // No answer text is kept: the next read of a response file goes to the file.
    void forgetAnswer();
    // How an answer replaces the previous one. Kept answers are read again for hours, so they
    // are replaced whole; the others are read at once and rewritten by the next request.
    enum class Write { InPlace, Whole };
    // Writes the bytes of a response file; answers false when the file cannot be written.
    bool writeResponse(const QString &file, const QByteArray &bytes, Write mode);
    QString finish(const QString &file, const QByteArray &body, const QString &flag, Write mode);
    QString fetch(const QString &address, const QString &customerId, const QString &file,
                  int &idleSeconds, Write mode);

    HttpTransport &m_transport;
    Clock &m_clock;
    Trace m_trace;
    bool m_answered = true;
    QString m_answerFile;
    QString m_answerText;
};
