#include "SqlFixture.h"

#include "editing/ListMaintenance.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

ListEntry entry(const char *table, const char *list, const char *text)
{
    ListEntry e;
    e.ListTable = QString::fromLatin1(table);
    e.ListName = QString::fromLatin1(list);
    e.text = QString::fromUtf8(text);
    e.brand = QStringLiteral("Citroën l'Ami");
    e.model = QStringLiteral("C3 & co");
    e.version = QStringLiteral("1.2 'Feel'");
    e.UserConcession = QStringLiteral("ZOLVARE");
    return e;
}

} // namespace

TEST(ListMaintenance, Statements)
{
    const struct
    {
        ListAction action;
        const char *table;
        const char *expected;
    } cases[] = {
            {ListAction::Delete, "ListRubrics",
             "Delete * From ListRubrics where RubricType='Couleur' and RubricText='Gris '' clair'"},
            {ListAction::Add, "listrubrics",
             "Insert into ListRubrics (RubricType, RubricIndex, RubricItem, RubricText) Values "
             "('Couleur', 0, '..' ,'Gris '' clair')"},
            {ListAction::Delete, "ListModels",
             "Delete * From ListModels where VMarque='Citroën l''Ami' and VModele='C3 %26 co'"},
            {ListAction::Add, "ListModels",
             "Insert into ListModels (VMarque, VModele) Values ('Citroën l''Ami', 'C3 %26 co')"},
            {ListAction::Delete, "LISTVERSIONS",
             "Delete * From ListVersions where VMarque='Citroën l''Ami' and VModele='C3 %26 co' "
             "and VVersion='1.2 ''Feel''' and VConcession='ZOLVARE'"},
            {ListAction::Add, "ListVersions",
             "Insert into ListVersions (VMarque, VModele, VVersion, VConcession) Values "
             "('Citroën l''Ami', 'C3 %26 co', '1.2 ''Feel''', 'ZOLVARE')"},
            {ListAction::Add, "Pars", ""},
            {ListAction::Delete, "", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(listStatement(c.action, entry(c.table, "Couleur", "Gris ' clair")),
                  QString::fromUtf8(c.expected))
                << c.table;
    }
}

TEST(ListMaintenance, BrandQuotedAsItStands)
{
    // The brand keeps its blanks; what the address would decode or split on travels as %XX.
    ListEntry e = entry("ListVersions", "InfoTypeVersion", "");
    e.brand = QStringLiteral(" A&B%27 or 1=1 ");
    EXPECT_TRUE(listStatement(ListAction::Delete, e)
                        .startsWith("Delete * From ListVersions where VMarque=' A%26B%2527 or "
                                    "1=1 ' and"));
    EXPECT_TRUE(listStatement(ListAction::Add, e).contains("Values (' A%26B%2527 or 1=1 ', "));
}

TEST(ListMaintenance, BoxesOfTheControlsTab)
{
    // A version is maintained with the brand and model of the control's own tab.
    const ListBoxes vd = listMaintenanceBoxes("ListVersions", "cvdInfoTypeVersion");
    EXPECT_EQ(QStringList({vd.brand, vd.model, vd.version}),
              (QStringList {"cVDInfoMarque", "cVDInfoModele", "cVDInfoTypeVersion"}));
    const ListBoxes vn = listMaintenanceBoxes("LISTVERSIONS", "cVNInfoTypeVersion");
    EXPECT_EQ(QStringList({vn.brand, vn.model, vn.version}),
              (QStringList {"cVNInfoMarque", "cVNInfoModele", "cVNInfoTypeVersion"}));
    EXPECT_EQ(listMaintenanceBoxes("ListModels", "cInfoModele").brand, "cInfoMarque");
}

TEST(ListMaintenance, Questions)
{
    const ListEntry e = entry("ListRubrics", "Couleur", "Gris");
    EXPECT_EQ(listQuestion(ListAction::Delete, e),
              "Veuillez confirmer la suppression de la valeur 'Gris' pour le champ 'Couleur'");
    EXPECT_EQ(listQuestion(ListAction::Add, e),
              "Veuillez confirmer l'ajout de la valeur 'Gris' pour le champ 'Couleur'");
}
