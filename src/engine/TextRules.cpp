#include "engine/TextRules.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

QString asciiUpper(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return out;
}

int readInt(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads a run of min to max digits at `at`, moving past it; -1 when the run is shorter or
// longer.
int readDigits(QStringView text, qsizetype &at, int min, int max)
{
    int value = 0, count = 0;
    while (at < text.size() && isDigit(text[at])) {
        if (++count > max)
            return -1;
        value = value * 10 + (text[at++].unicode() - '0');
    }
    return count >= min ? value : -1;
}

} // namespace

QDate parseDate(const QString &text)
{
    // "d/m/yyyy", day and month of one or two digits: read by hand, as every grid cell and
    // every date field goes through here.
    const QStringView t = QStringView(text).trimmed();
    qsizetype at = 0;
    const int day = readDigits(t, at, 1, 2);
    if (day < 0 || at >= t.size() || t[at++] != QLatin1Char('/'))
        return QDate();
    const int month = readDigits(t, at, 1, 2);
    if (month < 0 || at >= t.size() || t[at++] != QLatin1Char('/'))
        return QDate();
    const int year = readDigits(t, at, 4, 4);
    if (year < 0 || at != t.size())
        return QDate();
    const QDate date(year, month, day);
    return date.isValid() ? date : QDate();
}

QString formatDate(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

namespace {

// Adds one to a string of decimal digits.
QString incremented(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

QString withoutNegativeZero(const QString &text)
{
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}

} // namespace

QString formatDecimal2(const QString &text)
{
    // Plain decimals are rounded on their digits, so 2.675 gives 2.68 as a person expects.
    static const QRegularExpression exponent(
            QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)[eE][+-]?\\d+$"));
    const QString t = text.trimmed();
    // [+-]digits[.digits], read by hand: every amount shown goes through here.
    qsizetype at = 0;
    const bool signed_ = !t.isEmpty() && (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-'));
    at += signed_;
    const qsizetype wholeBegin = at;
    while (at < t.size() && isDigit(t[at]))
        ++at;
    const qsizetype wholeEnd = at;
    const bool point = at < t.size() && t[at] == QLatin1Char('.');
    at += point;
    const qsizetype fractionBegin = at;
    while (at < t.size() && isDigit(t[at]))
        ++at;
    const bool plain = at == t.size() && (wholeEnd > wholeBegin || at > fractionBegin);
    const bool negative = signed_ && t[0] == QLatin1Char('-');
    if (plain && at - fractionBegin <= 2) {
        // Nothing to round: the digits as they stand, without leading zeros, padded to cents.
        qsizetype first = wholeBegin;
        while (first < wholeEnd && t[first] == QLatin1Char('0'))
            ++first;
        QString out;
        out.reserve(wholeEnd - first + 5);
        if (negative)
            out += QLatin1Char('-');
        if (first == wholeEnd)
            out += QLatin1Char('0');
        out += QStringView(t).mid(first, wholeEnd - first);
        out += QLatin1Char('.');
        out += QStringView(t).mid(fractionBegin, at - fractionBegin);
        while (out.size() - out.indexOf(QLatin1Char('.')) < 3)
            out += QLatin1Char('0');
        return withoutNegativeZero(out);
    }
    if (plain) {
        QString whole = t.mid(wholeBegin, wholeEnd - wholeBegin);
        QString fraction = t.mid(fractionBegin, at - fractionBegin) + QStringLiteral("000");
        const bool roundUp = fraction[2] >= QLatin1Char('5');
        QString digits = whole + fraction.left(2);
        if (roundUp)
            digits = incremented(digits);
        while (digits.size() > 3 && digits[0] == QLatin1Char('0'))
            digits.remove(0, 1);
        digits = digits.rightJustified(3, QLatin1Char('0'));
        const QString number = digits.left(digits.size() - 2) + QLatin1Char('.') + digits.right(2);
        return withoutNegativeZero(negative ? QLatin1Char('-') + number : number);
    }
    if (exponent.match(t).hasMatch()) {
        bool ok = false;
        const double value = QLocale::c().toDouble(t, &ok);
        if (ok && std::isfinite(value))
            return withoutNegativeZero(QString::number(value, 'f', 2));
    }
    return QStringLiteral("0.00");
}

bool occurs(QStringView needle, QStringView haystack)
{
    return !needle.isEmpty() && haystack.contains(needle);
}

QString codeOf(const QString &text)
{
    const qsizetype at = text.indexOf(QLatin1String(" : "));
    return at < 0 ? text : text.left(at);
}
