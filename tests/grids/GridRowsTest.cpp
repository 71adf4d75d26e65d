#include "grids/GridRows.h"

#include "editing/ChoiceIndex.h"
#include "gateway/TXml.h"

#include <gtest/gtest.h>

namespace {

std::string s(const QString &text)
{
    return text.toStdString();
}

StructEntry entry(const char *desc, const char *field, const char *tInfo, const char *tag = "",
                  const char *width = "")
{
    StructEntry e;
    e.descInfo = QLatin1String(desc);
    e.vInfo = QLatin1String(field);
    e.tInfo = QLatin1String(tInfo);
    e.tag = QLatin1String(tag);
    e.width = QLatin1String(width);
    return e;
}

// The costs grid's descriptors as the reference server describes them.
TsLine costColumns()
{
    std::vector<StructEntry> entries = {
            entry("TVO1", "PrixVente", "5"), // another tab's field
            entry("gFrev", "idFrevo", "4", "", "0"),
            entry("gFrev", "DateFrevo", "1", "vendeurs;compta"),
            entry("gFrev", "LibelleFrevo", "2"),
            entry("gFrev", "NComptable", "2", "compta"),
            entry("gFrev", "NomFournisseur", "2"),
            entry("gFrev", "NFacture", "2"),
            entry("gFrev", "TypeFrevo", "2"),
            entry("gFrev", "MontantHT", "5"),
            entry("gFrev", "Extra", "2"), // a ninth descriptor is not read
    };
    const std::vector<GridColumn> columns = readGridColumns(entries, u"gFrev", 8);
    EXPECT_EQ(columns.size(), 8u);
    EXPECT_EQ(columns[0].width, 0);
    EXPECT_EQ(columns[1].width, 20);
    EXPECT_EQ(s(firstTagList(columns)), ";VENDEURS;COMPTA;");
    return columnLine(columns);
}

// A loaded cost: the same value as loaded and as edited.
TsLine loadedCost(std::initializer_list<std::pair<int, const char *>> values)
{
    TsLine row = costColumns();
    for (const auto &[c, v] : values) {
        row.Cols[c].LoadedValue = gridLoadValue(row.Cols[c].tInfo, QString::fromUtf8(v));
        row.Cols[c].CurrentValue = row.Cols[c].LoadedValue;
    }
    return row;
}

const RowStatementForm kCosts {"[tVO - Frevo]", "idVO", "1", "idFrevo"};

TEST(GridRows, CostStatements)
{
    const auto cost17 = [] {
        return loadedCost(
                {{1, "17"}, {2, "12/05/2010"}, {3, "Vidange"}, {7, "interne"}, {8, "100"}});
    };
    const struct
    {
        const char *name;
        std::vector<std::pair<int, const char *>> edits; // column, typed text
        bool insert, deletion;
        const char *expected;
    } cases[] = {
            {"amount",
             {{8, "120.5"}},
             false,
             false,
             "Update [tVO - Frevo] set MontantHT=120.50 where (idFrevo=17)"},
            {"deletion", {{8, "0"}}, false, true, "Delete * from [tVO - Frevo] where (idFrevo=17)"},
            {"typed back", {{3, "Vidange"}}, false, false, ""},
            {"quote and emptied",
             {{3, "Pneus l'hiver"}, {2, ""}},
             false,
             false,
             "Update [tVO - Frevo] set DateFrevo=NULL,LibelleFrevo='Pneus l''hiver' where "
             "(idFrevo=17)"},
            {"letters in an amount",
             {{8, "12abc"}},
             false,
             false,
             "Update [tVO - Frevo] set MontantHT=0.00 where (idFrevo=17)"},
            {"date",
             {{2, "01/06/2010"}},
             false,
             false,
             "Update [tVO - Frevo] set DateFrevo=#06/01/2010# where (idFrevo=17)"},
    };
    for (const auto &c : cases) {
        TsLine row = cost17();
        for (const auto &[column, text] : c.edits)
            row.Cols[column].CurrentValue
                    = gridEditValue(row.Cols[column].tInfo, QString::fromUtf8(text));
        EXPECT_EQ(s(composeRowStatement(row, kCosts, c.insert, c.deletion)), c.expected) << c.name;
    }
}

TEST(GridRows, AddRowInsertsOnlyWhatItHolds)
{
    TsLine add = costColumns();
    add.Cols[2].CurrentValue = QStringLiteral("12/05/2010");
    add.Cols[7].CurrentValue = QStringLiteral("interne");
    EXPECT_EQ(s(composeRowStatement(add, kCosts, true, false)),
              "Insert into [tVO - Frevo] (DateFrevo,TypeFrevo, idVO, idFrevo ) Values "
              "(#05/12/2010#,'interne', 1, :NewID)");
    add.Cols[2].CurrentValue.clear();
    add.Cols[7].CurrentValue.clear();
    EXPECT_EQ(s(composeRowStatement(add, kCosts, true, false)), "");
}

TEST(GridRows, RowsAreNamedSafely)
{
    // A key that is not a number loses its blanks as every integer does, and is quoted.
    TsLine odd = loadedCost({{1, "17 or 1=1"}, {8, "5"}});
    odd.Cols[8].CurrentValue = QStringLiteral("6.00");
    EXPECT_EQ(s(composeRowStatement(odd, kCosts, false, false)),
              "Update [tVO - Frevo] set MontantHT=6.00 where (idFrevo='17or1=1')");
    // A row without key is named by its empty key.
    TsLine keyless = costColumns();
    keyless.Cols[3].CurrentValue = QStringLiteral("x");
    EXPECT_EQ(s(composeRowStatement(keyless, kCosts, false, true)),
              "Delete * from [tVO - Frevo] where (isNull(idFrevo))");
    // Every named cell changed: no condition, so no statement touching every row.
    TsLine all = costColumns();
    for (int c = 1; c <= 8; ++c)
        all.Cols[c].CurrentValue = QStringLiteral("1");
    EXPECT_EQ(s(composeRowStatement(all, kCosts, false, false)), "");
    EXPECT_EQ(s(composeRowStatement(all, kCosts, false, true)), "");
}

TEST(GridRows, ActionStatements)
{
    std::vector<StructEntry> entries;
    for (const char *f :
         {"idAction", "DateAction", "idCom", "TypeAction", "SujetAction", "CommentaireAction",
          "DateRelance", "idComRelance", "SujetRelance", "PrioriteRelance", "Eleventh"})
        entries.push_back(entry("gAct", f, f[0] == 'D' ? "1" : f[0] == 'C' ? "2" : "4"));
    const std::vector<GridColumn> columns = readGridColumns(entries, u"gAct", 10);
    ASSERT_EQ(columns.size(), 10u);
    TsLine row = columnLine(columns);
    const RowStatementForm form {"tActions", "idClient", "8", "idAction"};
    row.Cols[1].LoadedValue = row.Cols[1].CurrentValue = QStringLiteral("17");
    EXPECT_EQ(s(composeRowStatement(row, form, false, true)),
              "Delete * from tActions where (idAction=17)");
    EXPECT_EQ(firstEmptyColumn(row, 2, 10), 2);

    TsLine fresh = columnLine(columns);
    const char *values[] = {"", "12/05/2010", "3", "3", "2", "Rappel", "19/05/2010", "3", "2", "1"};
    for (int c = 1; c <= 10; ++c)
        fresh.Cols[c].CurrentValue = QLatin1String(values[c - 1]);
    EXPECT_EQ(firstEmptyColumn(fresh, 2, 10), 0);
    EXPECT_EQ(s(composeRowStatement(fresh, form, true, false)),
              "Insert into tActions (DateAction,idCom,TypeAction,SujetAction,CommentaireAction,"
              "DateRelance,idComRelance,SujetRelance,PrioriteRelance, idClient, idAction ) Values "
              "(#05/12/2010#,3,3,2,'Rappel',#05/19/2010#,3,2,1, 8, :NewID)");
}

TEST(GridRows, DateChecks)
{
    const QDate low(2010, 1, 1), high(2010, 12, 31), today(2010, 6, 1);
    const struct
    {
        const char *typed, *loaded;
        QDate lower, upper;
        bool accepted;
    } cases[] = {
            {"15/06/2010", "", low, high, true},
            {"31/12/2009", "", low, high, false},
            {"01/01/2011", "", low, high, false},
            {"31/12/2009", "31/12/2009", low, high, true}, // the saved date stays possible
            {"01/01/1990", "", {}, {}, true},
            {"01/06/2010", "", low, low, true}, // an empty saved date reads as today
            {"12/0_/____", "", low, high, false}, // half-typed
            {"", "", low, high, false},
            {"31/02/2010", "", low, high, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(gridDateAccepted(QLatin1String(c.typed), QLatin1String(c.loaded), c.lower,
                                   c.upper, today),
                  c.accepted)
                << c.typed << " saved " << c.loaded;

    const QDate action(2010, 5, 12);
    EXPECT_TRUE(reminderDateAccepted("12/05/2010", "", action));
    EXPECT_FALSE(reminderDateAccepted("11/05/2010", "", action));
    EXPECT_TRUE(reminderDateAccepted("11/05/2010", "11/05/2010", action));
    EXPECT_TRUE(reminderDateAccepted("01/01/2000", "", QDate()));
    EXPECT_FALSE(reminderDateAccepted("", "", QDate()));
}

TEST(GridRows, FixedFee)
{
    const QDate day(2010, 5, 12);
    const std::string fee = "Insert into [tVO - Frevo] (DateFrevo, TypeFrevo, MontantHT, idVO, "
                            "idFrevo ) Values (#05/12/2010#,'fixe', 150.00, 42, :NewID) ";
    EXPECT_EQ(s(fixedFeeStatement("42", "particuliers", false, 150, day)), fee);
    EXPECT_EQ(s(fixedFeeStatement("42", "PARTICULIERS", true, 150, day)), "");
    EXPECT_EQ(s(fixedFeeStatement("42", "Marchands", false, 150, day)), "");
    EXPECT_EQ(s(fixedFeeStatement("42", "Particuliers", false, 0, day)), "");
    EXPECT_EQ(s(fixedFeeStatement("", "Particuliers", false, 150, day)), "");

    const TXml record(QStringLiteral("<FrevoS><Frevo><TypeFrevo>interne</TypeFrevo></Frevo>"
                                     "<Frevo><TypeFrevo>Fixe</TypeFrevo></Frevo></FrevoS>"));
    EXPECT_TRUE(hasFixedCost(record));
    EXPECT_FALSE(hasFixedCost(TXml(QStringLiteral("<FrevoS><Frevo><TypeFrevo>x</TypeFrevo>"
                                                  "</Frevo></FrevoS>"))));
    const TXml equip(QStringLiteral(
            "<InfoSiteS><InfoSite><Site>NORD</Site><MontantFraisDossier>abc</MontantFraisDossier>"
            "</InfoSite><InfoSite><Site>Valence</Site><MontantFraisDossier>150</"
            "MontantFraisDossier>"
            "</InfoSite></InfoSiteS>"));
    EXPECT_EQ(siteFee(equip, "VALENCE"), 150.0);
    EXPECT_EQ(siteFee(equip, "nord"), 0.0);
    EXPECT_EQ(siteFee(equip, "SUD"), 0.0);
}

TEST(GridRows, ActionCodesShownAsTexts)
{
    const ChoiceIndex choices(TXml(
            QStringLiteral("<ParsS><Pars><type>LibFrevo</type><text>Vidange</text></Pars>"
                           "<Pars><type>LibFrevo</type><text>Pneus &amp; jantes</text></Pars>"
                           "<Pars><type>Fournisseur</type><text>Garage</text></Pars></ParsS>"
                           "<InfoComS><InfoCom><idCom>3</idCom><cNom>Martin</cNom></InfoCom>"
                           "<InfoCom><idCom>4</idCom><cNom>Durand</cNom></InfoCom></InfoComS>")));
    const QStringList types = {"Appel", "Visite", "Courrier"};
    const struct
    {
        int column;
        const char *stored, *shown;
    } cases[] = {
            {4, "3", "Courrier"}, {4, "0", ""}, {4, "", "Appel"}, {4, "9", ""},
            {3, "4", "Durand"},   {8, "7", ""}, {3, "0", ""},     {6, "0", "0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(s(actionShownText(choices, c.column, QLatin1String(c.stored), types)), c.shown)
                << c.column << " " << c.stored;
    EXPECT_EQ(completionItems(choices, "libfrevo"), QStringList({"Vidange", "Pneus & jantes"}));
    EXPECT_EQ(s(actionCodeList(9)), "SujetRelance");
}

} // namespace
