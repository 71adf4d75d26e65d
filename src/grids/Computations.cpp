#include "grids/Computations.h"

#include "engine/TextRules.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace {

// The VAT rate of 19.6 %, in extended precision as the margins have always been computed.
constexpr long double kVatDivisor = 1.196L;
constexpr long double kVatFactor = 0.196L;
constexpr int kDeliveryMargin = 5;
constexpr int kDefaultDelay = 30;
constexpr int kMatchedDelay = 10;
constexpr int kGroupDelay = 30;
constexpr int kFoldedHeight = 25;
constexpr int kUnfoldedHeight = 216;
constexpr int kFoldShift = 191;

} // namespace

long double amountOf(const QString &text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    // The whole text must be the number: "12a" or "1.2.3" count as 0; so do "inf" and "nan".
    for (const char c : bytes) {
        if (!(c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E' || (c >= '0' && c <= '9')))
            return 0;
    }
    const char *begin = bytes.constData();
    const char *const end = begin + bytes.size();
    if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-' && begin[1] != '+')
        ++begin; // a plus sign is allowed, once
    // Read with a point whatever the desktop's locale: strtold would stop at the point of
    // "12.50" on a French desktop, and every amount with cents would count as 0.
    long double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || error != std::errc() || stop != end || !std::isfinite(value))
        return 0;
    return value;
}

QString formatAmount(long double value)
{
    QString text = QString::number(double(value), 'f', 2);
    if (text == QLatin1String("-0.00"))
        text = QStringLiteral("0.00");
    return text;
}

CostTotals costTotals(const std::vector<CostLine> &costs, const QString &deliveryText,
                      const QDateTime &now)
{
    // Moments are compared as the wall clock reads them (day, then time of day): building a
    // local date-time per cost would ask the time zone each time, which costs more than the sum.
    using Moment = std::pair<qint64, int>;
    const auto moment = [](const QDate &d, const QTime &t) {
        return Moment {d.toJulianDay(), t.msecsSinceStartOfDay()};
    };
    const Moment current = moment(now.date(), now.time());
    const QDate delivery = parseDate(deliveryText);
    const Moment from = delivery.isValid() ? moment(delivery, QTime(0, 0)) : current;
    // The first day of the month after delivery, at the delivery's time of day.
    const QDate first = QDate::fromJulianDay(from.first).addMonths(1);
    const Moment cutoff {QDate(first.year(), first.month(), 1).toJulianDay(), from.second};

    CostTotals t;
    for (const CostLine &cost : costs) {
        const QString type = asciiUpper(cost.type);
        const long double amount = amountOf(cost.amount);
        const QDate date = parseDate(cost.date);
        const bool beforeCutoff = (date.isValid() ? moment(date, QTime(0, 0)) : current) < cutoff;
        long double *total = &t.prevision, *fdm = &t.previsionFdm;
        if (type == QLatin1String("FIXE")) {
            total = &t.fixe;
            fdm = &t.fixeFdm;
        } else if (type == QLatin1String("INTERNE")) {
            total = &t.interne;
            fdm = &t.interneFdm;
        } else if (type == QLatin1String("EXTERNE")) {
            total = &t.externe;
            fdm = &t.externeFdm;
        }
        t.all += amount;
        *total += amount;
        if (beforeCutoff) {
            t.allFdm += amount;
            *fdm += amount;
        }
    }
    return t;
}

QString totalText(long double total)
{
    return total == 0 ? QString() : formatAmount(total);
}

QString costsTotalText(const QString &costsTotal)
{
    QString compact = costsTotal;
    compact.remove(QLatin1Char(' '));
    return formatAmount(amountOf(compact));
}

Margins margins(const MarginInput &in)
{
    Margins out;
    out.totalCosts = costsTotalText(in.costsTotal);
    const long double costs = amountOf(out.totalCosts);
    const long double difference = amountOf(in.sellingPrice) - amountOf(in.tradeInPrice);
    const long double vat = in.secondVatMode ? 0 : difference / kVatDivisor * kVatFactor;
    out.vat = formatAmount(vat);
    // The margin takes the VAT as shown, rounded to the cent.
    long double gross = (amountOf(in.tpvo) + difference) - amountOf(out.vat);
    if (in.secondVatMode)
        gross = gross / kVatDivisor;
    out.grossMargin = formatAmount(gross);
    out.netMargin = formatAmount(gross - costs - amountOf(in.guaranteePrice));
    return out;
}

QString orderBalance(const QString &price, const QString &financing, const QString &tradeIn,
                     const QString &deposit)
{
    return formatAmount(amountOf(price) - amountOf(financing) - amountOf(tradeIn)
                        - amountOf(deposit));
}

QDate treasuryDueDate(const OrderDates &d)
{
    const QDate l = d.delivery.isValid() ? d.delivery : d.availability;
    if (!d.purchase.isValid())
        return l.isValid() ? l : d.due;
    if (d.declaredDelivery.isValid())
        return l.isValid() && l < d.declaredDelivery ? l.addDays(kDeliveryMargin)
                                                     : d.declaredDelivery.addDays(kDeliveryMargin);
    if (l.isValid() && d.due.isValid() && l.addDays(kDeliveryMargin) <= d.due)
        return l.addDays(kDeliveryMargin);
    return d.due;
}

QDate settlementDueDate(const OrderDates &d, const QString &financingType,
                        const QStringList &delayItems, const QString &destination)
{
    const QDate l = d.delivery.isValid() ? d.delivery : d.availability;
    if (!l.isValid())
        return QDate();
    int delay = 0;
    if (!financingType.isEmpty()) {
        const QString key = asciiUpper(financingType) + QStringLiteral(" : ");
        for (const QString &item : delayItems) {
            const QString text = asciiUpper(item);
            if (delay == 0)
                delay = readInt(text, kDefaultDelay);
            if (text.startsWith(key)) {
                delay = readInt(text.mid(key.size(), 99), kMatchedDelay);
                break;
            }
        }
    }
    if (asciiUpper(destination) == QLatin1String("GROUPE")) {
        delay = kGroupDelay;
        while (l.addDays(delay).addDays(1).month() == l.addDays(delay).month())
            ++delay;
    }
    return l.addDays(delay);
}

PanelGeometry foldedOrUnfolded(PanelGeometry panel)
{
    if (panel.height != kFoldedHeight)
        return {panel.top + kFoldShift, kFoldedHeight};
    return {panel.top - kFoldShift, kUnfoldedHeight};
}
