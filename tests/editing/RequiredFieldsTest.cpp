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
            {"VO", {{"cNVO", ""}}, "cNVO"},
            {"VO", {{"cSite", ""}, {"cInfoMarque", ""}}, "cSite"},
            {"VO", {{"cInfoMarque", ""}}, "cInfoMarque"},
            {"VO", {{"cInfoModele", ""}}, ""}, // the model is required on orders only
            {"VD", {{"cVDNVO", "0"}}, "cVDNVO"},
            {"VN", {{"cVNInfoModele", ""}}, "cVNInfoModele"},
            {"VN", {{"cVNInfoTypeVersion", ""}}, "cVNInfoTypeVersion"},
            {"VO", {{"cDateOrdre", "01/03/2024"}}, "cDestination"},
            {"VO", {{"cDateOrdre", "01/03/2024"}, {"cDestination", "PARTICULIERS"}}, ""},
            {"VD", {{"cDateOrdre", "01/03/2024"}}, ""}, // used vehicles only
            {"VO", {{"cDateEntree", "01/03/2024"}, {"cMEC", "02/03/2024"}}, "cMEC"},
            {"VO", {{"cDateEntree", "01/03/2024"}, {"cMEC", "01/03/2024"}}, ""},
            {"VO", {{"cMEC", "02/03/2024"}}, ""},
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
    TsLine newAction;
    newAction.Cols[2].CurrentValue = QStringLiteral("01/03/2024");
    newAction.Cols[6].CurrentValue = QStringLiteral("Appel");
    newAction.Cols[7].CurrentValue = QStringLiteral("08/03/2024");

    const struct
    {
        const char *what;
        int page;
        bool insertAction;
        std::vector<int> emptyColumns; // columns of the new action left empty
        int vehicleRows;
        const char *customerId;
        Texts changes;
        const char *focus;
        int actionColumn;
        CheckAnswer answer;
    } cases[] = {
            {"complete", 6, true, {}, 1, "42", {}, "", 0, CheckAnswer::FlagNewEnreg},
            {"site first",
             6,
             false,
             {},
             0,
             "42",
             {{"aSite", ""}, {"aCliNom", ""}},
             "aSite",
             0,
             CheckAnswer::FlagNewEnreg},
            {"salesperson",
             6,
             false,
             {},
             0,
             "42",
             {{"aidCom", ""}},
             "aidCom",
             0,
             CheckAnswer::FlagNewEnreg},
            {"name",
             6,
             false,
             {},
             0,
             "42",
             {{"aCliNom", ""}},
             "aCliNom",
             0,
             CheckAnswer::FlagNewEnreg},
            {"other page",
             5,
             false,
             {},
             0,
             "42",
             {{"aCliNom", ""}},
             "",
             0,
             CheckAnswer::FlagNewEnreg},
            {"action date", 6, true, {2, 6}, 0, "42", {}, "", 2, CheckAnswer::FlagNewEnreg},
            {"reminder before comment",
             6,
             true,
             {6, 7},
             0,
             "42",
             {},
             "",
             7,
             CheckAnswer::FlagNewEnreg},
            {"comment", 6, true, {6}, 0, "42", {}, "", 6, CheckAnswer::FlagNewEnreg},
            {"not inserting an action",
             6,
             false,
             {6},
             0,
             "42",
             {},
             "",
             0,
             CheckAnswer::FlagNewEnreg},
            {"vehicle of a new customer",
             7,
             false,
             {},
             1,
             "-2",
             {},
             "",
             0,
             CheckAnswer::FlagNewVehicle},
            {"vehicle brand",
             7,
             false,
             {},
             1,
             "42",
             {{"vInfoMarque", ""}},
             "vInfoMarque",
             0,
             CheckAnswer::FlagNewVehicle},
            {"vehicle model",
             7,
             false,
             {},
             1,
             "42",
             {{"vInfoModele", ""}},
             "vInfoModele",
             0,
             CheckAnswer::FlagNewVehicle},
            {"no vehicle rows",
             7,
             false,
             {},
             0,
             "-2",
             {{"vInfoMarque", ""}},
             "",
             0,
             CheckAnswer::FlagNewEnreg},
    };
    for (const auto &c : cases) {
        TsLine row = newAction;
        for (const int column : c.emptyColumns)
            row.Cols[column].CurrentValue.clear();
        Texts texts = complete;
        texts.insert(c.changes);
        const auto failure = checkCustomerFields(
                {c.page, c.insertAction, &row, c.vehicleRows, QString::fromLatin1(c.customerId)},
                textsOf(texts));
        const bool fails = *c.focus || c.actionColumn || c.answer == CheckAnswer::FlagNewVehicle;
        ASSERT_EQ(bool(failure), fails) << c.what;
        if (!failure)
            continue;
        EXPECT_EQ(failure->control, QString::fromLatin1(c.focus)) << c.what;
        EXPECT_EQ(failure->actionColumn, c.actionColumn) << c.what;
        EXPECT_EQ(failure->actionRow, c.actionColumn ? 0 : -1) << c.what;
        EXPECT_EQ(failure->answer, c.answer) << c.what;
    }
}

TEST(RequiredFields, AnswerOfAFailedCheck)
{
    EXPECT_FALSE(checkAnswer(CheckAnswer::FlagNewEnreg, false, true));
    EXPECT_TRUE(checkAnswer(CheckAnswer::FlagNewEnreg, true, false));
    EXPECT_TRUE(checkAnswer(CheckAnswer::FlagNewVehicle, false, true));
}
