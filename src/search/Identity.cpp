#include "search/Identity.h"

#include "engine/TextRules.h"

namespace {

QString asciiLower(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() - 'A' + 'a');
    }
    return out;
}

} // namespace

QString identityLine(const QString &civility, const QString &name, const QString &firstName)
{
    QString line = civility;
    if (!line.isEmpty())
        line += QLatin1Char(' ');
    line += asciiUpper(name);
    if (!line.isEmpty())
        line += QLatin1Char(' ');
    line += asciiUpper(QStringView(firstName).left(1)) + asciiLower(QStringView(firstName).mid(1));
    return line;
}

QString identityTitle(const QString &line)
{
    return QStringLiteral("ClarimII - ") + line;
}

QString filterKey(KeyFilter filter, const QString &typed)
{
    QString out;
    for (const QChar c : typed) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool letter = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
        switch (filter) {
        case KeyFilter::Upper:
            out += c;
            break;
        case KeyFilter::Digits:
            if (digit)
                out += c;
            break;
        case KeyFilter::Plate:
            if (digit || letter)
                out += c;
            break;
        }
    }
    return asciiUpper(out);
}
