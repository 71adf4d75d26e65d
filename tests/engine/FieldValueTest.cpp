#include "engine/FieldValue.h"
#include "gateway/TXml.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TXml record(const QString &body)
{
    TXml x(QStringLiteral("<tVOS><tVO>") + body + QStringLiteral("</tVO></tVOS>"));
    XmlOpen(x, u"tVO");
    return x;
}

TsDesc field(int tControl, int tInfo, const QString &name, const QString &defval = {})
{
    TsDesc d;
    d.tControl = tControl;
    d.tInfo = tInfo;
    d.FieldName = name;
    d.defval = defval;
    return d;
}

} // namespace

TEST(FieldValue, ValuesReadFromTheRecord)
{
    // What each data kind does to a value is the registry's (KindsTest); here, the reading.
    const TXml r = record(QStringLiteral("<Prix>12 345.5</Prix><Memo>A&amp;B&cr;C</Memo>"));
    const struct
    {
        TsDesc desc;
        const char *shown;
    } cases[] = {
            {field(109, 5, "Prix"), "12345.50"},
            {field(109, 2, "Memo"), "A&B\r\nC"},
            {field(109, 5, "Absent"), "0.00"},
            {field(109, 2, "Absent"), ""},
    };
    for (const auto &c : cases) {
        const FieldValue v = deriveFieldValue(c.desc, r, false, QDate(2024, 5, 17));
        EXPECT_EQ(v.CurrentValue, QString::fromUtf8(c.shown)) << qPrintable(c.desc.FieldName);
        EXPECT_EQ(v.LoadedValue, v.CurrentValue);
    }
}

TEST(FieldValue, DefaultsOfANewRecordAreNotLoadedValues)
{
    const QDate today(2024, 5, 17);
    const TXml r = record(QStringLiteral("<DateEntree>01/01/2020</DateEntree>"));
    const FieldValue date = deriveFieldValue(field(109, 1, "DateEntree", "now"), r, true, today);
    EXPECT_EQ(date.CurrentValue, "17/05/2024");
    EXPECT_EQ(date.LoadedValue, "");
    const FieldValue price = deriveFieldValue(field(109, 5, "Prix", ""), r, true, today);
    EXPECT_EQ(price.CurrentValue, "0.00");
    EXPECT_EQ(price.LoadedValue, "");
}

TEST(FieldValue, SourceElementAndEditText)
{
    TsDesc d = field(109, 5, "Prix");
    d.SourceElement = "PrixAffiche";
    EXPECT_EQ(valueElement(d), "PrixAffiche");
    const FieldValue v = deriveFieldValue(d, record("<Prix>1</Prix><PrixAffiche>2</PrixAffiche>"),
                                          false, QDate());
    EXPECT_EQ(v.CurrentValue, "2.00");
    d.CurrentValue = "1,5";
    EXPECT_EQ(editText(d), "1.5");
    d.tInfo = 2;
    EXPECT_EQ(editText(d), "1,5");
}
