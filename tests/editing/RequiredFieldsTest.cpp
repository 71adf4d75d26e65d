#include "SqlFixture.h"

#include "editing/RequiredFields.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2024, 3, 15);

using Texts = QHash<QString, QString>;

Texts completeVehicle(const QString &p)
{
    return {{p + "NVO", "1024"},
            {p + "Site", "NORD"},
            {p + "InfoMarque", "VW"},
            {p + "InfoModele", "Golf"},
            {p + "InfoTypeVersion", "GTI"}};
}

// The control the check puts the focus into, or "" when the record passes.
QString failing(const QString &caption, const Texts &texts)
{
    const auto failure = checkVehicleFields(caption, textsOf(texts), kToday);
    if (!failure)
        return QString();
    EXPECT_EQ(failure->answer, CheckAnswer::FlagNewEnreg);
    return failure->control;
}

} // namespace

TEST(RequiredFields, VehicleChecksInOrder)
{
    const struct
    {
        const char *caption;
        Texts changes;
        const char *focus;
    } cases[] = {
            {"VO", {}, ""},
            {"VO", {{"cNVO", "0"}}, "cNVO"},
            {"VO", {{"cNVO", "abc"}, {"cSite", ""}}, "cNVO"},
            {"VO", {{"cSite", ""}, {"cInfoMarque", ""}}, "cSite"},
            {"VO", {{"cInfoModele", ""}}, ""}, // the model is required on orders only
            {"VD", {{"cVDNVO", "0"}}, "cVDNVO"},
            {"VN", {{"cVNInfoModele", ""}}, "cVNInfoModele"},
            {"VO", {{"cDateOrdre", "01/03/2024"}}, "cDestination"},
            {"VO", {{"cDateOrdre", "01/03/2024"}, {"cDestination", "PARTICULIERS"}}, ""},
            {"VD", {{"cDateOrdre", "01/03/2024"}}, ""}, // used vehicles only
            {"VO", {{"cDateEntree", "01/03/2024"}, {"cMEC", "02/03/2024"}}, "cMEC"},
            {"VO", {{"cDateEntree", "01/03/2024"}, {"cMEC", "01/03/2024"}}, ""},
            // An unreadable date counts as today.
            {"VO", {{"cDateEntree", "01/03/2024"}, {"cMEC", "xx"}}, "cMEC"},
            {"VO", {{"cDateEntree", "xx"}, {"cMEC", "14/03/2024"}}, ""},
    };
    for (const auto &c : cases) {
        const QString caption = QString::fromLatin1(c.caption);
        Texts texts = completeVehicle(vehiclePrefix(caption));
        texts.insert(c.changes);
        EXPECT_EQ(failing(caption, texts), QString::fromLatin1(c.focus))
                << c.caption << " " << texts.keys().join(',').toStdString();
    }
}

TEST(RequiredFields, CustomerChecks)
{
    const Texts complete = {{"aSite", "NORD"},
                            {"aidCom", "Martin"},
                            {"aCliNom", "Durand"},
                            {"vInfoMarque", "VW"},
                            {"vInfoModele", "Golf"}};
    constexpr auto NewEnreg = CheckAnswer::FlagNewEnreg;
    constexpr auto NewVehicle = CheckAnswer::FlagNewVehicle;
    const struct
    {
        const char *what;
        int page;
        bool insertAction;
        std::vector<int> emptyColumns; // columns of the new action left empty
        int vehicleRows;
        const char *customerId;
        Texts changes;
        const char *focus; // "-": no failure
        int actionColumn;
        CheckAnswer answer;
    } cases[] = {
            // clang-format off
            {"complete",        6, true,  {},     1, "42", {},                               "-",           0, NewEnreg},
            {"site first",      6, false, {},     0, "42", {{"aSite", ""}, {"aCliNom", ""}}, "aSite",       0, NewEnreg},
            {"name",            6, false, {},     0, "42", {{"aCliNom", ""}},                "aCliNom",     0, NewEnreg},
            {"other page",      5, false, {},     0, "42", {{"aCliNom", ""}},                "-",           0, NewEnreg},
            {"action date",     6, true,  {2, 6}, 0, "42", {},                               "",            2, NewEnreg},
            {"reminder first",  6, true,  {6, 7}, 0, "42", {},                               "",            7, NewEnreg},
            {"comment",         6, true,  {6},    0, "42", {},                               "",            6, NewEnreg},
            {"no new action",   6, false, {6},    0, "42", {},                               "-",           0, NewEnreg},
            {"new customer",    7, false, {},     1, "-2", {},                               "",            0, NewVehicle},
            {"vehicle brand",   7, false, {},     1, "42", {{"vInfoMarque", ""}},            "vInfoMarque", 0, NewVehicle},
            {"no vehicle rows", 7, false, {},     0, "-2", {{"vInfoMarque", ""}},            "-",           0, NewEnreg},
            // clang-format on
    };
    for (const auto &c : cases) {
        TsLine row;
        for (const int column : {2, 6, 7})
            row.Cols[column].CurrentValue = QStringLiteral("x");
        for (const int column : c.emptyColumns)
            row.Cols[column].CurrentValue.clear();
        Texts texts = complete;
        texts.insert(c.changes);
        const auto failure = checkCustomerFields(
                {c.page, c.insertAction, &row, c.vehicleRows, QString::fromLatin1(c.customerId)},
                textsOf(texts));
        ASSERT_EQ(bool(failure), QLatin1String(c.focus) != QLatin1String("-")) << c.what;
        if (!failure)
            continue;
        EXPECT_EQ(failure->control, QString::fromLatin1(c.focus)) << c.what;
        EXPECT_EQ(failure->actionColumn, c.actionColumn) << c.what;
        EXPECT_EQ(failure->actionRow, c.actionColumn ? 0 : -1) << c.what;
        EXPECT_EQ(failure->answer, c.answer) << c.what;
    }
}
