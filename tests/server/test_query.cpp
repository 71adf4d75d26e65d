#include "server/QueryString.h"
#include "server/Structure.h"
#include "server/XmlDoc.h"

#include "Cursor.h"

#include <gtest/gtest.h>

using namespace dravik;
using namespace dravik::server;

TEST(QueryString, DecodesEachParameterOnceAsLatin1)
{
    const QueryParams p = QueryParams::fromTarget(
            "/AxQuery?XMLC_OutputFormat=XML&SQL=select%20a+b%20from%20t%20where%20x%20like%20"
            "'%25AB%25'%20and%20y='%E9t%E9%20%22x%22%20%26%20%3Cy%3E%0D%0Az'&MaxRows=50&idClient=");
    EXPECT_EQ(p.get("SQL"), "select a+b from t where x like '%AB%' and y='été \"x\" & <y>\r\nz'");
    EXPECT_EQ(p.get("maxrows"), "50");
    EXPECT_TRUE(p.has("idClient"));
    EXPECT_EQ(p.get("idClient"), "");
    EXPECT_FALSE(p.has("UserID"));
}

TEST(QueryString, LeavesWhatIsNotAnEscapeAlone)
{
    const struct
    {
        std::string in, out;
    } cases[] = {
            {"100%", "100%"},
            {"%zz", "%zz"},
            {"a%4", "a%4"},
            {"%2541", "%41"},
            {"a+b", "a+b"},
            {"%2B", "+"},
            {"%00x", std::string("\0x", 2)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(percentDecode(c.in), c.out) << c.in;
    // The value is everything after the first "=", the first parameter of a name wins.
    const QueryParams p = QueryParams::fromTarget(
            "/AxUpdate?SQLExecute=Update%20t%20set%20a=1%20where%20(b=2)&SQLExecute=x&&=v");
    EXPECT_EQ(p.get("SQLExecute"), "Update t set a=1 where (b=2)");
    EXPECT_TRUE(QueryParams::fromTarget("/ReportPDF").get("x").empty());
}

TEST(QueryString, AnAmpersandThatStartsNoParameterBelongsToTheValue)
{
    // A search text typed with "&" and "?" travels unencoded.
    const QueryParams p = QueryParams::fromTarget(
            "/AxQuery?XMLC_OutputFormat=XML&SQL=select%20*%20from%20t%20where%20(a%20like%20"
            "'%25DUPONT%20&%20FILS?%25')%20and%20(b='x&y=z')&MaxRows=50&idClient=12");
    EXPECT_EQ(p.get("SQL"), "select * from t where (a like '%DUPONT & FILS?%') and (b='x&y=z')");
    EXPECT_EQ(p.get("MaxRows"), "50");
    EXPECT_EQ(p.get("idClient"), "12");
}

TEST(Structure, SendsEveryElementOfEveryEntryWithGeometryInTwips)
{
    std::vector<TabRow> tabs(1);
    tabs[0] = {"_TVO", "1", "Véhicule d'occasion", "TVO1", "tVehicles", "c"};
    std::vector<LayoutRow> layout(3);
    layout[0].name = "cPrixVente";
    layout[0].desc = "TVO1";
    layout[0].vInfo = "PrixVente";
    layout[0].txtInfo = "Prix & <TTC>";
    layout[0].left = 92, layout[0].top = 40, layout[0].width = 80, layout[0].height = 21;
    layout[1].desc = "gFrev";
    layout[1].vInfo = "DateFrevo";
    layout[1].width = 116;
    layout[2].name = "LbNotDescribed";

    test::Cursor doc(buildStructure(tabs, layout));
    EXPECT_EQ(doc.doc.find("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), 0u);
    test::xmlOpen(doc, "axStructS");
    const char *elements[] = {"descInfo", "idNum", "txtInfo", "vInfo",   "tag",      "defval",
                              "width",    "left",  "top",     "height",  "length",   "tInfo",
                              "tControl", "color", "notNull", "enabled", "fieldInfo"};
    std::vector<test::Cursor> entries;
    while (test::xmlNext(doc, "axStruct")) {
        for (const char *e : elements)
            EXPECT_TRUE(test::xmlGetOpt(doc, e).has_value()) << e;
        entries.push_back(doc);
    }
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(test::xmlGet(entries[0], "descInfo"), "_TVO");
    EXPECT_EQ(test::xmlGet(entries[0], "txtInfo"), "V\xE9hicule d'occasion");
    EXPECT_EQ(test::xmlGet(entries[1], "txtInfo"), "Prix &amp; &lt;TTC&gt;");
    EXPECT_EQ(test::xmlGet(entries[1], "width"), "1200");
    EXPECT_EQ(test::xmlGet(entries[1], "left"), "1380");
    EXPECT_EQ(test::xmlGet(entries[1], "top"), "1125");
    EXPECT_EQ(test::xmlGet(entries[1], "height"), "315");
    EXPECT_EQ(test::xmlGet(entries[2], "width"), "116"); // grid columns: pixels
}

TEST(XmlDoc, EnvelopeAndTimeout)
{
    test::Cursor failure(XmlDoc::failure({"Erreur é", "B"}));
    test::xmlOpen(failure, "LogItems");
    std::string warning;
    while (test::xmlNext(failure, "LogItem"))
        warning += failure.item + " - ";
    EXPECT_EQ(warning, "Erreur \xE9 - B - ");
    const std::string wait = XmlDoc::waitTimeout();
    EXPECT_NE(wait.find("<![CDATA[WAIT_TIMEOUT]]>"), std::string::npos);
}
