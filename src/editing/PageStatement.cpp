#include "editing/PageStatement.h"

#include "engine/RecordKind.h"
#include "engine/TextRules.h"
#include "gateway/SqlText.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

const QString kDateMask = QStringLiteral("__/__/____");
const QString kNull = QStringLiteral("NULL");

bool isNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    return number.match(text).hasMatch();
}

// A field the statement compares and finds changed.
bool changedField(const TsDesc &d)
{
    return hasInputControl(d) && !excludedFromStatement(d) && d.LoadedValue != d.CurrentValue;
}

// The fixed columns and values that close an insert, by tab and record kind.
void appendInsertTail(const StatementContext &ctx, QString &columns, QString &values)
{
    const bool vehicle = ctx.RecordKind != RecordKinds::Customer;
    if (vehicle)
        columns += QStringLiteral(", idTVO, TypeVO, idVO");
    if (ctx.tab == TabNumbers::Customer)
        columns += QStringLiteral(", idClient, DateCreation");
    if (ctx.tab == TabNumbers::CustomerVehicles)
        columns += QStringLiteral(", idClient, idTVO, NVO");
    if (vehicle)
        values += QStringLiteral(", :NewID, ") + insertTypeVO(ctx.TypeVO, ctx.idTypeVO)
                + QStringLiteral(", :NewIDbis");
    if (ctx.tab == TabNumbers::Customer)
        values += QStringLiteral(", :NewID, ") + SqlDate(formatDate(ctx.today));
    if (ctx.tab == TabNumbers::CustomerVehicles)
        values += QLatin1Char(',') + ctx.customerId + QStringLiteral(", :NewID, :NewIDbis");
}

} // namespace

bool insertMode(bool FlagNewEnreg, bool FlagNewVehicle, int tab)
{
    return FlagNewEnreg || (FlagNewVehicle && tab == TabNumbers::CustomerVehicles);
}

QString statementTable(const QString &RecordTable, int tab)
{
    return tab == TabNumbers::CustomerVehicles ? QStringLiteral("TVehiclesClarim") : RecordTable;
}

QString bracketedTable(const QString &table)
{
    return table.contains(QLatin1Char(' ')) ? QLatin1Char('[') + table + QLatin1Char(']') : table;
}

bool hasInputControl(const TsDesc &desc)
{
    return desc.Control != nullptr;
}

bool excludedFromStatement(const TsDesc &desc)
{
    const QString name = asciiUpper(desc.FieldName);
    return name.contains(QLatin1String("FDM"))
            || (name.startsWith(QLatin1String("FREVO")) && desc.LoadedValue == QLatin1String("0.00")
                && desc.CurrentValue.isEmpty())
            || asciiUpper(desc.TagList).contains(QLatin1String("READONLY"))
            || !desc.SourceElement.isEmpty();
}

QString editValue(int tInfo, const QString &text)
{
    if (tInfo == DataKind::Date && text == kDateMask)
        return QString();
    // A decimal is the amount it reads as: "300" typed over "300.00" changes nothing.
    if (tInfo == DataKind::Decimal && isNumber(text))
        return formatDecimal2(text);
    return text;
}

bool writableValue(int tInfo, const QString &value)
{
    if (value.isEmpty())
        return true;
    switch (tInfo) {
    case DataKind::Text:
        return true;
    case DataKind::Date:
        return SqlDate(value) != kNull;
    case DataKind::Decimal:
        return isNumber(SqlNumber(value));
    default:
        return isNumber(value) || value == QLatin1String("True") || value == QLatin1String("False");
    }
}

QString sqlValue(int tInfo, const QString &value)
{
    if (value.isEmpty())
        return kNull;
    switch (tInfo) {
    case DataKind::Date:
        return SqlDate(value);
    case DataKind::Text:
        return SqlText(value);
    case DataKind::Decimal:
        return writableValue(tInfo, value) ? SqlNumber(value) : SqlText(value);
    default:
        return writableValue(tInfo, value) ? value : SqlText(value);
    }
}

QString insertTypeVO(const QString &TypeVO, int idTypeVO)
{
    if (!TypeVO.isEmpty())
        return TypeVO;
    return idTypeVO == 0 ? QStringLiteral("1") : QString::number(idTypeVO);
}

PageStatement composePageStatement(const std::vector<TsDesc> &descs, const StatementContext &ctx)
{
    QStringList conditions, columns, values, assignments;
    bool keysDone = false;
    for (const TsDesc &d : descs) {
        if (!hasInputControl(d)) {
            if (keysDone)
                continue;
            conditions << (d.LoadedValue.isEmpty()
                                   ? QStringLiteral("isNull(") + d.FieldName + QLatin1Char(')')
                                   : d.FieldName + QLatin1Char('=')
                                           + sqlValue(d.tInfo, d.LoadedValue));
            continue;
        }
        keysDone = true;
        if (!changedField(d))
            continue;
        const QString value = sqlValue(d.tInfo, d.CurrentValue);
        columns << d.FieldName;
        values << value;
        assignments << d.FieldName + QLatin1Char('=') + value;
    }

    PageStatement result;
    result.changed = !columns.isEmpty();
    if (!result.changed)
        return result;
    const QString table = bracketedTable(ctx.table);
    if (!ctx.insert) {
        for (QString &c : conditions)
            c = QLatin1Char('(') + c + QLatin1Char(')');
        result.PendingSql = QStringLiteral("Update ") + table + QStringLiteral(" set ")
                + assignments.join(QLatin1Char(',')) + QStringLiteral(" where ")
                + conditions.join(QStringLiteral(" and "));
        return result;
    }
    QString columnList = columns.join(QLatin1Char(','));
    QString valueList = values.join(QLatin1Char(','));
    appendInsertTail(ctx, columnList, valueList);
    result.PendingSql = QStringLiteral("Insert into ") + table + QStringLiteral(" (") + columnList
            + QStringLiteral(", idOwner, Concession) Values (") + valueList + QLatin1Char(',')
            + ctx.idUser + QStringLiteral(", '") + ctx.UserConcession + QStringLiteral("')");
    return result;
}

QString fieldLabel(const TsDesc &desc, const QString &designCaption)
{
    QString label = desc.txtInfo;
    label.remove(QLatin1Char(':'));
    if (!label.isEmpty())
        return label;
    label = designCaption;
    label.remove(QLatin1Char(':'));
    label = label.trimmed();
    return label.isEmpty() ? desc.FieldName : label;
}

int firstUnwritableField(const std::vector<TsDesc> &descs)
{
    for (size_t i = 0; i < descs.size(); ++i) {
        const TsDesc &d = descs[i];
        if (changedField(d) && !writableValue(d.tInfo, d.CurrentValue))
            return int(i);
    }
    return -1;
}
