#include "engine/QtPrinters.h"

#include "editing/ChoiceIndex.h"

#include <gtest/gtest.h>

TEST(ChoiceIndex, FirstRunOfEachValue)
{
    const ChoiceIndex index(TXml(
            "<ParsS><Pars><type>A</type><text>1</text></Pars><Pars><type>a</type><text>2</text></"
            "Pars>"
            "<Pars><type>B</type><text>3</text></Pars><Pars><type>A</type><text>4</text></Pars>"
            "<Pars><type></type><text>5</text></Pars><Pars><type>B</type><text>6</text></Pars>"
            "</ParsS>"));
    EXPECT_EQ(index.group("Pars", "text", "type", "A"), (QStringList {"1", "2"}));
    EXPECT_EQ(index.group("Pars", "text", "type", "B"), QStringList {"3"});
    EXPECT_EQ(index.group("Pars", "text", "type", ""), QStringList {"5"});
    EXPECT_TRUE(index.group("Pars", "text", "type", "C").isEmpty());
    EXPECT_EQ(index.group("Pars", "type", "type", "B"), QStringList {"B"}); // another text element
    EXPECT_EQ(index.group("Pars", "text", "", "ignored").size(), 6); // no filter: every item
    EXPECT_TRUE(ChoiceIndex().group("Pars", "text", "type", "A").isEmpty());
}
