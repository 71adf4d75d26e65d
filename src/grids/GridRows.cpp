#include "grids/GridRows.h"

#include "editing/ChoiceIndex.h"
#include "editing/ComboLists.h"
#include "editing/PageStatement.h"
#include "engine/RecordDocument.h"
#include "engine/TextRules.h"
#include "gateway/SqlText.h"

namespace {

constexpr int kLastColumn = 10;

QString withoutBlanks(const QString &text)
{
    QString out = text;
    out.remove(QLatin1Char(' '));
    return out;
}

} // namespace

std::vector<GridColumn> readGridColumns(const std::vector<StructEntry> &entries,
                                        QStringView descInfo, int max)
{
    std::vector<GridColumn> columns;
    for (const StructEntry &e : entries) {
        if (int(columns.size()) >= max)
            break;
        if (e.descInfo != descInfo)
            continue;
        GridColumn c;
        c.desc.FieldName = e.vInfo;
        c.desc.TagList = e.tag.isEmpty()
                ? QString()
                : QStringLiteral(";") + asciiUpper(e.tag) + QStringLiteral(";");
        c.desc.tInfo = readInt(e.tInfo);
        c.desc.FontColor = readInt(e.color);
        c.desc.tControl = readInt(e.tControl);
        c.desc.NotNull = asciiUpper(e.notNull) == QLatin1String("TRUE");
        c.desc.defval = e.defval;
        c.caption = DecodeEntities(e.txtInfo);
        c.width = readInt(e.width, 20);
        columns.push_back(c);
    }
    return columns;
}

TsLine columnLine(const std::vector<GridColumn> &columns)
{
    TsLine line;
    for (size_t n = 0; n < columns.size() && n < size_t(kLastColumn); ++n)
        line.Cols[n + 1] = columns[n].desc;
    return line;
}

QString firstTagList(const std::vector<GridColumn> &columns)
{
    for (const GridColumn &c : columns) {
        if (!c.desc.TagList.isEmpty())
            return c.desc.TagList;
    }
    return QString();
}

QString gridLoadValue(int tInfo, const QString &raw)
{
    switch (tInfo) {
    case DataKind::Integer:
        return withoutBlanks(raw);
    case DataKind::Decimal:
        return formatDecimal2(withoutBlanks(raw));
    default:
        return raw;
    }
}

QString gridEditValue(int tInfo, const QString &text)
{
    // An emptied amount stays empty: "0.00" would be a change nobody typed.
    if (tInfo != DataKind::Decimal || withoutBlanks(text).isEmpty())
        return text;
    return formatDecimal2(withoutBlanks(text));
}

QString gridLiteral(int tInfo, const QString &value)
{
    if (value.isEmpty())
        return QStringLiteral("NULL");
    if (tInfo == DataKind::Date)
        return SqlDate(value);
    // Integers and other kinds typed as they stand, unless that would leave the literal.
    return sqlValue(tInfo, value);
}

QString gridTable(const QString &tabTag)
{
    return bracketedTable(tabTag);
}

QString composeRowStatement(const TsLine &row, const RowStatementForm &form, bool insert,
                            bool deletion)
{
    QStringList fields, values, sets;
    QString condition;
    for (int c = 1; c <= kLastColumn; ++c) {
        const TsDesc &cell = row.Cols[c];
        if (cell.FieldName.isEmpty())
            continue;
        if (cell.CurrentValue != cell.LoadedValue) {
            const QString literal = gridLiteral(cell.tInfo, cell.CurrentValue);
            if (insert) {
                fields << cell.FieldName;
                values << literal;
            } else {
                sets << cell.FieldName + QLatin1Char('=') + literal;
            }
        } else if (condition.isEmpty()) {
            condition = cell.LoadedValue.isEmpty()
                    ? QStringLiteral("(isNull(") + cell.FieldName + QStringLiteral("))")
                    : QLatin1Char('(') + cell.FieldName + QLatin1Char('=')
                            + gridLiteral(cell.tInfo, cell.LoadedValue) + QLatin1Char(')');
        }
    }
    if (deletion)
        // Without an unchanged cell there is nothing to name the row by.
        return condition.isEmpty() ? QString()
                                   : QStringLiteral("Delete * from ") + form.table
                        + QStringLiteral(" where ") + condition;
    if (insert && !fields.isEmpty())
        return QStringLiteral("Insert into ") + form.table + QStringLiteral(" (")
                + fields.join(QLatin1Char(',')) + QStringLiteral(", ") + form.ownerField
                + QStringLiteral(", ") + form.keyField + QStringLiteral(" ) Values (")
                + values.join(QLatin1Char(',')) + QStringLiteral(", ") + form.ownerId
                + QStringLiteral(", :NewID)");
    if (!insert && !sets.isEmpty() && !condition.isEmpty())
        return QStringLiteral("Update ") + form.table + QStringLiteral(" set ")
                + sets.join(QLatin1Char(',')) + QStringLiteral(" where ") + condition;
    return QString();
}

