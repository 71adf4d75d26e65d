// The costs grid against the reference server: costs added from the add row, edited and
// deleted through their glyph, the fixed fee, a refused save in the middle of an edit.
#include "grids/GridInput.h"
#include "ui/EditingWindow.h"

#include "editing/Messages.h"
#include "grids/GridTexts.h"

namespace {

using namespace dravik::seed;

class CostsGrid : public EditingWindow
{
protected:
    static QString costs(int id)
    {
        return QStringLiteral("from \"tVO - Frevo\" where idVO=%1").arg(id);
    }
    // A vehicle of the demo with no cost at all, sold to a dealer (no fixed fee).
    static int bareVehicle(int n)
    {
        const int id = usedVehicle(30 + n);
        dbExec(QStringLiteral("delete ") + costs(id));
        dbExec(QStringLiteral("update tVehicles set Destination='MARCHANDS' where idVO=%1")
                       .arg(id));
        return id;
    }
    DataGrid &costsTab(TAxDravik &w)
    {
        clickTab(w, 4);
        auto *grid = w.Control<DataGrid>(QStringLiteral("ngFrevo"));
        EXPECT_NE(grid, nullptr);
        return *grid;
    }
};

TEST_F(CostsGrid, CostAddedEditedAndDeleted)
{
    const int id = bareVehicle(0);
    auto w = openVehicle(kUserSalesperson, id);
    DataGrid &grid = costsTab(*w);
    // Only the add row, dated today and internal, with its glyph.
    ASSERT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cellText(0, 2), QStringLiteral("15/01/2026"));
    EXPECT_EQ(grid.cellText(0, 7), GridText::NewCostType);
    EXPECT_EQ(grid.cellText(0, 0), QStringLiteral("1"));

    clickCell(grid, 0, 0);
    ASSERT_EQ(count(costs(id)), 1) << w->LbDebugInfo0->text().toStdString();
    auto row = dbRow(QStringLiteral("select * ") + costs(id));
    EXPECT_EQ(row.value("DateFrevo"), QStringLiteral("2026-01-15"));
    EXPECT_EQ(row.value("TypeFrevo"), QStringLiteral("interne"));
    EXPECT_EQ(row.value("MontantHT"), QStringLiteral("<null>"));
    // Reloaded: the new cost, then a fresh add row.
    ASSERT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cellText(0, 0), QStringLiteral("0"));

    const struct
    {
        int column;
        const char *typed, *column_name, *stored;
    } edits[] = {
            {8, "12.5", "MontantHT", "12.5"},
            {3, "Pneus l'hiver", "LibelleFrevo", "Pneus l'hiver"},
            // Longer than its column: what the column takes.
            {5, "GARAGE DES QUATRE CHEMINS DU SUD", "NomFournisseur", "GARAGE DES QUATRE CH"},
    };
    for (const auto &e : edits) {
        typeInCell(grid, 0, e.column, QString::fromUtf8(e.typed));
        ASSERT_TRUE(w->JvXPBtnSave->isEnabled()) << e.column_name;
        EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" *"))) << e.column_name;
        click(w->JvXPBtnSave);
        EXPECT_EQ(status(*w), EditingText::Saved) << w->LbDebugInfo0->text().toStdString();
        EXPECT_EQ(db(QStringLiteral("select %1 ").arg(QLatin1String(e.column_name)) + costs(id)),
                  QString::fromUtf8(e.stored));
        // Sent once: nothing waits any more.
        EXPECT_FALSE(w->JvXPBtnSave->isEnabled()) << e.column_name;
        EXPECT_FALSE(w->windowTitle().endsWith(QStringLiteral(" *"))) << e.column_name;
    }
    EXPECT_EQ(text(*w, "cFrevo"), QStringLiteral("12.50"));
    EXPECT_EQ(text(*w, "cFrevoInterne"), QStringLiteral("12.50"));
    EXPECT_EQ(text(*w, "cFrevoFixe"), QString());

    clickCell(grid, 0, 0);
    EXPECT_EQ(count(costs(id)), 0);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(text(*w, "cFrevo"), QString());
}

TEST_F(CostsGrid, DatesOutsideTheLimitsAreRefusedWithTheirMessage)
{
    const int id = bareVehicle(1);
    auto w = openVehicle(kUserSalesperson, id);
    DataGrid &grid = costsTab(*w);
    clickCell(grid, 0, 0);
    ASSERT_EQ(count(costs(id)), 1);
    const QString saved = grid.cellText(0, 2);
    const QString message = GridText::dateRange(
            QStringLiteral("DateFrevo"), w->OptDates.OptLimiteDateDebFrevo, w->OptDates.OptNow);
    for (const char *typed : {"01/01/1990", "01/01/2099", "12/0"}) {
        typeInCell(grid, 0, 2, QLatin1String(typed), 8);
        EXPECT_EQ(grid.cellText(0, 2), saved) << typed;
        EXPECT_FALSE(w->JvXPBtnSave->isEnabled()) << typed;
    }
    ASSERT_GE(boxes().asked.size(), 3);
    EXPECT_EQ(boxes().asked.last().title, GridText::CostDateTitle);
    EXPECT_EQ(boxes().asked.last().text, message);
    EXPECT_EQ(db(QStringLiteral("select DateFrevo ") + costs(id)), QStringLiteral("2026-01-15"));
}

