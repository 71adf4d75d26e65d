#include "engine/FieldLayout.h"
#include "engine/TsPage.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

TEST(FieldLayout, LabelsStandLeftOfTheirField)
{
    const struct
    {
        int kind, left, labelLeft;
    } cases[] = {
            {109, 93, 5},    {109, 94, 46},   {109, 400, 352}, {109, 401, 379},
            {111, 600, 578}, {110, 300, 300}, {120, 50, 50},
    };
    for (const auto &c : cases)
        EXPECT_EQ(labelLeft(c.kind, c.left), c.labelLeft) << c.kind << " " << c.left;
}

TEST(FieldLayout, LabelRectangles)
{
    const PixelRect field {200, 40, 100, 21};
    EXPECT_EQ(labelRectForCreated(109, field), (PixelRect {152, 42, 0, 21}));
    // A design control placed elsewhere than described gives the label its top.
    const PixelRect control {210, 60, 100, 21};
    EXPECT_EQ(labelRectForDesign(109, field, control), (PixelRect {152, 62, 0, 21}));
    EXPECT_EQ(labelRectForDesign(110, field, control), (PixelRect {210, 42, 0, 21}));
}

TEST(FieldLayout, CreatedControls)
{
    const PixelRect f {10, 20, 100, 21};
    EXPECT_EQ(createdControlRect(110, f), (PixelRect {10, 41, 100, 25}));
    EXPECT_EQ(createdControlRect(112, f), (PixelRect {10, 20, 100, 25}));
    EXPECT_EQ(createdControlRect(104, f), (PixelRect {10, 22, 100, 20}));
    EXPECT_EQ(createdControlRect(109, f), (PixelRect {10, 20, 100, 20}));
}

TEST(FieldLayout, labelWanted)
{
    EXPECT_TRUE(labelWanted(false, false, 109, "Prix", false)); // created: even when hidden
    EXPECT_TRUE(labelWanted(true, true, 109, "Prix", true));
    EXPECT_FALSE(labelWanted(true, false, 109, "Prix", true)); // bound before
    EXPECT_FALSE(labelWanted(true, true, 109, "Prix", false));
    EXPECT_FALSE(labelWanted(true, true, 109, "", true));
    EXPECT_FALSE(labelWanted(false, false, 104, "OK", true));
}

TEST(FieldLayout, SetupLookFollowsTheRight)
{
    const ControlLook with = setupLook(true, 80, clWhite, clRed);
    EXPECT_TRUE(with.enabled);
    EXPECT_EQ(with.background, clWhite);
    EXPECT_EQ(with.textColor, clRed);
    EXPECT_FALSE(setupLook(true, 80, 0, clRed).background.has_value());
    EXPECT_FALSE(setupLook(true, 0, clWhite, clRed).enabled);
    const ControlLook without = setupLook(false, 80, clWhite, clRed);
    EXPECT_FALSE(without.enabled);
    EXPECT_EQ(without.background, clInactiveBorder);
    EXPECT_FALSE(without.textColor.has_value());
}

TEST(FieldLayout, mandatoryMark)
{
    for (const char *empty : {"", "0", "0.00"})
        EXPECT_TRUE(mandatoryMark(true, QString::fromLatin1(empty))) << empty;
    EXPECT_FALSE(mandatoryMark(true, "0.5"));
    EXPECT_FALSE(mandatoryMark(false, ""));
}

TEST(ControlTags, RoundTripIncludingTabZero)
{
    for (int tab : {0, 1, 3, 9}) {
        for (int index : {0, 1, 57, 9999}) {
            const int tag = controlTag(tab, index);
            EXPECT_EQ(tabOfTag(tag), tab) << tab << " " << index;
            EXPECT_EQ(indexOfTag(tag), index) << tab << " " << index;
        }
    }
    EXPECT_EQ(controlTag(3, 12), 20012);
}
