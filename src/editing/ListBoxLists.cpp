#include "editing/ListBoxLists.h"

#include "editing/ChoiceDocument.h"
#include "editing/ChoiceIndex.h"
#include "engine/TextRules.h"

#include <algorithm>

namespace {

// Adds one entry with its code; selected when ";" + code + ";" is in the value.
void addEntry(ListBoxFill &fill, const QString &text, const QString &code,
              const QString &upperValue)
{
    if (upperValue.contains(QLatin1Char(';') + asciiUpper(code) + QLatin1Char(';')))
        fill.selectedRows << int(fill.entries.size());
    fill.entries << text;
    fill.CodeList += QLatin1Char(';') + code;
}

} // namespace

ListBoxFill FillListBoxCodes(const ChoiceIndex &choices, const QString &listName,
                             const QString &value)
{
    ListBoxFill fill;
    const QString upperValue = asciiUpper(value);
    forEachItem(choices.document(), listName, [&](const TXml &x) {
        addEntry(fill, DecodeEntities(XmlGetText(x, u"eText")), XmlGetText(x, u"Abbr"), upperValue);
        return true;
    });
    return fill;
}

QString SiteBrands(const ChoiceIndex &choices, const QString &siteShown)
{
    QString brands = QStringLiteral("VW");
    forEachItem(choices.document(), QStringLiteral("InfoSite"), [&](const TXml &x) {
        if (asciiUpper(XmlGetText(x, u"Site")) != siteShown)
            return true;
        brands = XmlGetText(x, u"Marques");
        return false;
    });
    return brands;
}

ListBoxFill FillListBoxModels(const ChoiceIndex &choices, const QString &siteShown, bool siteBrands,
                              const QString &value)
{
    ListBoxFill fill;
    const QString brands = SiteBrands(choices, siteShown);
    const QString upperValue = asciiUpper(value);
    forEachItem(choices.document(), QStringLiteral("VNModels"), [&](const TXml &x) {
        if (occurs(asciiUpper(XmlGetText(x, u"vnMark")), brands) == siteBrands) {
            const QString model = XmlGetText(x, u"vnModel");
            addEntry(fill, DecodeEntities(model), asciiUpper(model), upperValue);
        }
        return true;
    });
    return fill;
}

ListBoxFill setupListBoxList(const ChoiceIndex &choices, const TsDesc &desc,
                             const QString &siteShown)
{
    const QString name = asciiUpper(desc.ListName);
    if (name == QLatin1String("PACHOIX1") || name == QLatin1String("PACHOIX2"))
        return FillListBoxModels(choices, siteShown, name.endsWith(QLatin1Char('1')),
                                 desc.CurrentValue);
    return FillListBoxCodes(choices, desc.ListName, desc.CurrentValue);
}

QString listBoxValue(const QString &codeList, const QList<int> &selectedRows)
{
    if (selectedRows.isEmpty())
        return QString();
    // Field 1 is the empty text before the leading ";", so entry i has field i + 2.
    const QStringList fields = codeList.split(QLatin1Char(';'));
    QList<int> rows = selectedRows;
    std::sort(rows.begin(), rows.end());
    QStringList codes;
    for (int row : rows)
        codes << fields.value(row + 1);
    return QLatin1Char(';') + codes.join(QLatin1Char(';')) + QLatin1Char(';');
}

QString optionsSummary(const QStringList &entries, const QList<int> &selectedRows)
{
    QList<int> rows = selectedRows;
    std::sort(rows.begin(), rows.end());
    QStringList texts;
    for (int row : rows)
        texts << entries.value(row);
    return texts.join(QStringLiteral(" - "));
}
