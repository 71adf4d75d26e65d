// The customer's follow-up actions and vehicles against the reference server: an action made
// from the remembered defaults, the rights of the loyalty group, a vehicle added and deleted.
#include "grids/GridInput.h"
#include "ui/EditingWindow.h"

#include "editing/Messages.h"
#include "grids/GridTexts.h"

namespace {

using namespace dravik::seed;

class CustomerGrids : public EditingWindow
{
protected:
    std::unique_ptr<TAxDravik> openCustomer(int user, int id = kDemoCustomer)
    {
        return open(user, QString(), QString::number(id));
    }
    static QString actions(int id = kDemoCustomer)
    {
        return QStringLiteral("from tActions where idClient=%1").arg(id);
    }
    static QString vehicles(int id = kDemoCustomer)
    {
        return QStringLiteral("from TVehiclesClarim where idClient=%1").arg(id);
    }
};

TEST_F(CustomerGrids, NewActionStartsFromTheRememberedValues)
{
    auto w = openCustomer(kUserClarim);
    const int before = count(actions());
    const QString salesperson
            = db(QStringLiteral("select idCom from tClients where idClient=%1").arg(kDemoCustomer));
    for (const auto &[key, value] : {std::pair {"sAct2", "10/01/2026"},
                                     {"sAct3", "4"},
                                     {"sAct4", "3"},
                                     {"sAct5", "2"},
                                     {"sAct7", "12/05/2026"},
                                     {"sAct9", "1"},
                                     {"sAct10", "2"}})
        ASSERT_TRUE(w->SetTagRegistry(QLatin1String(key),
                                      key == std::string("sAct3") ? salesperson
                                                                  : QLatin1String(value)));
    clickTab(*w, 6);
    auto *grid = w->Control<DataGrid>(QStringLiteral("ngAction"));
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->rowCount(), std::min(before, 99));
    ASSERT_TRUE(w->JvXPBtnNewAction->isEnabled());

    click(w->JvXPBtnNewAction);
    ASSERT_EQ(grid->rowCount(), std::min(before, 99) + 1);
    EXPECT_EQ(grid->cellText(0, 0), QStringLiteral("1"));
    EXPECT_EQ(grid->cellText(0, 2), QStringLiteral("10/01/2026"));
    EXPECT_EQ(grid->cellText(0, 4), grid->columnDef(4).items.value(2));
    EXPECT_EQ(grid->cellText(0, 5), grid->columnDef(5).items.value(1));
    EXPECT_EQ(grid->cellText(0, 8), w->ngActionGetInfoCom(salesperson));
    EXPECT_FALSE(grid->cellText(0, 8).isEmpty());

    // A reminder before the action is refused with its message; the cell keeps its date.
    typeInCell(*grid, 0, 7, QStringLiteral("09/01/2026"), 4);
    ASSERT_FALSE(boxes().asked.isEmpty());
    EXPECT_EQ(boxes().asked.last().title, GridText::ReminderDateTitle);
    EXPECT_EQ(boxes().asked.last().text, GridText::reminderAfter(QDate(2026, 1, 10)));
    EXPECT_EQ(grid->cellText(0, 7), QStringLiteral("12/05/2026"));

    // Without its comment the action cannot be sent.
    clickCell(*grid, 0, 0);
    EXPECT_EQ(count(actions()), before);
    EXPECT_TRUE(status(*w).contains(QLatin1String("\"CommentaireAction\"")))
            << status(*w).toStdString();
    typeInCell(*grid, 0, 6, QStringLiteral("Rappel de l'offre"), 2);
    clickCell(*grid, 0, 0);

