#include "engine/RecordKind.h"

#include "gateway/TXml.h"

RecordKindDecision decideRecordKind(const TXml &recordDoc, const QString &customerId, int idTypeVO)
{
    RecordKindDecision d;
    if (!customerId.isEmpty()) {
        d.RecordKind = RecordKinds::Customer;
        d.RecordElement = QStringLiteral("TVC");
        return d;
    }
    d.RecordElement = QStringLiteral("tVO");
    TXml record = recordDoc;
    XmlOpen(record, d.RecordElement);
    XmlGet(record, u"TypeVO", d.TypeVO);
    if (d.TypeVO.isEmpty())
        d.TypeVO = idTypeVO == 1 ? QStringLiteral("1") : QStringLiteral("2");
    if (d.TypeVO == QLatin1String("1"))
        d.RecordKind = RecordKinds::Used;
    else if (!XmlGetText(record, u"StatutVD").isEmpty() && idTypeVO == 3)
        d.RecordKind = RecordKinds::Demonstration;
    else
        d.RecordKind = RecordKinds::NewOrder;
    return d;
}

QString kindCaption(const QString &recordKind)
{
    return recordKind.mid(2, 2);
}

HeaderColors headerColorsFor(const QString &recordKind)
{
    constexpr TColor blue = tColorFromRgb(64, 64, 240);
    constexpr TColor raspberry = tColorFromRgb(204, 89, 118);
    if (recordKind == RecordKinds::Demonstration)
        return {raspberry, clBlack};
    if (recordKind == RecordKinds::Customer)
        return {blue, -1};
    return {blue, clBlack};
}
