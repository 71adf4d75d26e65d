#include "EquipFixture.h"

#include "editing/ChoiceIndex.h"
#include "editing/ComboLists.h"
#include "editing/FieldReactions.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

// Each parent field refills its dependent box from the right group of the choice lists.
TEST(FieldReactions, CascadesReadTheChoiceLists)
{
    const struct
    {
        const char *handler, *value, *dependent;
        QStringList entries;
    } cases[] = {
            {"cInfoMarqueChange", "peugeot ", "cInfoModele", {"208", "308"}},
            {"vInfoMarqueChange", "Renault", "vInfoModele", {"Clio"}},
            {"cVDInfoMarqueChange", "vw", "cVDInfoModele", {"Golf", "Polo"}},
            {"cVNInfoModeleChange", "Golf", "cVNInfoTypeVersion", {"1.6 TDI", "GTI"}},
            {"cVDInfoModeleChange", "golf", "cVDInfoTypeVersion", {"1.6 TDI", "GTI"}},
    };
    for (const auto &c : cases) {
        const FieldReaction *r = fieldReaction(QString::fromLatin1(c.handler));
        ASSERT_TRUE(r && r->dependent) << c.handler;
        EXPECT_EQ(r->recording, Recording::List) << c.handler;
        EXPECT_EQ(r->dependent->combo, QString::fromLatin1(c.dependent)) << c.handler;
        const auto group = dependentGroup(ChoiceIndex(equipDoc()), QString::fromLatin1(c.value),
                                          r->dependent->textElement, r->dependent->filterElement,
                                          r->dependent->item);
        ASSERT_TRUE(group) << c.handler;
        EXPECT_EQ(*group, c.entries) << c.handler;
    }
}
