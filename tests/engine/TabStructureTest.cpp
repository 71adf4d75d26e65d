#include "StructFixture.h"

#include "engine/StructEntry.h"
#include "engine/TabStructure.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

StructEntry entry(std::initializer_list<std::pair<const char *, const char *>> values)
{
    return readStructEntries(structDoc(structEntry(values))).at(0);
}

TsPage usedVehiclePage()
{
    TsPage page;
    page.vInfo = "VO1";
    page.Prefix = "c";
    return page;
}

struct Fixture
{
    QStringList traces;
    QStringList rightsAsked;
    TXml record {QStringLiteral("<tVO><Prix>10</Prix><PrixAffiche>99</PrixAffiche></tVO>")};
    std::unique_ptr<XmlItemIndex> index;
    FieldContext context()
    {
        XmlOpen(record, u"tVO");
        FieldContext c;
        index = std::make_unique<XmlItemIndex>(record);
        c.record = index.get();
        c.today = QDate(2024, 5, 17);
        c.groupRight = [this](const QString &tags) {
            rightsAsked << tags;
            return tags == QLatin1String(";COMPTA;");
        };
        c.trace = [this](const QString &line) {
            traces << line;
        };
        return c;
    }
};

} // namespace

TEST(TabStructure, twipsToPixels)
{
    const struct
    {
        const char *twips;
        int pixels;
    } cases[]
            = {{"300", 20}, {"307", 20}, {"308", 21}, {"0", 0}, {"", 1}, {"abc", 1}, {"-308", -21}};
    for (const auto &c : cases)
        EXPECT_EQ(twipsToPixels(QString::fromLatin1(c.twips)), c.pixels) << c.twips;
}

TEST(TabStructure, GeometryFallbacks)
{
    EXPECT_EQ(fieldGeometry(entry(
                      {{"width", "300"}, {"left", "1500"}, {"top", "600"}, {"height", "150"}})),
              (PixelRect {100, 5, 20, 18}));
    // Every element empty: 20 twips each, so 1 pixel, top 1 - 35.
    EXPECT_EQ(fieldGeometry(entry({})), (PixelRect {1, -34, 1, 18}));
    EXPECT_EQ(fieldGeometry(entry({{"height", "450"}})).height, 30);
}

TEST(TabStructure, FieldNameSourceElementAndValue)
{
    Fixture f;
    const FieldPlan p = planField(entry({{"descInfo", "VO1"},
                                         {"vInfo", "Prix;PrixAffiche"},
                                         {"tInfo", "5"},
                                         {"tControl", "109"}}),
                                  usedVehiclePage(), 1, 3, f.context());
    EXPECT_EQ(p.desc.FieldName, "Prix");
    EXPECT_EQ(p.desc.SourceElement, "PrixAffiche");
    EXPECT_EQ(p.desc.CurrentValue, "99.00");
    EXPECT_EQ(p.controlName, "cPrix");
    EXPECT_EQ(p.index, 3);

    const QString longSource(250, QLatin1Char('x'));
    const FieldPlan l = planField(entry({{"vInfo", qPrintable("A;" + longSource)}}),
                                  usedVehiclePage(), 1, 0, f.context());
    EXPECT_EQ(l.desc.SourceElement.size(), 200);
}

TEST(TabStructure, ListMembers)
{
    const struct
    {
        const char *fieldInfo, *listTable, *fieldInfoOut, *listName;
    } cases[] = {
            {"ListRubrics;Couleur", "ListRubrics", "ListRubrics", "Couleur"},
            {"ListModels", "ListModels", "InfoCouleur", "InfoCouleur"},
            {"listVersions", "listVersions", "InfoCouleur", "InfoCouleur"},
            {"", "InfoCouleur", "InfoCouleur", "InfoCouleur"},
            {"InfoCom", "InfoCom", "InfoCom", "InfoCouleur"},
            {";", "", "", ""},
    };
    for (const auto &c : cases) {
        Fixture f;
        const FieldPlan p = planField(entry({{"vInfo", "InfoCouleur"}, {"fieldInfo", c.fieldInfo}}),
                                      usedVehiclePage(), 1, 0, f.context());
        EXPECT_EQ(p.desc.ListTable, QString::fromLatin1(c.listTable)) << c.fieldInfo;
        EXPECT_EQ(p.desc.FieldInfo, QString::fromLatin1(c.fieldInfoOut)) << c.fieldInfo;
        EXPECT_EQ(p.desc.ListName, QString::fromLatin1(c.listName)) << c.fieldInfo;
        EXPECT_EQ(f.traces.filter("info rubrique").size(),
                  QString::fromLatin1(c.fieldInfo).contains(';') ? 1 : 0);
    }
}

