#include "engine/QtPrinters.h"

#include "engine/Kinds.h"

#include <gtest/gtest.h>

TEST(Kinds, DataKindRegistry)
{
    const QDate today(2024, 5, 17);
    const struct
    {
        int tInfo, tControl;
        const char *raw, *loaded;
        bool known;
    } cases[] = {
            {1, 109, "now", "17/05/2024", true},
            {1, 109, "01/02/2003", "01/02/2003", true},
            {2, 109, "a &amp; b&cr;c", "a & b\r\nc", true},
            {2, 111, "a &amp; &lt;b&gt;&cr;", "a & <b>&cr;", true},
            {2, 112, "a &amp; b", "a &amp; b", true},
            {2, 109, "now", "now", true},
            {3, 111, "True", "True", true},
            {4, 109, "1 234", "1234", true},
            {5, 109, "1 234,5", "0.00", true},
            {5, 109,
             "1\xA0"
             "234.5",
             "1234.50", true},
            {0, 109, " 12 ", " 12 ", false},
            {42, 109, "now", "now", false},
    };
    for (const auto &c : cases) {
        bool known = false;
        dataKindRule(c.tInfo, &known);
        EXPECT_EQ(known, c.known) << c.tInfo;
        EXPECT_EQ(loadedText(c.tInfo, c.tControl, QString::fromLatin1(c.raw), today),
                  QString::fromLatin1(c.loaded))
                << c.tInfo << " " << c.raw;
    }
}

TEST(Kinds, ControlKindRegistry)
{
    const struct
    {
        int tControl;
        SetupRoutine design, created;
        bool refreshed, labelAbove, known;
    } cases[] = {
            {104, &FieldSetup::SetupButton, &FieldSetup::SetupButton, false, false, true},
            {109, &FieldSetup::SetupEdit, &FieldSetup::SetupEdit, true, false, true},
            {110, &FieldSetup::SetupListBox, &FieldSetup::SetupListBox, true, true, true},
            {111, &FieldSetup::SetupCombo, &FieldSetup::SetupCombo, true, false, true},
            {112, &FieldSetup::SetupCombo, &FieldSetup::SetupCombo, true, false, true},
            {120, nullptr, &FieldSetup::SetupEdit, false, true, true},
            {0, nullptr, &FieldSetup::SetupEdit, false, false, false},
            {105, nullptr, &FieldSetup::SetupEdit, false, false, false},
    };
    for (const auto &c : cases) {
        bool known = false;
        const ControlKindRule &rule = controlKindRule(c.tControl, &known);
        EXPECT_EQ(known, c.known) << c.tControl;
        EXPECT_EQ(rule.designSetup, c.design) << c.tControl;
        EXPECT_EQ(rule.createdSetup, c.created) << c.tControl;
        EXPECT_EQ(rule.refreshed, c.refreshed) << c.tControl;
        EXPECT_EQ(rule.labelAbove, c.labelAbove) << c.tControl;
    }
}
