#include "editing/ComboLists.h"

#include "editing/ChoiceDocument.h"
#include "editing/ChoiceIndex.h"
#include "engine/RecordKind.h"
#include "engine/TextRules.h"

namespace {

const QString kInfoCom = QStringLiteral("InfoCom");
const QString kPars = QStringLiteral("Pars");
const QString kText = QStringLiteral("text");
const QString kType = QStringLiteral("type");

// A combo box holding free text (kind 111, data kind 2).
bool isTextCombo(const TsDesc &desc)
{
    return desc.tControl == ControlKind::TextCombo && desc.tInfo == DataKind::Text;
}

bool isUsedOrCustomer(const QString &recordKind)
{
    return recordKind == RecordKinds::Used || recordKind == RecordKinds::Customer;
}

// The first salesperson whose `key` element equals value: its `wanted` element, or fallback.
QString salesperson(const ChoiceIndex &choices, QStringView key, const QString &value,
                    QStringView wanted, const QString &fallback)
{
    QString found = fallback;
    forEachItem(choices.document(), kInfoCom, [&](const TXml &x) {
        if (XmlGetText(x, key) != value)
            return true;
        found = XmlGetText(x, wanted);
        return false;
    });
    return found;
}

} // namespace

ComboListChoice chooseComboList(const TsDesc &desc, const QString &recordKind, const QString &value,
                                ListFilters &filters)
{
    ComboListChoice c;
    c.value = value;
    QString listName = asciiUpper(desc.ListName);
    if (desc.tInfo == DataKind::Boolean) {
        c.IndexCoded = true;
        c.startPosition = asciiUpper(value) == QLatin1String("TRUE") ? 2 : 1;
        if (desc.tControl == ControlKind::TextCombo)
            listName = QStringLiteral("BOOLEAN");
    } else if (desc.tControl == ControlKind::PositionCombo) {
        c.IndexCoded = true;
        if (desc.FieldName == QLatin1String("ModeTVA") && readInt(value, 0) == 0)
            c.value = QStringLiteral("1");
        c.startPosition = readInt(c.value, 1);
    }

    if (listName == QLatin1String("INFOMARQUE")) {
        const bool newBrands = recordKind == RecordKinds::Demonstration
                || (recordKind == RecordKinds::NewOrder
                    && desc.FieldName == QLatin1String("InfoMarque"));
        c.item = newBrands ? QStringLiteral("VNMarks") : QStringLiteral("Marks");
        c.textElement = newBrands ? QStringLiteral("vnMark") : QStringLiteral("vMark");
        filters.brand = asciiUpper(c.value);
    } else if (listName == QLatin1String("INFOMODELE")) {
        const bool used = isUsedOrCustomer(recordKind);
        c.item = used ? QStringLiteral("Models") : QStringLiteral("VNModels");
        c.textElement = used ? QStringLiteral("vModel") : QStringLiteral("vnModel");
        c.filterElement = used ? QStringLiteral("vMark") : QStringLiteral("vnMark");
        c.filter = filters.brand;
        filters.model = asciiUpper(c.value);
    } else if (listName == QLatin1String("INFOTYPEVERSION")) {
        c.item = QStringLiteral("VNVersions");
        c.textElement = QStringLiteral("vnVers");
        c.filterElement = QStringLiteral("vnModel");
        c.filter = filters.model;
    } else if (listName == QLatin1String("IDCOM")) {
        c.item = kInfoCom;
        c.isSalespeople = true;
    } else {
        c.item = kPars;
        c.textElement = QStringLiteral("text");
        c.filterElement = QStringLiteral("type");
        c.filter = listName;
    }
    return c;
}

ComboFill FillComboFromList(const ChoiceIndex &choices, const ComboListChoice &choice, int tControl)
{
    ComboFill fill;
    fill.IndexCoded = choice.IndexCoded;
    const QString value = asciiUpper(choice.value);
    const QStringList &group
            = choices.group(choice.item, choice.textElement, choice.filterElement, choice.filter);
    for (int count = 0; count < group.size(); ++count) {
        QString text = DecodeEntities(group[count]);
        if (count == 0) {
            fill.HasEmptyEntry = text.isEmpty() || text == QLatin1String("..");
            if (fill.HasEmptyEntry)
                text.clear();
        }
        const int wanted = fill.HasEmptyEntry ? choice.startPosition : choice.startPosition - 1;
        if (asciiUpper(codeOf(text)) == value || (choice.IndexCoded && count == wanted))
            fill.selected = count;
        fill.entries << text;
    }
    if (fill.selected < 0 && tControl != ControlKind::PositionCombo) {
        fill.entries << choice.value;
        fill.selected = int(fill.entries.size()) - 1;
        fill.extraEntry = true;
    }
    return fill;
}

