#include "search/DuplicateSql.h"

#include "engine/TextRules.h"

namespace {

QString compared(const QString &value)
{
    QString v = asciiUpper(value);
    return v.replace(QLatin1Char('\''), QLatin1String("''"));
}

} // namespace

QString duplicateCountSql(const QString &mode, const DuplicateFields &f)
{
    QString column, value;
    if (mode == DuplicateModes::Name || mode == DuplicateModes::Identity) {
        column = QStringLiteral("CliNom");
        value = f.name;
    } else if (mode == DuplicateModes::HomePhone) {
        column = QStringLiteral("CliTelDom");
        value = f.homePhone;
    } else if (mode == DuplicateModes::Mobile) {
        column = QStringLiteral("CliMobile");
        value = f.mobile;
    } else {
        return QString();
    }
    const QString v = compared(value);
    if (v.isEmpty())
        return QString();
    const bool identity = mode == DuplicateModes::Identity;
    QString sql = QStringLiteral("select count(idClient) as cpt from tClients where (Concession='")
            + QString(f.concession).replace(QLatin1Char('\''), QLatin1String("''"))
            + QStringLiteral("') group by ") + column
            + (identity ? QStringLiteral(", CliPrenom") : QString()) + QStringLiteral(" having (")
            + column + QStringLiteral("='") + v + QStringLiteral("')");
    if (identity)
        sql += QStringLiteral(" and (CliPreNom='") + compared(f.firstName) + QStringLiteral("')");
    return sql;
}

QString duplicateCounterName(const QString &mode)
{
    if (mode == DuplicateModes::Name)
        return QStringLiteral("DblNom");
    if (mode == DuplicateModes::Identity)
        return QStringLiteral("DblIdent");
    if (mode == DuplicateModes::HomePhone)
        return QStringLiteral("DblTelDom");
    if (mode == DuplicateModes::Mobile)
        return QStringLiteral("DblMobile");
    return QString();
}
