#include "EquipFixture.h"

#include "editing/ComboLists.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TsDesc combo(int tControl, int tInfo, const QString &field, const QString &value,
             const QString &listName = {})
{
    TsDesc d;
    d.tControl = tControl;
    d.tInfo = tInfo;
    d.FieldName = field;
    d.ListName = listName.isEmpty() ? field : listName;
    d.FieldInfo = d.ListName;
    d.CurrentValue = value;
    return d;
}

ComboFill setup(const TsDesc &d, const QString &kind = "_TVO", const QString &site = "SUD")
{
    ListFilters filters;
    return setupComboList(choices(), d, kind, site, filters);
}

} // namespace

TEST(ComboLists, ParsGroupWithEmptyFirstEntry)
{
    const ComboFill byCode = setup(combo(111, 2, "Carrosserie", "brk"));
    EXPECT_EQ(byCode.entries, (QStringList {"", "BER : Berline", "BRK : Break"}));
    EXPECT_TRUE(byCode.HasEmptyEntry);
    EXPECT_EQ(byCode.selected, 2);
    EXPECT_FALSE(byCode.extraEntry);

    const ComboFill empty = setup(combo(111, 2, "Carrosserie", ""));
    EXPECT_EQ(empty.selected, 0);

    // A position combo counts from 0 when the list starts with the empty entry.
    const ComboFill position0 = setup(combo(112, 4, "Carrosserie", "0"));
    EXPECT_EQ(position0.selected, 0);
    const ComboFill position2 = setup(combo(112, 4, "Carrosserie", "2"));
    EXPECT_EQ(position2.selected, 2);
}

TEST(ComboLists, UnlistedValueIsAppendedExceptForPositions)
{
    const ComboFill text = setup(combo(111, 2, "Carrosserie", "SUV"));
    EXPECT_EQ(text.entries.size(), 4);
    EXPECT_EQ(text.entries.last(), "SUV");
    EXPECT_EQ(text.selected, 3);
    EXPECT_TRUE(text.extraEntry);

    const ComboFill position = setup(combo(112, 4, "Energie", "9"));
    EXPECT_EQ(position.entries.size(), 2);
    EXPECT_EQ(position.selected, -1);

    // An absent list still shows the value.
    const ComboFill absent = setup(combo(111, 2, "Inconnue", "X"));
    EXPECT_EQ(absent.entries, QStringList {"X"});
    EXPECT_EQ(absent.selected, 0);
}

TEST(ComboLists, BooleanAndModeTVA)
{
    const struct
    {
        int tControl;
        const char *field, *value;
        int selected;
    } cases[] = {
            {111, "FlagEligible", "True", 1}, {111, "FlagEligible", "false", 0},
            {111, "FlagEligible", "", 0},     {112, "ModeTVA", "0", 0},
            {112, "ModeTVA", "abc", 0},       {112, "ModeTVA", "2", 1},
            {112, "Other", "abc", 0},         {112, "Other", "7", -1},
    };
    for (const auto &c : cases) {
        TsDesc d = c.tControl == 111 ? combo(111, 3, c.field, c.value)
                                     : combo(112, 4, c.field, c.value, "ModeTVA");
        const ComboFill f = setup(d);
        EXPECT_TRUE(f.IndexCoded);
        EXPECT_EQ(f.selected, c.selected) << c.field << " " << c.value;
    }
    EXPECT_EQ(setup(combo(111, 3, "FlagEligible", "True")).entries, (QStringList {"Non", "Oui"}));
}

TEST(ComboLists, BrandModelVersionChain)
{
    ListFilters filters;
    const ChoiceIndex &equip = choices();
    TsDesc brand = combo(111, 2, "InfoMarque", "peugeot");
    const ComboFill brands = setupComboList(equip, brand, "_TVO", "", filters);
    EXPECT_EQ(brands.entries, (QStringList {"PEUGEOT", "RENAULT"}));
    EXPECT_EQ(brands.selected, 0);
    const ComboFill models
            = setupComboList(equip, combo(111, 2, "InfoModele", "308"), "_TVO", "", filters);
    EXPECT_EQ(models.entries,
              (QStringList {"208", "308"})); // the group ends at the first other brand
    EXPECT_EQ(models.selected, 1);

    ListFilters vn;
    setupComboList(equip, combo(111, 2, "InfoMarque", "VW"), "_TVN", "", vn);
    const ComboFill vnModels
            = setupComboList(equip, combo(111, 2, "InfoModele", "Golf"), "_TVN", "", vn);
    EXPECT_EQ(vnModels.entries, (QStringList {"Golf", "Polo"}));
    const ComboFill versions
            = setupComboList(equip, combo(111, 2, "InfoTypeVersion", "GTI"), "_TVN", "", vn);
    EXPECT_EQ(versions.entries, (QStringList {"1.6 TDI", "GTI"}));
    EXPECT_EQ(versions.selected, 1);

    // The trade-in brand of an order lists used-vehicle brands.
    ListFilters trade;
    const ComboFill tradeIn = setupComboList(equip, combo(111, 2, "ReprMarque", "", "InfoMarque"),
                                             "_TVN", "", trade);
    EXPECT_EQ(tradeIn.entries.first(), "PEUGEOT");
    const ComboFill demo = setup(combo(111, 2, "InfoMarque", "AUDI"), "_TVD");
    EXPECT_EQ(demo.entries.first(), "AUDI");
}

