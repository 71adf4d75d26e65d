#include "editing/HeaderLine.h"

#include "editing/Messages.h"
#include "engine/RecordKind.h"
#include "engine/TextRules.h"

#include <cstdlib>

namespace {

using namespace EditingText;

bool isCustomer(const HeaderInput &in)
{
    return in.RecordKind == RecordKinds::Customer;
}

// Control-name prefix of the vehicle tab of the record kind.
QString prefixOf(const QString &RecordKind)
{
    if (RecordKind == RecordKinds::Demonstration)
        return QStringLiteral("cVD");
    if (RecordKind == RecordKinds::NewOrder)
        return QStringLiteral("cVN");
    return QStringLiteral("c");
}

QString field(const HeaderInput &in, const char *name)
{
    return in.text(prefixOf(in.RecordKind) + QLatin1String(name));
}

QString asciiLower(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() - 'A' + 'a');
    }
    return out;
}

QDate dateOr(const QString &text, const QDate &fallback)
{
    const QDate d = parseDate(text);
    return d.isValid() ? d : fallback;
}

int daysBetween(const QDate &a, const QDate &b)
{
    return int(std::llabs(a.daysTo(b)));
}

} // namespace

std::optional<QString> infoNVOText(const HeaderInput &in)
{
    if (isCustomer(in))
        return std::nullopt;
    return field(in, "NVO");
}

std::optional<QString> infoTitreText(const HeaderInput &in)
{
    if (isCustomer(in))
        return QString();
    return asciiUpper(field(in, "InfoMarque")) + TitleSeparator + field(in, "InfoVersion");
}

std::optional<QString> infoField1Text(const HeaderInput &in)
{
    if (isCustomer(in))
        return asciiLower(in.text(QStringLiteral("aCliEmail")));
    return field(in, "InfoCouleur");
}

std::optional<QString> infoField2Text(const HeaderInput &in)
{
    if (isCustomer(in))
        return in.FormatPhone(in.text(QStringLiteral("aCliMobile")));
    if (in.RecordKind == RecordKinds::NewOrder)
        return std::nullopt;
    return field(in, "CV") + HorsePower + field(in, "KMS") + Kilometres;
}

std::optional<QString> infoField3Text(const HeaderInput &in)
{
    if (isCustomer(in))
        return in.FormatPhone(in.text(QStringLiteral("aCliTelDom")));
    if (in.FlagLoading || in.RecordKind == RecordKinds::Demonstration)
        return std::nullopt;
    if (in.RecordKind == RecordKinds::NewOrder) {
        const int n = daysToDelivery(in.text(QStringLiteral("cVNDateOrdre")),
                                     in.text(QStringLiteral("cVNDateFacture")),
                                     in.text(QStringLiteral("cVNMEC")), in.today);
        return n > 0 ? daysText(n) : QString();
    }
    return daysText(daysInStock(in.text(QStringLiteral("cDateEntree")),
                                in.text(QStringLiteral("cDateOrdre")), in.ServerNow, in.today));
}

QString windowCaption(const QString &RecordKind, const QString &infoNVO, const QString &infoTitre)
{
    return CaptionPrefix + kindCaption(RecordKind) + CaptionNumber + infoNVO + TitleSeparator
            + infoTitre;
}

QString applicationTitle(const QString &RecordKind)
{
    return RecordKind == RecordKinds::Customer ? AppTitleClarim : AppTitleDravik;
}

QString iconName(const QString &RecordKind)
{
    return RecordKind == RecordKinds::Customer ? QStringLiteral("ICOCLARIM")
                                               : QStringLiteral("ICODRAVIK");
}

int emailFontSize(const QString &RecordKind, const QString &email)
{
    if (RecordKind != RecordKinds::Customer)
        return 12;
    const qsizetype length = email.size();
    if (length <= 13)
        return 12;
    if (length <= 19)
        return 10;
    if (length <= 25)
        return 9;
    if (length <= 31)
        return 8;
    return 7;
}

int daysInStock(const QString &entryText, const QString &orderText, const QDate &ServerNow,
                const QDate &today)
{
    if (entryText.isEmpty())
        return 0;
    const QDate entry = dateOr(entryText, today);
    // Without a server date the stock period runs to today.
    const QDate end = orderText.isEmpty() ? (ServerNow.isValid() ? ServerNow : today)
                                          : dateOr(orderText, today);
    return daysBetween(entry, end);
}

int daysToDelivery(const QString &orderText, const QString &invoiceText, const QString &mecText,
                   const QDate &today)
{
    const QDate start = dateOr(orderText, today);
    const QDate end = dateOr(invoiceText.isEmpty() ? mecText : invoiceText, start);
    return daysBetween(start, end);
}

QString daysText(int days)
{
    return QString::number(days) + Days;
}