    ASSERT_EQ(count(actions()), before + 1) << w->LbDebugInfo0->text().toStdString();
    const auto row = dbRow(QStringLiteral("select * ") + actions()
                           + QStringLiteral(" order by idAction desc"));
    const std::pair<const char *, QString> stored[] = {
            {"DateAction", "2026-01-10"},
            {"idCom", salesperson},
            {"TypeAction", "3"},
            {"SujetAction", "2"},
            {"DateRelance", "2026-05-12"},
            {"idComRelance", salesperson},
            {"SujetRelance", "1"},
            {"PrioriteRelance", "2"},
            {"CommentaireAction", "Rappel de l'offre"},
    };
    for (const auto &[column, value] : stored)
        EXPECT_EQ(row.value(QLatin1String(column)), value) << column;
    // What was sent seeds the next action.
    EXPECT_EQ(w->GetTagRegistry(QStringLiteral("sAct8")), salesperson);
    EXPECT_EQ(grid->cellText(0, 0), QStringLiteral("0"));
}

TEST_F(CustomerGrids, ButtonsAndGlyphsFollowTheLoyaltyGroup)
{
    const struct
    {
        int user;
        bool clarim;
    } cases[] = {{kUserClarim, true}, {kUserSalesperson, false}};
    for (const auto &c : cases) {
        auto w = openCustomer(c.user);
        clickTab(*w, 6);
        EXPECT_EQ(w->JvXPBtnNewAction->isEnabled(), c.clarim) << c.user;
        EXPECT_EQ(w->Control<DataGrid>(QStringLiteral("ngAction"))->isEnabled(), c.clarim);
        clickTab(*w, 7);
        EXPECT_EQ(w->JvXPBtnNewVehicle->isEnabled(), c.clarim) << c.user;
        auto *grid = w->Control<DataGrid>(QStringLiteral("ngVehicles"));
        ASSERT_GT(grid->rowCount(), 0);
        EXPECT_EQ(grid->cellText(0, 0), c.clarim ? QStringLiteral("0") : QStringLiteral("2"));
    }
}

TEST_F(CustomerGrids, VehicleAddedAndDeleted)
{
    auto w = openCustomer(kUserClarim);
    const int before = count(vehicles());
    clickTab(*w, 7);
    auto *grid = w->Control<DataGrid>(QStringLiteral("ngVehicles"));
    ASSERT_EQ(grid->rowCount(), before);

    click(w->JvXPBtnNewVehicle);
    ASSERT_EQ(grid->rowCount(), before + 1);
    EXPECT_EQ(grid->cellText(0, 0), QString());
    EXPECT_EQ(w->VehicleIndex, -1);
    EXPECT_EQ(text(*w, "vImmatriculation"), QString());
    pick(*w, "vInfoMarque", QStringLiteral("PEUGEOT"));
    pick(*w, "vInfoModele", QStringLiteral("308"));
    // The plate keys drop the hyphens and raise the letters.
    retype(*w, "vImmatriculation", QStringLiteral("gh-123-JK"));
    click(w->JvXPBtnSave);
    ASSERT_EQ(count(vehicles()), before + 1) << w->LbDebugInfo0->text().toStdString();
    ASSERT_EQ(grid->rowCount(), before + 1);
    const QString id = db(QStringLiteral("select idtVO ") + vehicles()
                          + QStringLiteral(" and Immatriculation='GH123JK'"));
    int row = -1;
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->cellText(r, 1) == id)
            row = r;
    }
    ASSERT_GE(row, 0);
    EXPECT_EQ(grid->cellText(row, 2), QStringLiteral("GH123JK"));

    // No: nothing happens; Yes: the vehicle goes.
    boxes().answers.push_back(MessageBoxes::Answer::No);
    clickCell(*grid, row, 0);
    EXPECT_EQ(count(vehicles()), before + 1);
    EXPECT_EQ(boxes().asked.last().title, GridText::DeleteTitle);
    EXPECT_EQ(boxes().asked.last().text,
              GridText::deleteVehicle(QStringLiteral("GH123JK"), grid->cellText(row, 3)));
    boxes().answers.push_back(MessageBoxes::Answer::Yes);
    clickCell(*grid, row, 0);
    EXPECT_EQ(count(vehicles()), before);
    EXPECT_EQ(grid->rowCount(), before);
}

} // namespace
