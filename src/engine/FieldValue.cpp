#include "engine/FieldValue.h"

#include "engine/Kinds.h"
#include "gateway/TXml.h"

QString valueElement(const TsDesc &desc)
{
    return desc.SourceElement.isEmpty() ? desc.FieldName : desc.SourceElement;
}

FieldValue deriveFieldValue(const TsDesc &desc, const XmlItemIndex &record, bool useDefault,
                            const QDate &today)
{
    QString value;
    if (useDefault)
        value = desc.defval;
    else
        record.get(valueElement(desc), value);

    value = loadedText(desc.tInfo, desc.tControl, value, today);
    return {useDefault ? QString() : value, value};
}

QString editText(const TsDesc &desc)
{
    QString text = desc.CurrentValue;
    if (dataKindRule(desc.tInfo).twoDecimals)
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}