TEST(ComboLists, salespeople)
{
    EXPECT_EQ(salespeople(choices(), "SUD"), (QStringList {"Martin", "Martin"}));
    EXPECT_EQ(salespeople(choices(), "NORD"), (QStringList {"Martin", "Durand"}));
    EXPECT_TRUE(salespeople(choices(), "").isEmpty());

    // The last entry showing the name wins.
    const ComboFill byId = setup(combo(112, 4, "idCom", "5"), "_TCL", "SUD");
    EXPECT_EQ(byId.selected, 1);
    EXPECT_EQ(SetInfoComboBoxIdCom(choices(), "4", {"Durand", "Martin"}), 0);
    EXPECT_EQ(SetInfoComboBoxIdCom(choices(), "99", {"Durand", "Martin"}), -1);
}

TEST(ComboLists, LoadInfoNxComboBox)
{
    EXPECT_EQ(LoadInfoNxComboBox(choices(), "energie", "").value(),
              (QStringList {"ES : Essence", "GO : Diesel&cr;(gazole)"}));
    EXPECT_EQ(LoadInfoNxComboBox(choices(), "Energie", "", true).value().last(),
              "GO : Diesel\r\n(gazole)");
    EXPECT_FALSE(LoadInfoNxComboBox(choices(), "Absente", "").has_value());
    EXPECT_EQ(LoadInfoNxComboBox(choices(), "InfoCom", "NORD").value().size(), 2);
}

TEST(ComboLists, GetInfoComboBoxIdCom)
{
    const ChoiceIndex &e = choices();
    EXPECT_EQ(GetInfoComboBoxIdCom(e, "InfoCom", "Martin"), "3");
    EXPECT_EQ(GetInfoComboBoxIdCom(e, "InfoCom", "Personne"), "0");
    EXPECT_EQ(GetInfoComboBoxIdCom(e, "SujetAction", "Visite & essai"), "2");
    EXPECT_EQ(GetInfoComboBoxIdCom(e, "sujetRelance", "Appel"), "1");
    EXPECT_EQ(GetInfoComboBoxIdCom(e, "Carrosserie", "BRK : Break"), "3");
    EXPECT_EQ(GetInfoComboBoxIdCom(e, "Carrosserie", "CAB : Cabriolet"), "0"); // after the group
}

TEST(ComboLists, StoredValue)
{
    TsDesc text = combo(111, 2, "Carrosserie", "");
    TsDesc position = combo(112, 4, "Carrosserie", "");
    position.IndexCoded = true;
    TsDesc positionWithEmpty = position;
    positionWithEmpty.HasEmptyEntry = true;
    TsDesc boolean = combo(111, 3, "FlagEligible", "");
    boolean.IndexCoded = true;
    TsDesc salesperson = combo(112, 4, "idCom", "");
    salesperson.IndexCoded = true;
    const struct
    {
        const TsDesc *desc;
        int index;
        const char *shown, *stored;
    } cases[] = {
            {&text, 1, "BER : Berline", "BER"}, {&text, -1, "Typed", "Typed"},
            {&position, 2, "x", "3"},           {&position, -1, "", "0"},
            {&positionWithEmpty, 0, "", "0"},   {&positionWithEmpty, 2, "x", "2"},
            {&positionWithEmpty, -1, "", "-1"}, {&boolean, 0, "Non", "False"},
            {&boolean, 1, "Oui", "True"},       {&boolean, -1, "", "True"},
            {&salesperson, 1, "Durand", "4"},   {&salesperson, 0, "Inconnu", "0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(storedComboValue(choices(), *c.desc, c.index, QString::fromLatin1(c.shown)),
                  QString::fromLatin1(c.stored))
                << qPrintable(c.desc->FieldName) << " " << c.index;
}

TEST(ComboLists, KeyboardRules)
{
    TsDesc d = combo(111, 2, "InfoCouleur", "");
    d.ListOnly = true;
    EXPECT_TRUE(refusedByListOnly(d, "Vert", {"Rouge", "Bleu"}));
    EXPECT_FALSE(refusedByListOnly(d, "rouge", {"Rouge", "Bleu"}));
    EXPECT_FALSE(refusedByListOnly(d, "", {"Rouge"}));
    d.ListOnly = false;
    EXPECT_FALSE(refusedByListOnly(d, "Vert", {"Rouge"}));

    d.ListTable = "ListRubrics";
    d.FieldInfo = "ListRubrics";
    EXPECT_FALSE(listMaintenanceAllowed(d, true, true)); // not a maintained list
    d.FieldInfo = "InfoCouleur";
    EXPECT_TRUE(listMaintenanceAllowed(d, true, true));
    EXPECT_FALSE(listMaintenanceAllowed(d, false, true));
    EXPECT_FALSE(listMaintenanceAllowed(d, true, false));
    EXPECT_TRUE(deleteKeyEmpties(d));
    d.tControl = 112;
    EXPECT_FALSE(deleteKeyEmpties(d));
    EXPECT_FALSE(listMaintenanceAllowed(d, true, true));
}

TEST(ComboLists, dependentGroup)
{
    const ChoiceIndex &e = choices();
    EXPECT_EQ(dependentGroup(e, " peugeot ", "vModel", "vMark", "Models").value(),
              (QStringList {"208", "308"}));
    EXPECT_FALSE(dependentGroup(e, "CITROEN", "vModel", "vMark", "Models").has_value());
    EXPECT_FALSE(dependentGroup(e, "  ", "vModel", "vMark", "Models").has_value());
    EXPECT_EQ(dependentGroup(e, "GOLF", "vnVers", "vnModel", "VNVersions")->size(), 2);
    EXPECT_FALSE(dependentGroup(e, "POLO", "vnVers", "vnModel", "VNVersions").has_value());
}
