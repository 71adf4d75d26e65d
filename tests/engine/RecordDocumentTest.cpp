#include "engine/RecordDocument.h"
#include "engine/RecordKind.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

TEST(RecordKind, Decision)
{
    const struct
    {
        const char *doc, *customerId;
        int idTypeVO;
        const char *kind, *typeVO;
    } cases[] = {
            {"<tVO><TypeVO>2</TypeVO><StatutVD>Démo</StatutVD></tVO>", "", 3, "_TVD", "2"},
            {"<tVO><TypeVO>2</TypeVO><StatutVD>Démo</StatutVD></tVO>", "", 1, "_TVN", "2"},
            {"<tVO><TypeVO>2</TypeVO><StatutVD></StatutVD></tVO>", "", 3, "_TVN", "2"},
            {"<tVO><TypeVO>1</TypeVO><StatutVD>Démo</StatutVD></tVO>", "", 3, "_TVO", "1"},
            {"<tVO><idVO>0</idVO></tVO>", "", 1, "_TVO", "1"},
            {"<tVO><idVO>0</idVO></tVO>", "", 3, "_TVN", "2"},
            {"", "", 0, "_TVN", "2"},
            {"<tVO><TypeVO>1</TypeVO></tVO>", "12", 1, "_TCL", ""},
            {"", "-1", 1, "_TCL", ""},
    };
    for (const auto &c : cases) {
        const RecordKindDecision d = decideRecordKind(
                TXml(QString::fromUtf8(c.doc)), QString::fromLatin1(c.customerId), c.idTypeVO);
        EXPECT_EQ(d.RecordKind, QString::fromLatin1(c.kind)) << c.doc << " " << c.idTypeVO;
        EXPECT_EQ(d.TypeVO, QString::fromLatin1(c.typeVO)) << c.doc;
        EXPECT_EQ(d.RecordElement, d.RecordKind == "_TCL" ? "TVC" : "tVO");
    }
}

TEST(RecordKind, CaptionAndHeaderColours)
{
    EXPECT_EQ(kindCaption("_TVD"), "VD");
    EXPECT_EQ(kindCaption("_TCL"), "CL");
    EXPECT_EQ(headerColorsFor("_TVO").background, 15745088);
    EXPECT_EQ(headerColorsFor("_TVN").background, 15745088);
    EXPECT_EQ(headerColorsFor("_TVD").background, 7756236);
    EXPECT_EQ(headerColorsFor("_TVD").text, 0);
    EXPECT_EQ(headerColorsFor("_TCL").background, 15745088);
    EXPECT_EQ(headerColorsFor("_TCL").text, -1);
}

namespace {

TXml optDates(const char *deb, const char *frevo, const char *clarim, const char *lock,
              const char *now)
{
    return TXml(QStringLiteral("<document><OptDates><Opt_LimiteDateDeb>%1</Opt_LimiteDateDeb>"
                               "<Opt_LimiteDateDebFrevo>%2</Opt_LimiteDateDebFrevo>"
                               "<Opt_LimiteDateDebClarim>%3</Opt_LimiteDateDebClarim>"
                               "<Opt_LimiteDateVerrouVNVO>%4</Opt_LimiteDateVerrouVNVO>"
                               "<Now>%5</Now></OptDates></document>")
                        .arg(deb, frevo, clarim, lock, now));
}

} // namespace

TEST(OptionDates, AcceptedOnceAndKept)
{
    OptionDates d;
    readOptionDates(optDates("01/01/2020", "01/06/2020", "01/01/2021", "01/01/2010", "17/05/2024"),
                    d);
    EXPECT_EQ(d.OptLimiteDateDeb, QDate(2020, 1, 1));
    EXPECT_EQ(d.OptLimiteDateVerrouVNVO, QDate(2010, 1, 1));
    EXPECT_EQ(d.OptNow, QDate(2024, 5, 17));
    // Accepted dates stay; the server date follows each document.
    readOptionDates(optDates("01/01/2023", "", "", "", "18/05/2024"), d);
    EXPECT_EQ(d.OptLimiteDateDeb, QDate(2020, 1, 1));
    EXPECT_EQ(d.OptNow, QDate(2024, 5, 17));
    EXPECT_EQ(d.ServerNow, QDate(2024, 5, 18));
}

