#include "search/Identity.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

TEST(Identity, LineOfCivilityNameAndFirstName)
{
    const struct
    {
        const char *civility, *name, *firstName, *line;
    } cases[] = {
            {"M.", "xyz", "aBC", "M. XYZ Abc"},
            {"", "xyz", "aBC", "XYZ Abc"},
            {"M.", "", "aBC", "M.  Abc"},
            {"Mme", "dupont", "", "Mme DUPONT "},
            {"", "", "", ""},
            // Accented letters keep their case.
            {"", "élodie", "éRIC", "éLODIE éric"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(identityLine(QString::fromUtf8(c.civility), QString::fromUtf8(c.name),
                               QString::fromUtf8(c.firstName)),
                  QString::fromUtf8(c.line))
                << c.name;
    EXPECT_EQ(identityTitle(QStringLiteral("M. XYZ Abc")), QStringLiteral("ClarimII - M. XYZ Abc"));
}
