#include "engine/ViewRules.h"

#include "engine/QtPrinters.h"
#include "gateway/TXml.h"

#include <gtest/gtest.h>

TEST(ViewRules, ToolbarByKindAndRights)
{
    const struct
    {
        const char *kind;
        bool admin, compta;
        const char *user;
        bool kindButton, del, sweep, panel, diagnostic, options;
    } cases[] = {
            {"_TVO", false, false, "Paul", true, false, false, false, false, false},
            {"_TVO", true, false, "Paul", true, true, false, false, false, false},
            {"_TVD", false, true, "Paul", false, false, false, true, false, true},
            {"_TVN", true, false, "Paul", true, true, true, false, false, true},
            {"_TVN", false, false, "Paul", true, false, false, false, false, true},
            {"_TCL", false, false, "Paul", true, true, false, false, false, false},
            {"_TCL", true, false, "Martine TARDOX", true, true, false, false, true, false},
            // Only an administrator, and only with the name in capitals, gets the view.
            {"_TVO", false, false, "Martine TARDOX", true, false, false, false, false, false},
            {"_TVO", true, false, "Martine Tardox", true, true, false, false, false, false},
    };
    for (const auto &c : cases) {
        const ToolbarState s
                = toolbarFor(QLatin1String(c.kind), c.admin, c.compta, QString::fromUtf8(c.user));
        const QString at
                = QStringLiteral("%1 %2 %3 %4").arg(c.kind).arg(c.admin).arg(c.compta).arg(c.user);
        EXPECT_EQ(s.kindButton, c.kindButton) << at.toStdString();
        EXPECT_EQ(s.deleteButton, c.del) << at.toStdString();
        EXPECT_EQ(s.sweepButton, c.sweep) << at.toStdString();
        EXPECT_EQ(s.accountingPanel, c.panel) << at.toStdString();
        EXPECT_EQ(s.diagnosticView, c.diagnostic) << at.toStdString();
        EXPECT_EQ(s.optionsSummary, c.options) << at.toStdString();
    }
    // The load time follows the name in any case, whatever the rights.
    EXPECT_TRUE(loadTimeVisible(QStringLiteral("Martine tardox")));
    EXPECT_FALSE(loadTimeVisible(QStringLiteral("Martine TARDO")));
}

TEST(ViewRules, HintsFollowTheRecordShown)
{
    const struct
    {
        const char *hint;
        bool customer;
        const char *expected;
    } cases[] = {
            {"rechargement des informations du véhicule", true,
             "rechargement des informations du client"},
            {"rechargement des informations du client", false,
             "rechargement des informations du véhicule"},
            // Only the word in exactly that case starts the change, which then ignores case.
            {"Véhicule suivant", true, "Véhicule suivant"},
            {"véhicule ou Véhicule", true, "client ou client"},
            {"Client", false, "Client"},
            {"enregistrement suivant", true, "enregistrement suivant"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rewordHint(QString::fromUtf8(c.hint), c.customer), QString::fromUtf8(c.expected))
                << c.hint;
}

TEST(ViewRules, ReservationOfTheRecord)
{
    TXml doc(QStringLiteral(
            "<Answer><User><Name_>x</Name_></User><ResaS><Resa><DResaMax>16/12/2026</DResaMax>"
            "<Vendeur>Julien ROCHE</Vendeur><Acheteur>LAURENT</Acheteur>"
            "<Commentaire>Acompte versé</Commentaire></Resa><Resa><DResaMax>01/01/2027"
            "</DResaMax></Resa></ResaS><tVO><idVO>1</idVO></tVO></Answer>"));
    const auto captions = readReservation(doc);
    ASSERT_TRUE(captions.has_value());
    EXPECT_EQ((*captions)[0], QStringLiteral("Réservation jusqu'au 16/12/2026 inclus."));
    EXPECT_EQ((*captions)[1], QStringLiteral("Vendeur : Julien ROCHE"));
    EXPECT_EQ((*captions)[2], QStringLiteral("Acheteur : LAURENT"));
    EXPECT_EQ((*captions)[3], QStringLiteral("Acompte versé"));

    for (const char *none : {"<Answer><tVO><idVO>1</idVO></tVO></Answer>",
                             "<Answer><ResaS></ResaS><tVO></tVO></Answer>", "<Answer><ResaS>"}) {
        TXml empty(QString::fromLatin1(none));
        EXPECT_FALSE(readReservation(empty).has_value()) << none;
    }
}