TEST(OptionDates, ALimitAfterNowRejectsAllAndRereads)
{
    OptionDates d;
    readOptionDates(optDates("01/01/2020", "18/05/2024", "01/01/2021", "01/01/2010", "17/05/2024"),
                    d);
    EXPECT_FALSE(d.OptLimiteDateDeb.isValid());
    EXPECT_FALSE(d.OptLimiteDateDebFrevo.isValid());
    EXPECT_FALSE(d.OptLimiteDateDebClarim.isValid());
    EXPECT_FALSE(d.OptLimiteDateVerrouVNVO.isValid());
    EXPECT_FALSE(d.OptNow.isValid());
    EXPECT_EQ(d.ServerNow, QDate(2024, 5, 17));
    readOptionDates(optDates("01/01/2020", "17/05/2024", "", "", "17/05/2024"), d);
    EXPECT_EQ(d.OptLimiteDateDebFrevo, QDate(2024, 5, 17));
}

TEST(OptionDates, MissingNowRejectsAnyLimit)
{
    OptionDates d;
    readOptionDates(optDates("01/01/2020", "", "", "", "garbage"), d);
    EXPECT_FALSE(d.OptLimiteDateDeb.isValid());
    OptionDates none;
    readOptionDates(TXml(), none);
    EXPECT_FALSE(none.OptNow.isValid());
}

TEST(RecordDocument, UserAndHead)
{
    const TXml doc(QStringLiteral(
            "<document><User><UserConcession>ZOLVARE</UserConcession><UserSite>NORD;SUD</UserSite>"
            "<Name_>Jean</Name_></User><tVO><idVO>12</idVO><Frevo>F</Frevo>"
            "<Concession>ZOLVARE</Concession></tVO><TVC><idVO>5</idVO><idtVO>7</idtVO></TVC>"
            "</document>"));
    const UserInfo u = readUserInfo(doc);
    EXPECT_EQ(u.UserConcession, "ZOLVARE");
    EXPECT_EQ(u.UserSite, "NORD;SUD");
    EXPECT_EQ(u.UserName, "Jean");
    EXPECT_EQ(u.UserUS1, "");
    const RecordHead vo = readRecordHead(selectElement(doc, u"tVO"));
    EXPECT_EQ(vo.RecordId, "12"); // no idtVO: idVO stays
    EXPECT_EQ(vo.Frevo, "F");
    EXPECT_EQ(vo.Concession, "ZOLVARE");
    EXPECT_EQ(readRecordHead(selectElement(doc, u"TVC")).RecordId, "7");
}

TEST(RecordDocument, VehicleCursor)
{
    const TXml doc(QStringLiteral("<TVC></TVC><TVehS><TVeh><Immatriculation>AA</Immatriculation>"
                                  "</TVeh><TVeh><Immatriculation>BB</Immatriculation></TVeh>"
                                  "</TVehS>"));
    const struct
    {
        int index, found;
        const char *plate;
    } cases[] = {{0, 1, "AA"}, {1, 1, "BB"}, {5, 1, "BB"}, {-1, -1, "AA"}};
    for (const auto &c : cases) {
        const VehicleCursor v = positionVehicleCursor(doc, c.index);
        EXPECT_EQ(v.VehicleFound, c.found) << c.index;
        EXPECT_EQ(XmlGetText(v.cursor, u"Immatriculation"), c.plate) << c.index;
    }
    EXPECT_EQ(positionVehicleCursor(TXml("<TVehS></TVehS>"), 0).VehicleFound, 0);
    EXPECT_EQ(positionVehicleCursor(TXml(), 0).VehicleFound, 0);
}