TEST_F(CostsGrid, RefusedSaveKeepsTheRowPendingAndSendsItOnlyOnce)
{
    const int id = bareVehicle(2);
    auto w = openVehicle(kUserSalesperson, id);
    DataGrid &grid = costsTab(*w);
    clickCell(grid, 0, 0);
    clickCell(grid, 1, 0); // a second cost, from the new add row
    ASSERT_EQ(count(costs(id)), 2);
    dbExec(QStringLiteral("create trigger refuse_costs before update on \"tVO - Frevo\" "
                          "begin select raise(abort, 'coûts verrouillés'); end"));
    typeInCell(grid, 0, 8, QStringLiteral("40"));
    click(w->JvXPBtnSave);

    EXPECT_FALSE(w->LbDebugInfo0->text().isEmpty());
    EXPECT_TRUE(w->PanelWarning->isVisible());
    // Still waiting, the cell as typed; moving to another row is refused while it cannot go.
    EXPECT_TRUE(w->JvXPBtnSave->isEnabled());
    EXPECT_EQ(grid.cellText(0, 8), QStringLiteral("40"));
    clickCell(grid, 1, 8);
    EXPECT_EQ(grid.currentRow(), 0);
    dbExec(QStringLiteral("drop trigger refuse_costs"));

    click(w->JvXPBtnSave);
    EXPECT_EQ(status(*w), EditingText::Saved);
    EXPECT_EQ(count(costs(id) + QStringLiteral(" and MontantHT=40")), 1);
    // A later save of the other row does not send the first one again.
    dbExec(QStringLiteral("update \"tVO - Frevo\" set MontantHT=41 where MontantHT=40 and idVO=%1")
                   .arg(id));
    typeInCell(grid, 1, 8, QStringLiteral("7"));
    click(w->JvXPBtnSave);
    EXPECT_EQ(count(costs(id) + QStringLiteral(" and MontantHT=41")), 1);
    EXPECT_EQ(count(costs(id) + QStringLiteral(" and MontantHT=7")), 1);
}

TEST_F(CostsGrid, FixedFeeAddedOnceForAPrivateBuyer)
{
    const int id = bareVehicle(3);
    dbExec(QStringLiteral("update tVehicles set Destination='PARTICULIERS', Site='VALENCE' "
                          "where idVO=%1")
                   .arg(id));
    auto w = openVehicle(kUserSalesperson, id);
    for (const char *price : {"15000", "15100"}) {
        retype(*w, "cPrixVente", QLatin1String(price));
        click(w->JvXPBtnSave);
        EXPECT_EQ(status(*w), EditingText::Saved) << w->LbDebugInfo0->text().toStdString();
        EXPECT_EQ(count(costs(id) + QStringLiteral(" and TypeFrevo='fixe'")), 1) << price;
    }
    EXPECT_EQ(db(QStringLiteral("select MontantHT ") + costs(id)), QStringLiteral("180"));
}

TEST_F(CostsGrid, AccountingNumberLocksTheCostForOthers)
{
    const int id = bareVehicle(4);
    dbExec(QStringLiteral("insert into \"tVO - Frevo\" (idVO, DateFrevo, TypeFrevo, MontantHT, "
                          "NComptable, NFacture) values (%1, '2025-12-01', 'externe', 90, "
                          "'6063123456', 'F77')")
                   .arg(id));
    const struct
    {
        int user;
        const char *glyph;
        bool amountOpen, accountOpen, addRow;
    } cases[] = {
            {kUserSalesperson, "2", false, false, true},
            {kUserCompta, "0", true, true, true},
    };
    for (const auto &c : cases) {
        auto w = openVehicle(c.user, id);
        DataGrid &grid = costsTab(*w);
        ASSERT_EQ(grid.rowCount(), c.addRow ? 2 : 1) << c.user;
        EXPECT_EQ(grid.cellText(0, 0), QLatin1String(c.glyph)) << c.user;
        clickCell(grid, 0, 3);
        EXPECT_EQ(grid.cellEditable(0, 8), c.amountOpen) << c.user;
        EXPECT_EQ(grid.cellEditable(0, 4), c.accountOpen) << c.user;
        EXPECT_EQ(text(*w, "cFrevoExterne"), QStringLiteral("90.00"));
        // Looking changes nothing.
        EXPECT_EQ(count(costs(id)), 1) << c.user;
        EXPECT_FALSE(w->JvXPBtnSave->isEnabled()) << c.user;
    }
}

} // namespace
