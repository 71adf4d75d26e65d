#include "engine/FieldValue.h"

#include "engine/TextRules.h"
#include "gateway/TXml.h"

QString valueElement(const TsDesc &desc)
{
    return desc.SourceElement.isEmpty() ? desc.FieldName : desc.SourceElement;
}

FieldValue deriveFieldValue(const TsDesc &desc, const TXml &record, bool useDefault,
                            const QDate &today)
{
    QString value;
    if (useDefault)
        value = desc.defval;
    else
        XmlGet(record, valueElement(desc), value);

    if (desc.tControl == ControlKind::Edit && desc.tInfo == DataKind::Text)
        value = DecodeEntities(value, true);
    if (desc.tInfo == DataKind::Date && value == QLatin1String("now"))
        value = formatDate(today);
    if (desc.tInfo == DataKind::Integer || desc.tInfo == DataKind::Decimal) {
        value.remove(QLatin1Char(' '));
        value.remove(QChar(0xA0)); // a no-break space also separates thousands
    }
    if (desc.tInfo == DataKind::Decimal)
        value = formatDecimal2(value);

    return {useDefault ? QString() : value, value};
}

QString editText(const TsDesc &desc)
{
    QString text = desc.CurrentValue;
    if (desc.tInfo == DataKind::Decimal)
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}
