#include "search/SearchSql.h"

#include <QRegularExpression>

#include <utility>

int deriveSearchMode(bool customerKind, const CriterionButtons &b)
{
    if (!customerKind)
        return b.nvo      ? SearchModes::StockNumber
                : b.immat ? SearchModes::VehiclePlate
                          : SearchModes::Buyer;
    if (b.immat)
        return SearchModes::CustomerVehiclePlate;
    if (b.client)
        return SearchModes::CustomerName;
    return b.mobile ? SearchModes::Mobile : SearchModes::HomePhone;
}

QString cleanSearchText(const QString &typed)
{
    QString text = typed;
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('\t'));
    return text;
}

namespace {

QString quoted(QString text)
{
    return text.replace(QLatin1Char('\''), QLatin1String("''"));
}

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The comparison of a column with a typed text: equal to it, or containing it.
QString match(const QString &column, const QString &text, bool exact)
{
    if (exact)
        return QLatin1Char('(') + column + QStringLiteral(" = '") + quoted(text)
                + QStringLiteral("')");
    return QLatin1Char('(') + column + QStringLiteral(" like '%") + quoted(text)
            + QStringLiteral("%')");
}

struct ModeRow
{
    const char *table;
    const char *column;
    bool emptyMatchesAll; // an empty text lists every row, not none
    const char *order;
    int column4Grid; // highlighted and sorted grid column
};

const ModeRow &modeRow(int mode)
{
    static const ModeRow rows[] = {
            {"TVehicles", "Immatriculation", true, ", DateOrdre desc", 4},
            {"TVehicles", "Acheteur", true, ", DateOrdre desc", 6},
            {"TVehicles", "NVO", false, ", DateOrdre desc", 2},
            {"TVehiclesClarim", "Immatriculation", true, ", DateOrdre desc", 4},
            {"TClients", "CliNom", false, ", CliPreNom, idClient desc", 6},
            {"TClients", "CliMobile", false, ", idClient desc", 4},
            {"TClients", "CliTelDom", false, ", idClient desc", 3},
    };
    return rows[qBound(1, mode, 7) - 1];
}

QString columnList(int mode, const QString &column)
{
    if (isVehicleMode(mode))
        return QStringLiteral("TypeVO, idTVO as VO_ID, StatutVD, NVO as VO_NO, Immatriculation AS "
                              "VO_IMMAT, [InfoMarque], [InfoModele], InfoVersion AS VO_VERSION, "
                              "Acheteur AS VO_BUYER, DateOrdre AS VO_ORDRE, ")
                + column + QStringLiteral(" AS VO_Result, Site as VO_SITE, Concession, idOwner");
    if (mode == SearchModes::CustomerVehiclePlate)
        return QStringLiteral(
                "TypeVO, idClient as VO_ID, NVO as VO_NO, Immatriculation AS VO_IMMAT, "
                "[InfoMarque], [InfoModele], InfoVersion AS VO_VERSION, Acheteur AS "
                "VO_BUYER, DateOrdre AS VO_ORDRE, Immatriculation AS VO_Result, Site "
                "as VO_SITE, Concession, idOwner");
    return QStringLiteral("-1 AS TypeVO, idClient AS VO_ID, idClient AS VO_NO, CliMobile, [CliCP], "
                          "[CliVille], [CliAdresse1], [CliAdresse2], [CliNom], [CliPrenom], "
                          "CliTelDom, Site AS VO_SITE, Concession, idOwner");
}

// The launch filter as a condition: its "VO." prefixes and a leading WHERE keyword dropped.
QString launchFilterCondition(const QString &whereClause)
{
    static const QRegularExpression prefix(QStringLiteral("VO\\."),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression keyword(QStringLiteral("^\\s*WHERE\\s"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString c = whereClause;
    c.remove(prefix);
    c.remove(keyword);
    return QLatin1Char(' ') + c;
}

} // namespace

SearchStatement BuildSearchSql(const SearchRequest &r)
{
    const int mode = qBound(1, r.mode, 7);
    const ModeRow &row = modeRow(mode);
    const QString column = QLatin1String(row.column);
    SearchStatement out;
    out.highlightColumn = row.column4Grid;
    out.sortColumn = row.column4Grid;

    QString c;
    if (mode == SearchModes::StockNumber)
        c = allDigits(r.text) ? QStringLiteral("(NVO>=") + r.text + QLatin1Char(')')
                              : QStringLiteral("(false)");
    else if (r.text.isEmpty() && !row.emptyMatchesAll)
        c = QStringLiteral("(false)");
    else
        c = match(column, r.text, r.exact);

    if (mode == SearchModes::CustomerName && !r.text.isEmpty() && r.withFirstName)
        c += QStringLiteral(" and ") + match(QStringLiteral("CliPreNom"), r.firstName, r.exact);
    if (isVehicleMode(mode)) {
        if (!r.site.isEmpty())
            c = QStringLiteral("(SITE='") + quoted(r.site) + QStringLiteral("') and ") + c;
        if (r.typeIndex == 1)
            c = QStringLiteral("(TypeVO=1) and ") + c;
        else if (r.typeIndex == 2)
            c = QStringLiteral("(TypeVO=2) and (isnull(StatutVD)) and ") + c;
        else if (r.typeIndex > 2)
            c = QStringLiteral("(TypeVO=2) and (not isnull(StatutVD)) and ") + c;
    }
    if (r.byWhereClause)
        c = launchFilterCondition(r.whereClause);

    out.condition = QStringLiteral("(Concession='") + quoted(r.concession)
            + QStringLiteral("') and (") + c + QLatin1Char(')');
    out.statement = QStringLiteral("SELECT ") + columnList(mode, column) + QStringLiteral(" FROM ")
            + QLatin1String(row.table) + QStringLiteral(" Where ") + out.condition
            + QStringLiteral(" ORDER BY ") + column + QLatin1String(row.order);
    return out;
}

QString statementForAddress(const QString &statement)
{
    // What a request address would read otherwise, each sign coded in one pass (a percent
    // sign that a code brings is never coded again), through a pointer into room for the
    // worst case.
    static const char hex[] = "0123456789ABCDEF";
    QString s(statement.size() * 3, Qt::Uninitialized);
    QChar *o = s.data();
    for (const QChar c : statement) {
        switch (c.unicode()) {
        case u'%':
        case u'&':
        case u'+':
        case u'#':
        case u'"':
        case u'<':
        case u'>':
            *o++ = u'%';
            *o++ = QLatin1Char(hex[c.unicode() >> 4]);
            *o++ = QLatin1Char(hex[c.unicode() & 0xF]);
            break;
        default:
            *o++ = c;
        }
    }
    s.truncate(o - s.constData());
    return s;
}
