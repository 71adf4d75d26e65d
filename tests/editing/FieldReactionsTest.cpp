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
        const char *parent, *value, *dependent;
        QStringList entries;
    } cases[] = {
            {"cInfoMarque", "peugeot ", "cInfoModele", {"208", "308"}},
            {"vInfoMarque", "Renault", "vInfoModele", {"Clio"}},
            {"cVDInfoMarque", "vw", "cVDInfoModele", {"Golf", "Polo"}},
            {"cVNInfoModele", "Golf", "cVNInfoTypeVersion", {"1.6 TDI", "GTI"}},
            {"cVDInfoModele", "golf", "cVDInfoTypeVersion", {"1.6 TDI", "GTI"}},
    };
    for (const auto &c : cases) {
        const FieldReaction *r = fieldReaction(QString::fromLatin1(c.parent));
        ASSERT_TRUE(r && r->dependent) << c.parent;
        EXPECT_EQ(r->recording, Recording::List) << c.parent;
        EXPECT_EQ(r->dependent->combo, QString::fromLatin1(c.dependent)) << c.parent;
        const auto group = dependentGroup(ChoiceIndex(equipDoc()), QString::fromLatin1(c.value),
                                          r->dependent->textElement, r->dependent->filterElement,
                                          r->dependent->item);
        ASSERT_TRUE(group) << c.parent;
        EXPECT_EQ(*group, c.entries) << c.parent;
    }
}
