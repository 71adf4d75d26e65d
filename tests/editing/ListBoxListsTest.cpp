#include "EquipFixture.h"

#include "editing/ListBoxLists.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

TEST(ListBoxLists, CodeListsAndSelection)
{
    const ListBoxFill f = FillListBoxCodes(choices(), "OptionsVD", ";a;C;");
    EXPECT_EQ(f.entries, (QStringList {"Climatisation", "GPS & radio", "Toit ouvrant"}));
    EXPECT_EQ(f.CodeList, ";A;B;C");
    EXPECT_EQ(f.selectedRows, (QList<int> {0, 2}));
    EXPECT_EQ(listBoxValue(f.CodeList, f.selectedRows), ";A;C;");
    EXPECT_EQ(listBoxValue(f.CodeList, {2, 0}), ";A;C;");
    EXPECT_EQ(listBoxValue(f.CodeList, {}), "");
    EXPECT_EQ(optionsSummary(f.entries, {2, 1}), "GPS & radio - Toit ouvrant");
    EXPECT_TRUE(FillListBoxCodes(choices(), "Absente", ";A;").entries.isEmpty());
}

TEST(ListBoxLists, ModelChoicesBySiteBrands)
{
    EXPECT_EQ(SiteBrands(choices(), "NORD"), "AUDI;VW");
    EXPECT_EQ(SiteBrands(choices(), "Ailleurs"), "VW");

    TsDesc choix1;
    choix1.ListName = "PAChoix1";
    choix1.CurrentValue = ";GOLF;";
    const ListBoxFill own = setupListBoxList(choices(), choix1, "NORD");
    EXPECT_EQ(own.entries, (QStringList {"A3", "Golf", "Polo"}));
    EXPECT_EQ(own.CodeList, ";A3;GOLF;POLO");
    EXPECT_EQ(own.selectedRows, QList<int> {1});

    TsDesc choix2 = choix1;
    choix2.ListName = "PAChoix2";
    EXPECT_EQ(setupListBoxList(choices(), choix2, "NORD").entries, QStringList {"Fabia"});
    // An unknown site sells VW only.
    EXPECT_EQ(setupListBoxList(choices(), choix1, "").entries, (QStringList {"Golf", "Polo"}));
}
