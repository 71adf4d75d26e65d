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

QDate parseDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return QDate();
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
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
    static const QRegularExpression plain(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
    static const QRegularExpression exponent(
            QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)[eE][+-]?\\d+$"));
    const QString t = text.trimmed();
    const auto m = plain.match(t);
    if (m.hasMatch() && (!m.captured(2).isEmpty() || !m.captured(3).isEmpty())) {
        QString whole = m.captured(2);
        QString fraction = m.captured(3) + QStringLiteral("000");
        const bool roundUp = fraction[2] >= QLatin1Char('5');
        QString digits = whole + fraction.left(2);
        if (roundUp)
            digits = incremented(digits);
        while (digits.size() > 3 && digits[0] == QLatin1Char('0'))
            digits.remove(0, 1);
        digits = digits.rightJustified(3, QLatin1Char('0'));
        const QString number = digits.left(digits.size() - 2) + QLatin1Char('.') + digits.right(2);
        return withoutNegativeZero(m.captured(1) == QLatin1String("-") ? QLatin1Char('-') + number
                                                                       : number);
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
