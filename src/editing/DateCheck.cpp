#include "editing/DateCheck.h"

#include "editing/Messages.h"
#include "engine/TextRules.h"

#include <QHash>

DateDecision TestDateChange(const DateField &field, const DateLimits &limits)
{
    const QDate d = parseDate(field.text);
    // A null date reads as 0, below every lower limit and above none.
    const bool belowLower = limits.lower.isValid() && (!d.isValid() || d < limits.lower);
    const bool aboveUpper = limits.upper.isValid() && d.isValid() && d > limits.upper;
    DateDecision decision;
    decision.refused = belowLower || aboveUpper;
    if (field.described && field.text == field.LoadedValue)
        decision.refused = false;
    if (decision.refused && d.isValid() && field.described) {
        decision.message = EditingText::dateOutOfLimits(field.label, formatDate(limits.lower),
                                                        formatDate(limits.upper));
        decision.restoreLoaded = true;
    }
    return decision;
}

std::optional<DateLimitRule> dateLimitRule(const QString &controlName)
{
    using L = LimitSource;
    static const QHash<QString, DateLimitRule> rules = [] {
        QHash<QString, DateLimitRule> r;
        const auto add = [&r](std::initializer_list<const char *> names, DateLimitRule rule) {
            for (const char *n : names)
                r.insert(QString::fromLatin1(n), rule);
        };
        add({"cMEC", "cVDMEC", "cVNMEC", "vMEC", "vDateOrdre", "vDateLastSAV"},
            {L::None, L::ServerNow});
        add({"cDateEntree", "cDateOrdre", "cVNDateOrdre", "cDateValidationGarantie",
             "cDateLivraison", "cVNDateLivraison", "cDatePresFinancement", "cDatePaiement",
             "cVNDatePresFinancement", "cVNDatePaiement", "cVNDateAnnulation"},
            {L::OptLimiteDateDeb, L::OptNow});
        add({"cDateDisponibilite", "cVNDateDisponibilite", "cVNDateLivrMaxi", "vDateNextSAV"},
            {L::ServerNow, L::None});
        add({"vDateFinGarantie", "vDateFinFinancement"}, {L::VehicleStart, L::None});
        add({"aCliDateNaissance"}, {L::None, L::AdultBirth});
        return r;
    }();
    const auto it = rules.constFind(controlName);
    if (it == rules.constEnd())
        return std::nullopt;
    return *it;
}

namespace {

QDate limitDate(LimitSource source, const LimitDates &dates)
{
    switch (source) {
    case LimitSource::None:
        return QDate();
    case LimitSource::ServerNow:
        return dates.options.ServerNow;
    case LimitSource::OptLimiteDateDeb:
        return dates.options.OptLimiteDateDeb;
    case LimitSource::OptNow:
        return dates.options.OptNow;
    case LimitSource::VehicleStart:
        return parseDate(dates.vehicleOrderText.isEmpty() ? dates.vehicleMecText
                                                          : dates.vehicleOrderText);
    case LimitSource::AdultBirth:
        return dates.today.addYears(-18);
    }
    return QDate();
}

} // namespace

DateLimits resolveLimits(const DateLimitRule &rule, const LimitDates &dates)
{
    return {limitDate(rule.lower, dates), limitDate(rule.upper, dates)};
}

QString weekLabel(const QString &text)
{
    if (text.isEmpty())
        return QString();
    QDate d = parseDate(text);
    if (!d.isValid())
        d = QDate(1900, 1, 1);
    const QDate first(d.year(), 1, 1);
    const int w = first.dayOfWeek() % 7 + 1; // 1 Sunday .. 7 Saturday
    const qint64 week = (first.daysTo(d) + w - 1) / 7;
    return QString::number(d.year()) + QLatin1Char('s')
            + QStringLiteral("%1").arg(week, 2, 10, QLatin1Char('0'));
}

std::optional<QString> purchaseDateFromInvoice(const QString &invoiceText,
                                               const QString &purchaseText)
{
    if (invoiceText == purchaseText || !parseDate(invoiceText).isValid())
        return std::nullopt;
    return invoiceText;
}

std::optional<QString> orderUpdateStamp(const QString &LoadedValue, const QString &CurrentValue,
                                        const QDate &ServerNow)
{
    // Without a server date there is nothing to stamp; an empty stamp would erase the old one.
    if (LoadedValue == CurrentValue || !ServerNow.isValid())
        return std::nullopt;
    return formatDate(ServerNow);
}
