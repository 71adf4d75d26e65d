#include "reports/SmsMessage.h"

#include "gateway/HttpRequests.h"
#include "reports/ReportTexts.h"

namespace {

const QString kGatewayPath = QStringLiteral("/tools/smssend/smssend.php5");
// A gateway that answers a page or binary instead of its words still fits the band.
constexpr qsizetype kShownAnswer = 300;

} // namespace

QString SmsMessage(const QString &site, const QString &identity)
{
    return QStringLiteral("de Zolvare ") + site + QStringLiteral(",\r\n\r\n")
            + QStringLiteral("pour un test d'envoi à ") + identity;
}

QByteArray SmsText(const QString &message)
{
    QByteArray out;
    out.reserve(message.size() * 2);
    for (const QChar c : message) {
        const unsigned code = c.unicode() <= 0xff ? c.unicode() : unsigned('?');
        if (code < 0x80) {
            out += char(code);
        } else {
            out += char(0xc0 | (code >> 6));
            out += char(0x80 | (code & 0x3f));
        }
    }
    return out;
}

SmsPlan PlanSms(const QString &gateway, const QString &number, const QString &site,
                const QString &identity)
{
    SmsPlan plan;
    QString host = gateway.trimmed();
    const QString to = number.trimmed();
    if (host.isEmpty() || to.isEmpty()) {
        plan.refusal = ReportTexts::kSmsNotConfigured;
        return plan;
    }
    const QByteArray text = SmsText(SmsMessage(site, identity));
    if (text.size() >= kSmsMaxBytes) {
        // Sending it would go out as an empty text and still be reported as sent.
        plan.refusal = ReportTexts::smsTooLong(text.size());
        return plan;
    }
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    if (!host.contains(QStringLiteral("://")))
        host.prepend(QStringLiteral("http://"));
    plan.address = host + kGatewayPath;
    plan.form = {{"destinataire", to.toLatin1(), {}, {}}, {"texte", text, {}, {}}};
    return plan;
}

QString SmsOutcome(const HttpReply &reply)
{
    if (!reply.ok)
        return HttpTexts::kTransferError;
    const QString answer = QString::fromLatin1(reply.body);
    if (answer.contains(ReportTexts::kSmsSuccess))
        return {};
    QString shown;
    for (const QChar c : answer.left(kShownAnswer))
        shown += c.isPrint() ? c : QLatin1Char(' ');
    shown = shown.trimmed();
    if (answer.size() > kShownAnswer)
        shown += QStringLiteral("…");
    // A blank answer confirms nothing: the band must still show.
    return shown.isEmpty() ? ReportTexts::kSmsEmptyAnswer : shown;
}
