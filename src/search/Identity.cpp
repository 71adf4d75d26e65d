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