ComboFill setupComboList(const ChoiceIndex &choices, const TsDesc &desc, const QString &recordKind,
                         const QString &recordSite, ListFilters &filters)
{
    const ComboListChoice choice = chooseComboList(desc, recordKind, desc.CurrentValue, filters);
    if (!choice.isSalespeople)
        return FillComboFromList(choices, choice, desc.tControl);
    ComboFill fill;
    fill.IndexCoded = choice.IndexCoded;
    fill.entries = salespeople(choices, recordSite);
    fill.selected = SetInfoComboBoxIdCom(choices, choice.value, fill.entries);
    return fill;
}

QStringList salespeople(const ChoiceIndex &choices, const QString &recordSite)
{
    QStringList names;
    forEachItem(choices.document(), kInfoCom, [&](const TXml &x) {
        if (occurs(recordSite, asciiUpper(XmlGetText(x, u"Site"))))
            names << XmlGetText(x, u"cNom");
        return true;
    });
    return names;
}

std::optional<QStringList> parsGroup(const ChoiceIndex &choices, const QString &listName,
                                     bool gridColumn)
{
    const QStringList &group = choices.group(kPars, kText, kType, asciiUpper(listName));
    if (group.isEmpty())
        return std::nullopt;
    QStringList entries;
    for (const QString &text : group)
        entries << DecodeEntities(text, gridColumn);
    return entries;
}

std::optional<QStringList> LoadInfoNxComboBox(const ChoiceIndex &choices, const QString &listName,
                                              const QString &recordSite, bool gridColumn)
{
    if (asciiUpper(listName) == QLatin1String("INFOCOM"))
        return salespeople(choices, recordSite);
    return parsGroup(choices, listName, gridColumn);
}

int SetInfoComboBoxIdCom(const ChoiceIndex &choices, const QString &idCom,
                         const QStringList &entries)
{
    const QString name = salesperson(choices, u"idCom", idCom, u"cNom", QString());
    return int(entries.lastIndexOf(name));
}

QString GetInfoComboBoxIdCom(const ChoiceIndex &choices, const QString &listName,
                             const QString &shown)
{
    const QString upper = asciiUpper(listName);
    if (upper == QLatin1String("INFOCOM"))
        return salesperson(choices, u"cNom", shown, u"idCom", QStringLiteral("0"));
    const QString group
            = upper == QLatin1String("SUJETRELANCE") ? QStringLiteral("SUJETACTION") : upper;
    const QStringList &texts = choices.group(kPars, kText, kType, group);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (DecodeEntities(texts[i]) == shown)
            return QString::number(i + 1);
    }
    return QStringLiteral("0");
}

QString storedComboValue(const ChoiceIndex &choices, const TsDesc &desc, int selectedIndex,
                         const QString &shownText)
{
    QString value = shownText;
    if (desc.IndexCoded) {
        if (asciiUpper(desc.FieldInfo) == QLatin1String("IDCOM")) {
            value = salesperson(choices, u"cNom", shownText, u"idCom", QStringLiteral("0"));
        } else {
            const int position = desc.HasEmptyEntry ? selectedIndex : selectedIndex + 1;
            value = QString::number(position);
            if (desc.tInfo == DataKind::Boolean)
                value = position == 1 ? QStringLiteral("False") : QStringLiteral("True");
        }
    }
    return codeOf(value);
}

bool refusedByListOnly(const TsDesc &desc, const QString &text, const QStringList &entries)
{
    return desc.ListOnly && !text.isEmpty() && !entries.contains(text, Qt::CaseInsensitive);
}

bool listMaintenanceAllowed(const TsDesc &desc, bool rightAdmin, bool ctrlHeld)
{
    return rightAdmin && ctrlHeld && isTextCombo(desc) && desc.FieldInfo != desc.ListTable;
}

bool deleteKeyEmpties(const TsDesc &desc)
{
    return isTextCombo(desc);
}

std::optional<QStringList> dependentGroup(const ChoiceIndex &choices, const QString &filter,
                                          const QString &textElement, const QString &filterElement,
                                          const QString &item)
{
    // Trimmed comparison, unlike the set-up groups: walked here, on a user's change only.
    const QString wanted = asciiUpper(filter.trimmed());
    if (wanted.isEmpty())
        return std::nullopt;
    std::optional<QStringList> entries;
    forEachInGroup(
            choices.document(), item,
            [&](const TXml &x) {
                return asciiUpper(XmlGetText(x, filterElement).trimmed()) == wanted;
            },
            [&](const TXml &x) {
                if (!entries)
                    entries.emplace();
                entries->append(DecodeEntities(XmlGetText(x, textElement)));
                return true;
            });
    return entries;
}