int firstEmptyColumn(const TsLine &row, int from, int to)
{
    for (int c = from; c <= to && c <= kLastColumn; ++c) {
        if (row.Cols[c].CurrentValue.isEmpty())
            return c;
    }
    return 0;
}

bool gridDateAccepted(const QString &typed, const QString &loaded, const QDate &lower,
                      const QDate &upper, const QDate &today)
{
    const QDate date = parseDate(typed);
    if (!date.isValid())
        return !loaded.isEmpty() && typed == loaded;
    const QDate saved = parseDate(loaded);
    if (date == (saved.isValid() ? saved : today))
        return true;
    return !(lower.isValid() && date < lower) && !(upper.isValid() && date > upper);
}

bool reminderDateAccepted(const QString &typed, const QString &loaded, const QDate &actionDate)
{
    const QDate date = parseDate(typed);
    if (!date.isValid())
        return !loaded.isEmpty() && typed == loaded;
    if (date == parseDate(loaded))
        return true;
    return !(actionDate.isValid() && actionDate > date);
}

QStringList completionItems(const ChoiceIndex &choices, const QString &listName)
{
    return parsGroup(choices, listName).value_or(QStringList());
}

QString fixedFeeStatement(const QString &idVO, const QString &destination, bool hasFixedCost,
                          double fee, const QDate &today)
{
    if (idVO.isEmpty() || hasFixedCost || fee == 0.0
        || asciiUpper(destination) != QLatin1String("PARTICULIERS"))
        return QString();
    return QStringLiteral("Insert into [tVO - Frevo] (DateFrevo, TypeFrevo, MontantHT, idVO, "
                          "idFrevo ) Values (#")
            + today.toString(QStringLiteral("MM/dd/yyyy")) + QStringLiteral("#,'fixe', ")
            + QString::number(fee, 'f', 2) + QStringLiteral(", ") + idVO
            + QStringLiteral(", :NewID) ");
}

bool hasFixedCost(const TXml &recordDoc)
{
    TXml x = selectElement(recordDoc, u"FrevoS");
    while (XmlNext(x, u"Frevo")) {
        if (asciiUpper(XmlGetText(x, u"TypeFrevo")) == QLatin1String("FIXE"))
            return true;
    }
    return false;
}

double siteFee(const TXml &equipDoc, const QString &site)
{
    const QString wanted = asciiUpper(site);
    TXml x = selectElement(equipDoc, u"InfoSiteS");
    while (XmlNext(x, u"InfoSite")) {
        if (asciiUpper(XmlGetText(x, u"Site")) != wanted)
            continue;
        bool ok = false;
        const double fee = XmlGetText(x, u"MontantFraisDossier").trimmed().toDouble(&ok);
        return ok ? fee : 0.0;
    }
    return 0.0;
}

bool actionSalespersonColumn(int column)
{
    return column == 3 || column == 8;
}

bool actionCodedColumn(int column)
{
    return (column >= 3 && column <= 5) || (column >= 8 && column <= 10);
}

QString actionCodeList(int column)
{
    switch (column) {
    case 3:
    case 8:
        return QStringLiteral("InfoCom");
    case 4:
        return QStringLiteral("TypeAction");
    case 5:
        return QStringLiteral("SujetAction");
    case 9:
        return QStringLiteral("SujetRelance");
    case 10:
        return QStringLiteral("PrioriteRelance");
    default:
        return QString();
    }
}

QString salespersonName(const ChoiceIndex &choices, const QString &idCom)
{
    const QStringList &names = choices.group(QStringLiteral("InfoCom"), QStringLiteral("cNom"),
                                             QStringLiteral("idCom"), asciiUpper(idCom));
    return names.isEmpty() ? QString() : DecodeEntities(names.first());
}

QString actionShownText(const ChoiceIndex &choices, int column, const QString &stored,
                        const QStringList &items)
{
    if (!actionCodedColumn(column))
        return stored;
    const int code = readInt(stored, 1);
    if (code < 1)
        return QString();
    if (actionSalespersonColumn(column))
        return salespersonName(choices, stored);
    return code <= items.size() ? items[code - 1] : QString();
}