TEST(TabStructure, TagsNumbersAndCaption)
{
    Fixture f;
    const FieldPlan p = planField(entry({{"vInfo", "Frais"},
                                         {"tag", "compta"},
                                         {"notNull", "True"},
                                         {"txtInfo", "Frais &amp; taxes &lt;HT&gt;"},
                                         {"color", "255"},
                                         {"length", "x"},
                                         {"idNum", "1002"},
                                         {"tInfo", "?"}}),
                                  usedVehiclePage(), 3, 0, f.context());
    EXPECT_EQ(p.desc.TagList, ";COMPTA;");
    EXPECT_TRUE(p.desc.NotNull);
    EXPECT_EQ(p.desc.txtInfo, "Frais & taxes <HT>");
    EXPECT_EQ(p.desc.FontColor, 255);
    EXPECT_EQ(p.maxLength, 0);
    EXPECT_EQ(p.desc.tInfo, 0);
    EXPECT_TRUE(p.onPanelCompta);
    EXPECT_TRUE(p.fieldRight);

    const FieldPlan untagged
            = planField(entry({{"vInfo", "X"}}), usedVehiclePage(), 1, 0, f.context());
    EXPECT_EQ(untagged.desc.TagList, ";;");
    EXPECT_FALSE(untagged.fieldRight);
    EXPECT_FALSE(untagged.desc.NotNull);
}

TEST(TabStructure, VisibilityCodesAndTheVehicleTab)
{
    const struct
    {
        const char *tag, *enabled;
        int tab, vehicleFound;
        bool visible, right;
    } cases[] = {
            {"COMPTA", "2", 1, 1, true, true},  {"", "2", 1, 1, false, false},
            {"COMPTA", "3", 1, 1, false, true}, {"", "3", 1, 1, true, false},
            {"COMPTA", "0", 1, 1, true, true},  {"", "1", 1, 1, true, false},
            {"COMPTA", "2", 8, 0, true, false}, {"COMPTA", "3", 8, 0, false, false},
            {"COMPTA", "1", 8, 1, true, true},  {"COMPTA", "1", 8, -1, true, true},
    };
    for (const auto &c : cases) {
        Fixture f;
        FieldContext context = f.context();
        context.vehicleFound = c.vehicleFound;
        const FieldPlan p
                = planField(entry({{"vInfo", "X"}, {"tag", c.tag}, {"enabled", c.enabled}}),
                            usedVehiclePage(), c.tab, 0, context);
        EXPECT_EQ(p.visible, c.visible) << c.tag << " " << c.enabled << " tab " << c.tab;
        EXPECT_EQ(p.fieldRight, c.right) << c.tag << " " << c.enabled << " tab " << c.tab;
    }
}

TEST(TabStructure, PlanTabFieldsKeepsDocumentOrderAndTraces)
{
    const TXml doc = structDoc(
            structEntry({{"descInfo", "_TVO"}, {"idNum", "1"}, {"vInfo", "VO1"}})
            + structEntry({{"descInfo", "VO1"},
                           {"vInfo", "idVO"},
                           {"width", "0"},
                           {"tInfo", "4"},
                           {"tControl", "109"}})
            + structEntry({{"descInfo", "VN3"}, {"vInfo", "Other"}})
            + structEntry(
                    {{"descInfo", "VO1"}, {"vInfo", "Prix"}, {"tInfo", "5"}, {"tControl", "109"}}));
    Fixture f;
    const auto plans = planTabFields(readStructEntries(doc), usedVehiclePage(), 1, f.context());
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(plans[0].desc.FieldName, "idVO");
    EXPECT_EQ(plans[0].desc.Width, 0);
    EXPECT_EQ(plans[1].desc.FieldName, "Prix");
    EXPECT_EQ(plans[1].index, 1);
    EXPECT_EQ(plans[1].desc.CurrentValue, "10.00");
    EXPECT_EQ(f.traces,
              (QStringList {"p2 Ajout desc Onglet : VO1", "z2 Ajout desc Onglet : VO1 - idVO",
                            "z2 Ajout desc Onglet : VO1 - Prix"}));
}

TEST(TabStructure, UnknownKindsAreTracedAndTakeTheFallback)
{
    Fixture f;
    const FieldPlan p = planField(entry({{"vInfo", "Prix"}, {"tInfo", "9"}, {"tControl", "777"}}),
                                  usedVehiclePage(), 1, 0, f.context());
    EXPECT_EQ(p.desc.CurrentValue, "10"); // as received
    EXPECT_EQ(f.traces.filter("type de donnée inconnu").size(), 1);
    EXPECT_EQ(f.traces.filter("type de contrôle inconnu").size(), 1);
}

TEST(TabStructure, RefreshOfABuiltField)
{
    Fixture f;
    FieldPlan p = planField(entry({{"vInfo", "Prix"},
                                   {"tInfo", "5"},
                                   {"tControl", "109"},
                                   {"tag", "COMPTA"},
                                   {"defval", "7"}}),
                            usedVehiclePage(), 8, 0, f.context());
    TsDesc &d = p.desc;
    d.CurrentValue = "edited";
    FieldContext next = f.context();
    TXml other(QStringLiteral("<tVO><Prix>20</Prix></tVO>"));
    XmlOpen(other, u"tVO");
    const XmlItemIndex otherFields(other);
    next.record = &otherFields;
    EXPECT_TRUE(refreshField(d, 8, next));
    EXPECT_EQ(d.CurrentValue, "20.00");
    EXPECT_EQ(d.LoadedValue, "20.00");
    next.vehicleFound = 0;
    next.useDefaults = true;
    EXPECT_FALSE(refreshField(d, 8, next));
    EXPECT_EQ(d.CurrentValue, "7.00");
    EXPECT_EQ(d.LoadedValue, "");
}

