#include "editing/ComboLists.h"

#include "editing/ChoiceDocument.h"
#include "engine/RecordKind.h"
#include "engine/TextRules.h"

namespace {

const QString kInfoCom = QStringLiteral("InfoCom");
const QString kPars = QStringLiteral("Pars");

// A combo box holding free text (kind 111, data kind 2).
bool isTextCombo(const TsDesc &desc)
{
    return desc.tControl == ControlKind::TextCombo && desc.tInfo == DataKind::Text;
}

bool isUsedOrCustomer(const QString &recordKind)
{
    return recordKind == RecordKinds::Used || recordKind == RecordKinds::Customer;
}

// "Pars" items of the group listName (upper-cased comparison of "type").
auto parsTypeIs(const QString &listName)
{
    return [upper = asciiUpper(listName)](const TXml &x) {
        return asciiUpper(XmlGetText(x, u"type")) == upper;
    };
}

QString salespersonName(const TXml &equipDoc, const QString &idCom)
{
    QString name;
    forEachItem(equipDoc, kInfoCom, [&](const TXml &x) {
        if (XmlGetText(x, u"idCom") != idCom)
            return true;
        name = XmlGetText(x, u"cNom");
        return false;
    });
    return name;
}

QString salespersonId(const TXml &equipDoc, const QString &name)
{
    QString id = QStringLiteral("0");
    forEachItem(equipDoc, kInfoCom, [&](const TXml &x) {
        if (XmlGetText(x, u"cNom") != name)
            return true;
        id = XmlGetText(x, u"idCom");
        return false;
    });
    return id;
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

ComboFill FillComboFromList(const TXml &equipDoc, const ComboListChoice &choice, int tControl)
{
    ComboFill fill;
    fill.IndexCoded = choice.IndexCoded;
    const QString value = asciiUpper(choice.value);
    int count = 0;
    forEachInGroup(
            equipDoc, choice.item,
            [&](const TXml &x) {
                return choice.filterElement.isEmpty()
                        || asciiUpper(XmlGetText(x, choice.filterElement)) == choice.filter;
            },
            [&](const TXml &x) {
                QString text = DecodeEntities(XmlGetText(x, choice.textElement));
                if (count == 0) {
                    fill.HasEmptyEntry = text.isEmpty() || text == QLatin1String("..");
                    if (fill.HasEmptyEntry)
                        text.clear();
                }
                fill.entries << text;
                const int wanted
                        = fill.HasEmptyEntry ? choice.startPosition : choice.startPosition - 1;
                if (asciiUpper(codeOf(text)) == value || (choice.IndexCoded && count == wanted))
                    fill.selected = count;
                ++count;
                return true;
            });
    if (fill.selected < 0 && tControl != ControlKind::PositionCombo) {
        fill.entries << choice.value;
        fill.selected = int(fill.entries.size()) - 1;
        fill.extraEntry = true;
    }
    return fill;
}

ComboFill setupComboList(const TXml &equipDoc, const TsDesc &desc, const QString &recordKind,
                         const QString &recordSite, ListFilters &filters)
{
    const ComboListChoice choice = chooseComboList(desc, recordKind, desc.CurrentValue, filters);
    if (!choice.isSalespeople)
        return FillComboFromList(equipDoc, choice, desc.tControl);
    ComboFill fill;
    fill.IndexCoded = choice.IndexCoded;
    fill.entries = salespeople(equipDoc, recordSite);
    fill.selected = SetInfoComboBoxIdCom(equipDoc, choice.value, fill.entries);
    return fill;
}

QStringList salespeople(const TXml &equipDoc, const QString &recordSite)
{
    QStringList names;
    forEachItem(equipDoc, kInfoCom, [&](const TXml &x) {
        if (occurs(recordSite, asciiUpper(XmlGetText(x, u"Site"))))
            names << XmlGetText(x, u"cNom");
        return true;
    });
    return names;
}

std::optional<QStringList> parsGroup(const TXml &equipDoc, const QString &listName, bool gridColumn)
{
    std::optional<QStringList> entries;
    forEachInGroup(equipDoc, kPars, parsTypeIs(listName), [&](const TXml &x) {
        if (!entries)
            entries.emplace();
        entries->append(DecodeEntities(XmlGetText(x, u"text"), gridColumn));
        return true;
    });
    return entries;
}

std::optional<QStringList> LoadInfoNxComboBox(const TXml &equipDoc, const QString &listName,
                                              const QString &recordSite, bool gridColumn)
{
    if (asciiUpper(listName) == QLatin1String("INFOCOM"))
        return salespeople(equipDoc, recordSite);
    return parsGroup(equipDoc, listName, gridColumn);
}

int SetInfoComboBoxIdCom(const TXml &equipDoc, const QString &idCom, const QStringList &entries)
{
    return int(entries.lastIndexOf(salespersonName(equipDoc, idCom)));
}

QString GetInfoComboBoxIdCom(const TXml &equipDoc, const QString &listName, const QString &shown)
{
    const QString upper = asciiUpper(listName);
    if (upper == QLatin1String("INFOCOM"))
        return salespersonId(equipDoc, shown);
    const QString group
            = upper == QLatin1String("SUJETRELANCE") ? QStringLiteral("SUJETACTION") : upper;
    QString code = QStringLiteral("0");
    int position = 0;
    forEachInGroup(equipDoc, kPars, parsTypeIs(group), [&](const TXml &x) {
        ++position;
        if (DecodeEntities(XmlGetText(x, u"text")) != shown)
            return true;
        code = QString::number(position);
        return false;
    });
    return code;
}

QString storedComboValue(const TXml &equipDoc, const TsDesc &desc, int selectedIndex,
                         const QString &shownText)
{
    QString value = shownText;
    if (desc.IndexCoded) {
        if (asciiUpper(desc.FieldInfo) == QLatin1String("IDCOM")) {
            value = salespersonId(equipDoc, shownText);
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

std::optional<QStringList> dependentGroup(const TXml &equipDoc, const QString &filter,
                                          const QString &textElement, const QString &filterElement,
                                          const QString &item)
{
    const QString wanted = asciiUpper(filter.trimmed());
    if (wanted.isEmpty())
        return std::nullopt;
    std::optional<QStringList> entries;
    forEachInGroup(
            equipDoc, item,
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
