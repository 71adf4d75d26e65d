#include "gateway/SqlText.h"

#include <QDate>
#include <QRegularExpression>

QString TrimControls(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString SqlText(const QString &text)
{
    QString s = TrimControls(text);
    // "%" first: the replacements below introduce percent signs of their own.
    s.replace(QLatin1String("%"), QLatin1String("%25"));
    s.replace(QLatin1String("\""), QLatin1String("%22"));
    s.replace(QLatin1String("&"), QLatin1String("%26"));
    s.replace(QLatin1String("<"), QLatin1String("%3C"));
    s.replace(QLatin1String(">"), QLatin1String("%3E"));
    s.replace(QLatin1String("'"), QLatin1String("''"));
    s.replace(QLatin1String("\r\n"), QLatin1String("%0D%0A"));
    // A server decoding the address would read "+" as a space and drop bare line breaks.
    s.replace(QLatin1String("+"), QLatin1String("%2B"));
    s.replace(QLatin1String("\r"), QLatin1String("%0D"));
    s.replace(QLatin1String("\n"), QLatin1String("%0A"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

QString SqlNumber(const QString &text)
{
    QString s = TrimControls(text);
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    return s;
}

QString SqlDate(const QString &text)
{
    static const QRegularExpression shape(
            QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{1,4})(?:\\s.*)?$"),
            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return QStringLiteral("NULL");
    int year = m.captured(3).toInt();
    if (m.capturedLength(3) <= 2)
        year += 2000;
    const QDate date(year, m.captured(2).toInt(), m.captured(1).toInt());
    // Day 0 of the date scale stands for "no date".
    if (!date.isValid() || date == QDate(1899, 12, 30))
        return QStringLiteral("NULL");
    return QLatin1Char('#') + date.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('#');
}

QString FormatPhone(const QString &text)
{
    const qsizetype n = text.size();
    qsizetype length = n % 2 == 1 ? 3 : 2;
    QString out;
    for (qsizetype start = 0; start + 1 < n; start += length, length = 2) {
        const QString group = text.mid(start, length);
        for (const QChar c : group) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return text;
        }
        if (!out.isEmpty())
            out += QLatin1Char('.');
        out += group;
    }
    return out;
}
