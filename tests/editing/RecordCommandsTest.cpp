#include "editing/RecordCommands.h"

#include "gateway/TXml.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

TEST(RecordCommands, LockMessage)
{
    EXPECT_EQ(lockMessage(true, QDate(2010, 1, 1)),
              "Enregistrement non modifiable, Date Livraison antérieure au 01/01/2010");
    EXPECT_EQ(lockMessage(false, QDate(2010, 1, 1)), "Enregistrement non modifiable");
}

TEST(RecordCommands, SitePreselection)
{
    const QStringList sites = {"", "Sud", "Nord", "Est"};
    const struct
    {
        const char *us1, *userSite;
        int index;
        const char *value;
    } cases[] = {
            {"", "NORD;SUD", 2, "NORD"},
            {"", "sud;nord", 1, "SUD"},
            {"", "#", -1, ""},
            {"", "CENTRE", -1, ""},
            {"", "", -1, ""},
            {"est", "NORD;SUD", 3, "EST"}, // the site chosen last wins over the user's sites
            {"Ouest", "NORD", -1, ""},
            {"nord", "#", 2, "NORD"},
    };
    for (const auto &c : cases) {
        const SitePreselection s
                = preselectSite(sites, QString::fromLatin1(c.us1), QString::fromLatin1(c.userSite));
        EXPECT_EQ(s.index, c.index) << c.us1 << " / " << c.userSite;
        EXPECT_EQ(s.value, QString::fromLatin1(c.value)) << c.us1 << " / " << c.userSite;
    }
    // Equal positions: the earlier entry.
    EXPECT_EQ(preselectSite({"NORD-EST", "NORD"}, {}, "NORD-EST").index, 0);
    EXPECT_EQ(preselectSite({"NORD", "NORD-EST"}, {}, "NORD-EST").index, 0);
}

TEST(RecordCommands, IdsAndDeletions)
{
    const TXml doc(QStringLiteral("<document><tVO><idVO>17</idVO><NVO>1024</NVO></tVO>"
                                  "<TVC><idClient>42</idClient></TVC></document>"));
    EXPECT_EQ(GetIdVO(doc), "17");
    EXPECT_EQ(GetIdClient(doc), "42");
    EXPECT_EQ(GetIdVO(TXml(QStringLiteral("<document><TVC></TVC></document>"))), "");

    EXPECT_EQ(deletionId("17", false), "17");
    EXPECT_EQ(deletionId("17", true), ""); // a new record: the document is the previous one
    EXPECT_EQ(deletionId("", false), "");
    EXPECT_EQ(deletionId("0", false), "");
    EXPECT_EQ(deletionId("-2", false), "");
    EXPECT_EQ(deletionId("17 or 1=1", false), "");

    EXPECT_EQ(vehicleDeleteStatements("17"),
              (QStringList {"Delete * From [tVO - Liens Images] where idVO=17",
                            "Delete * From [tVO - Frevo] where idVO=17",
                            "Delete * From [tVehicles] where idVO=17"}));
    EXPECT_EQ(customerDeleteStatement("42"), "Delete * From [tClients] where idClient=42");
    EXPECT_EQ(sweepStatement(),
              "DELETE * FROM tVehicles WHERE (((TypeVO)=2) AND ((Acheteur) Is Null) AND "
              "((DateAnnulation) Is Not Null));");
}

TEST(RecordCommands, ReloadOfANewRecordStaysNew)
{
    const struct
    {
        const char *vehicle, *customer;
        bool isNew;
    } cases[] = {
            {"17", "", false}, {"-1", "", true}, // a vehicle launched as new
            {"abc", "", true}, {"17", "-2", true}, // the customer decides when both are set
            {"", "42", false}, {"-1", "42", false}, {"", "", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(reloadsAsNew(QString::fromLatin1(c.vehicle), QString::fromLatin1(c.customer)),
                  c.isNew)
                << c.vehicle << " / " << c.customer;
}