TEST(TabStructure, PlanWithoutRecordOrRightsCallback)
{
    FieldContext empty;
    const FieldPlan p = planField(entry({{"vInfo", "Prix"}, {"tInfo", "5"}, {"tag", "COMPTA"}}),
                                  usedVehiclePage(), 1, 0, empty);
    EXPECT_EQ(p.desc.CurrentValue, "0.00");
    EXPECT_FALSE(p.fieldRight);
}

TEST(TabStructure, describeTabs)
{
    const TXml doc = structDoc(
            structEntry(
                    {{"descInfo", "_TVO"}, {"idNum", "0"}, {"vInfo", "VO0"}, {"tag", "tVehicles"}})
            + structEntry({{"descInfo", "_TVO"},
                           {"idNum", "4"},
                           {"vInfo", "VO4"},
                           {"txtInfo", "Équipements"},
                           {"defval", "c"}})
            + structEntry(
                    {{"descInfo", "_TVO"}, {"idNum", "4"}, {"vInfo", "LATER"}, {"txtInfo", "Non"}})
            + structEntry({{"descInfo", "_TVO"},
                           {"idNum", "1"},
                           {"vInfo", "VO1"},
                           {"txtInfo", "VO"},
                           {"tag", "tVehicles"},
                           {"defval", "c"}})
            + structEntry({{"descInfo", "_TVO"}, {"idNum", "05"}, {"vInfo", "VO5"}})
            + structEntry({{"descInfo", "_TCL"}, {"idNum", "7"}, {"vInfo", "CL7"}}));
    const auto entries = readStructEntries(doc);
    TabDescTable tabs;
    for (auto &t : tabs)
        t.DetailLoaded = true;
    tabs[5].Built = true;
    int firstTab = 0;
    QStringList traces;
    const DescribeOutcome out
            = describeTabs(entries, "_TVO", tabs, firstTab, [&](const QString &l) { traces << l; });
    EXPECT_EQ(firstTab, 1);
    EXPECT_EQ(out.selectPageIndex, 0);
    EXPECT_TRUE(tabs[0].Described);
    EXPECT_EQ(tabs[0].PageIndex, -1);
    EXPECT_EQ(tabs[0].tag, "tVehicles");
    EXPECT_TRUE(tabs[4].Described);
    EXPECT_EQ(tabs[4].vInfo, "VO4"); // the first entry of a tab number wins
    EXPECT_EQ(out.tabs[4].caption, QString::fromUtf8("Équipements"));
    EXPECT_EQ(tabs[1].Prefix, "c");
    EXPECT_FALSE(tabs[5].Described); // "05" is not the text "5"
    EXPECT_TRUE(tabs[5].Built); // built controls survive
    EXPECT_FALSE(tabs[7].Described);
    for (const auto &t : tabs)
        EXPECT_FALSE(t.DetailLoaded);
    EXPECT_EQ(traces.filter("dans UpdateTabDesc : 4").size(), 10);
    EXPECT_EQ(traces.filter("Ajout desc Onglet").size(), 2);

    // Later kinds keep the first tab chosen until the structure is reloaded.
    const DescribeOutcome customer = describeTabs(entries, "_TCL", tabs, firstTab);
    EXPECT_EQ(firstTab, 1);
    EXPECT_EQ(customer.selectPageIndex, -1);
    EXPECT_TRUE(tabs[7].Described);
    EXPECT_FALSE(tabs[1].Described);
}

TEST(TabStructure, TabZeroNeverBecomesTheFirstTab)
{
    const auto entries = readStructEntries(
            structDoc(structEntry({{"descInfo", "_TVN"}, {"idNum", "0"}, {"vInfo", "VN0"}})
                      + structEntry({{"descInfo", "_TVN"}, {"idNum", "3"}, {"vInfo", "VN3"}})));
    TabDescTable tabs;
    int firstTab = 0;
    const DescribeOutcome out = describeTabs(entries, "_TVN", tabs, firstTab);
    EXPECT_EQ(firstTab, 3);
    EXPECT_EQ(out.selectPageIndex, 2);
}

TEST(TabStructure, BrokenStructureDocuments)
{
    for (const char *text : {"", "<axStructS>", "<axStructS><axStruct><vInfo>X</axStruct>",
                             "<axStructS><axStruct></axStructS>", "garbage < < </"}) {
        const auto entries = readStructEntries(TXml(QString::fromLatin1(text)));
        TabDescTable tabs;
        int firstTab = 0;
        describeTabs(entries, "_TVO", tabs, firstTab);
        EXPECT_EQ(firstTab, 0) << text;
        for (const auto &e : entries) {
            Fixture f;
            planField(e, usedVehiclePage(), 1, 0, f.context());
        }
    }
}
