#include "editing/UserRights.h"
#include "engine/RecordDocument.h"
#include "engine/TextRules.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

QString groups(std::initializer_list<const char *> names)
{
    QString text = QStringLiteral("<GNames>");
    for (const char *n : names)
        text += QStringLiteral("<GName>%1</GName>").arg(QString::fromLatin1(n));
    return text + QStringLiteral("</GNames>");
}

TXml recordDoc(const QString &record, const QString &groupText)
{
    return TXml(QStringLiteral("<document><User><UserSite>X</UserSite></User>") + groupText
                + QStringLiteral("<tVO>") + record + QStringLiteral("</tVO><TVC>") + record
                + QStringLiteral("</TVC></document>"));
}

RecordRights rightsOf(const TXml &doc, const RightsInput &in)
{
    const QString element = in.RecordKind == QLatin1String("_TCL") ? "TVC" : "tVO";
    return computeRecordRights(doc, selectElement(doc, element), in);
}

} // namespace

TEST(UserRights, groupTokens)
{
    const TXml doc(groups({"user_compta", "ADMINS", "xUSER_yUser_", "USER_", ""}));
    EXPECT_EQ(groupTokens(doc), (QStringList {";COMPTA;", ";ADMINS;", ";XY;"}));
    EXPECT_TRUE(groupTokens(TXml("<document></document>")).isEmpty());
}

TEST(UserRights, GetDataRights)
{
    const TXml admins(groups({"ADMINS"}));
    const TXml superAdmins(groups({"SUPERADMINS"}));
    const TXml svo(groups({"VENDEURS", "USER_RVO"}));
    EXPECT_TRUE(GetDataRights(admins, true, ";ADMINS;"));
    EXPECT_FALSE(GetDataRights(admins, true, ";SUPERADMINS;"));
    EXPECT_FALSE(GetDataRights(superAdmins, true, ";ADMINS;"));
    EXPECT_TRUE(GetDataRights(svo, true, ";SVO;RVO;"));
    EXPECT_FALSE(GetDataRights(svo, false, ";SVO;RVO;"));
    EXPECT_FALSE(GetDataRights(TXml(), true, ";ADMINS;"));
    // An empty tag list is read-only for everyone, even with an empty group name.
    EXPECT_FALSE(GetDataRights(TXml(groups({"", "USER_"})), true, ";;"));
}

TEST(UserRights, SiteAccessAndFlags)
{
    const struct
    {
        const char *userSite, *site, *owner, *idUser, *kind;
        bool newRecord, access, modifiable, rights;
    } cases[] = {
            {"#", "NORD", "", "7", "_TVO", false, true, true, true},
            {"NORD;SUD", "sud", "", "7", "_TVO", false, true, true, true},
            {"nord", "NORD", "", "7", "_TVO", false, true, true, true},
            {"NORD", "EST", "", "7", "_TVO", false, false, false, false},
            {"NORD", "", "", "7", "_TVO", false, false, false, false},
            {"NORD", "EST", "7", "7", "_TVD", false, true, true, true},
            {"NORD", "EST", "ab", "AB", "_TVN", false, true, true, true},
            {"NORD", "EST", "", "", "_TVO", false, false, false, false},
            {"NORD", "EST", "", "7", "_TCL", false, false, true, false},
            {"NORD", "EST", "", "7", "_TVO", true, false, true, true},
            {"NORD", "EST", "", "7", "_TCL", true, false, true, true},
    };
    for (const auto &c : cases) {
        const TXml doc
                = recordDoc(QStringLiteral("<Site>%1</Site><idOwner>%2</idOwner>")
                                    .arg(QString::fromLatin1(c.site), QString::fromLatin1(c.owner)),
                            groups({"ADMINS"}));
        RightsInput in;
        in.UserSite = QString::fromLatin1(c.userSite);
        in.idUser = QString::fromLatin1(c.idUser);
        in.RecordKind = QString::fromLatin1(c.kind);
        in.FlagNewEnreg = c.newRecord;
        const RecordRights r = rightsOf(doc, in);
        const QString what = QStringLiteral("%1 %2 %3 %4").arg(c.userSite, c.site, c.owner, c.kind);
        EXPECT_EQ(r.FlagSiteAccess, c.access) << qPrintable(what);
        EXPECT_EQ(r.FlagModifiable, c.modifiable) << qPrintable(what);
        EXPECT_EQ(r.FlagRights, c.rights) << qPrintable(what);
        EXPECT_EQ(r.RightAdmin, c.rights) << qPrintable(what);
    }
}

TEST(UserRights, DeliveryDateLock)
{
    const struct
    {
        const char *delivered, *lockDate;
        bool newRecord, locked;
    } cases[] = {
            {"31/12/2009", "01/01/2010", false, true},
            {"01/01/2010", "01/01/2010", false, false},
            {"31/12/2009", "", false, false},
            {"", "01/01/2010", false, false},
            {"pas une date", "01/01/2010", false, false},
            {"31/12/2009", "01/01/2010", true, false},
    };
    for (const auto &c : cases) {
        const TXml doc
                = recordDoc(QStringLiteral("<Site>NORD</Site><DateLivraison>%1</DateLivraison>"
                                           "<NomImage>p.jpg</NomImage>")
                                    .arg(QString::fromLatin1(c.delivered)),
                            groups({"SUPERADMINS", "COMPTA", "CLARIM"}));
        RightsInput in;
        in.UserSite = "NORD";
        in.RecordKind = "_TVO";
        in.FlagNewEnreg = c.newRecord;
        in.OptLimiteDateVerrouVNVO = parseDate(QString::fromLatin1(c.lockDate));
        const RecordRights r = rightsOf(doc, in);
        EXPECT_EQ(r.LockedByDate, c.locked) << c.delivered << " " << c.lockDate;
        EXPECT_TRUE(r.FlagSiteAccess);
        EXPECT_EQ(r.FlagModifiable, !c.locked);
        EXPECT_EQ(r.FlagRights, !c.locked);
        EXPECT_EQ(r.RightAdmin, !c.locked);
        EXPECT_EQ(r.RightCompta, !c.locked);
        EXPECT_EQ(r.RightClarim, !c.locked);
        EXPECT_EQ(r.NomImage, c.newRecord ? "" : "p.jpg");
    }
}

TEST(UserRights, NomImageOnlyForReachableVehicles)
{
    const TXml doc = recordDoc("<Site>EST</Site><NomImage>p.jpg</NomImage>", groups({}));
    RightsInput in;
    in.UserSite = "NORD";
    in.RecordKind = "_TVO";
    EXPECT_EQ(rightsOf(doc, in).NomImage, "");
    in.UserSite = "#";
    EXPECT_EQ(rightsOf(doc, in).NomImage, "p.jpg");
    in.RecordKind = "_TCL";
    EXPECT_EQ(rightsOf(doc, in).NomImage, "");
}

TEST(UserRights, GuaranteeFields)
{
    EXPECT_TRUE(guaranteeFieldsEnabled(true, false, "01/01/2024"));
    EXPECT_TRUE(guaranteeFieldsEnabled(false, true, ""));
    EXPECT_FALSE(guaranteeFieldsEnabled(false, true, "01/01/2024"));
    EXPECT_FALSE(guaranteeFieldsEnabled(false, false, ""));
}
