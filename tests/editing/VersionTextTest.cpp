#include "editing/VersionText.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

VersionBox box(const char *text, const char *loaded = "")
{
    return {true, QString::fromLatin1(text), QString::fromLatin1(loaded)};
}

} // namespace

TEST(VersionText, ModelAndTypeVersion)
{
    const VersionBox none {};
    const struct
    {
        const char *what;
        VersionMemo state;
        VersionBox model;
        VersionBox typeVersion; // not described: none
        VersionMemo expected;
    } cases[] = {
            // clang-format off
            {"loaded model replaced", {"GOLF 1.6 TDI Confort", "", ""}, box("Polo", "GOLF"), none,
             {"POLO 1.6 TDI Confort", "Polo", ""}},
            {"missing model in front", {"  1.6 TDI Confort ", "", ""}, box("Polo", "GOLF"), none,
             {"POLO 1.6 TDI Confort", "Polo", ""}},
            {"last model, any case, first only", {"Confort polo polo", "POLO", ""}, box("T-Roc", "GOLF"), none,
             {"Confort T-ROC polo", "T-Roc", ""}},
            {"no loaded model: own text", {"x GOLF", "", ""}, box("golf"), none,
             {"x GOLF", "golf", ""}},
            {"empty model", {"GOLF GTI", "", ""}, box(""), none, {"GOLF GTI", "", ""}},
            {"not described", {"GOLF GTI", "", ""}, {false, "POLO", "GOLF"}, none, {"GOLF GTI", "", ""}},
            {"type-version replaced", {"GOLF 1.6 TDI", "GOLF", "1.6 TDI"}, box("GOLF"), box("2.0 tdi"),
             {"GOLF 2.0 TDI", "GOLF", "2.0 tdi"}},
            {"type-version appended", {"GOLF Confort ", "GOLF", "GTI"}, box("GOLF"), box("R-Line"),
             {"GOLF Confort R-LINE", "GOLF", "R-Line"}},
            {"type-version from loaded", {"POLO Life", "", ""}, box("Polo", "POLO"), box("Style", "Life"),
             {"POLO STYLE", "Polo", "Style"}},
            // clang-format on
    };
    for (const auto &c : cases) {
        const VersionMemo out = UpdateVersion(c.state, c.model,
                                              c.typeVersion.described ? &c.typeVersion : nullptr);
        EXPECT_EQ(out.memo, c.expected.memo) << c.what;
        EXPECT_EQ(out.LastModel, c.expected.LastModel) << c.what;
        EXPECT_EQ(out.LastTypeVersion, c.expected.LastTypeVersion) << c.what;
    }
}

TEST(VersionText, SuccessiveChangesFollowTheLastModel)
{
    VersionMemo m {QStringLiteral("GOLF 1.6 TDI"), QString(), QString()};
    m = UpdateVersion(m, box("Polo", "GOLF"), nullptr);
    m = UpdateVersion(m, box("Up", "GOLF"), nullptr);
    EXPECT_EQ(m.memo, "UP 1.6 TDI");
}
