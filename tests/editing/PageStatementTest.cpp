#include "SqlFixture.h"

#include "editing/PageStatement.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TsDesc field(const char *name, int tInfo, const char *value, bool bound = true)
{
    TsDesc d;
    d.FieldName = QString::fromLatin1(name);
    d.tInfo = tInfo;
    d.LoadedValue = d.CurrentValue = QString::fromUtf8(value);
    if (bound)
        bindControl(d);
    return d;
}

// A used-vehicle tab: key idVO, then bound fields of every data kind and the excluded ones,
// then a field without control that is not a key.
std::vector<TsDesc> vehicleTab()
{
    std::vector<TsDesc> d = {
            field("idVO", 4, "12", false),   field("Prix", 5, "9500.00"),
            field("Couleur", 2, "Rouge"),    field("DateEntree", 1, "01/03/2024"),
            field("Garantie", 3, "False"),   field("NbPortes", 4, "5"),
            field("PrixFDM", 5, "10.00"),    field("FrevoTotal", 5, "0.00"),
            field("Controle", 2, "ok"),      field("Affiche", 2, "x"),
            field("Trailing", 4, "", false),
    };
    d[8].TagList = QStringLiteral(";ADMINS;readonly;");
    d[9].SourceElement = QStringLiteral("PrixAffiche");
    return d;
}

StatementContext updateContext()
{
    StatementContext ctx;
    ctx.table = QStringLiteral("tVehicles");
    ctx.tab = 1;
    ctx.RecordKind = QStringLiteral("_TVO");
    ctx.TypeVO = QStringLiteral("1");
    ctx.idUser = QStringLiteral("7");
    ctx.UserConcession = QStringLiteral("ZOLVARE");
    ctx.today = QDate(2024, 3, 15);
    return ctx;
}

QString compose(const std::vector<TsDesc> &descs, const StatementContext &ctx)
{
    return composePageStatement(descs, ctx).PendingSql;
}

} // namespace

TEST(PageStatement, UpdateOfChangedFields)
{
    using Edit = std::function<void(std::vector<TsDesc> &)>;
    const struct
    {
        const char *what;
        Edit edit;
        const char *expected;
    } cases[] = {
            {"nothing changed", [](auto &) {}, ""},
            {"decimal comma", [](auto &d) { d[1].CurrentValue = " 12500,50 "; },
             "Update tVehicles set Prix=12500.50 where (idVO=12)"},
            {"old value typed back", [](auto &d) { d[2].CurrentValue = "Rouge"; }, ""},
            {"case counts", [](auto &d) { d[2].CurrentValue = "rouge"; },
             "Update tVehicles set Couleur='rouge' where (idVO=12)"},
            {"date emptied", [](auto &d) { d[3].CurrentValue = ""; },
             "Update tVehicles set DateEntree=NULL where (idVO=12)"},
            {"boolean and integer as they stand",
             [](auto &d) {
                 d[4].CurrentValue = "True";
                 d[5].CurrentValue = "3";
             },
             "Update tVehicles set Garantie=True,NbPortes=3 where (idVO=12)"},
            {"excluded fields never appear",
             [](auto &d) {
                 d[6].CurrentValue = "99";
                 d[7].CurrentValue = "";
                 d[8].CurrentValue = "changed";
                 d[9].CurrentValue = "changed";
             },
             ""},
            {"a FREVO field with a real amount is compared",
             [](auto &d) { d[7].CurrentValue = "5"; },
             "Update tVehicles set FrevoTotal=5 where (idVO=12)"},
            {"columns in descriptor order",
             [](auto &d) {
                 d[2].CurrentValue = "Bleu";
                 d[1].CurrentValue = "1";
             },
             "Update tVehicles set Prix=1,Couleur='Bleu' where (idVO=12)"},
            {"empty key reads isNull",
             [](auto &d) {
                 d[0].LoadedValue = "";
                 d[2].CurrentValue = "Bleu";
             },
             "Update tVehicles set Couleur='Bleu' where (isNull(idVO))"},
            {"two keys",
             [](auto &d) {
                 d.insert(d.begin() + 1, field("Concession", 2, "ZOLVARE", false));
                 d[3].CurrentValue = "Bleu";
             },
             "Update tVehicles set Couleur='Bleu' where (idVO=12) and (Concession='ZOLVARE')"},
    };
    for (const auto &c : cases) {
        std::vector<TsDesc> descs = vehicleTab();
        c.edit(descs);
        const PageStatement s = composePageStatement(descs, updateContext());
        EXPECT_EQ(s.PendingSql, QString::fromUtf8(c.expected)) << c.what;
        EXPECT_EQ(s.changed, !s.PendingSql.isEmpty()) << c.what;
    }
}

TEST(PageStatement, BracketedTable)
{
    std::vector<TsDesc> descs = vehicleTab();
    descs[1].CurrentValue = QStringLiteral("1");
    StatementContext ctx = updateContext();
    ctx.table = QStringLiteral("tVO - Stock");
    EXPECT_EQ(compose(descs, ctx), "Update [tVO - Stock] set Prix=1 where (idVO=12)");
}

TEST(PageStatement, DateMaskCountsAsEmpty)
{
    EXPECT_EQ(editValue(DataKind::Date, QStringLiteral("__/__/____")), "");
    EXPECT_EQ(editValue(DataKind::Date, QStringLiteral("12/0_/____")), "12/0_/____");
    EXPECT_EQ(editValue(DataKind::Text, QStringLiteral("__/__/____")), "__/__/____");
}

TEST(PageStatement, InsertTails)
{
    // A new record: every field starts empty as loaded and shows its default.
    const auto newRecord = [](std::vector<TsDesc> descs) {
        for (TsDesc &d : descs)
            d.LoadedValue.clear();
        return descs;
    };
    const struct
    {
        const char *what;
        int tab;
        const char *kind, *table, *TypeVO;
        int idTypeVO;
        std::vector<TsDesc> descs;
        const char *expected;
    } cases[] = {
            {"used vehicle", 1, "_TVO", "tVehicles", "1", 1,
             newRecord({field("idVO", 4, "", false), field("Prix", 5, "100,5"),
                        field("Couleur", 2, ""), field("Marque", 2, "Peugeot")}),
             "Insert into tVehicles (Prix,Marque, idTVO, TypeVO, idVO, idOwner, Concession) "
             "Values (100.5,'Peugeot', :NewID, 1, :NewIDbis,7, 'ZOLVARE')"},
            {"TypeVO from idTypeVO", 3, "_TVN", "tVehicles", "", 3,
             newRecord({field("Prix", 5, "1")}),
             "Insert into tVehicles (Prix, idTVO, TypeVO, idVO, idOwner, Concession) "
             "Values (1, :NewID, 3, :NewIDbis,7, 'ZOLVARE')"},
            {"TypeVO 1 without idTypeVO", 2, "_TVD", "tVehicles", "", 0,
             newRecord({field("Prix", 5, "1")}),
             "Insert into tVehicles (Prix, idTVO, TypeVO, idVO, idOwner, Concession) "
             "Values (1, :NewID, 1, :NewIDbis,7, 'ZOLVARE')"},
            {"customer", 7, "_TCL", "tClients", "", 0,
             newRecord({field("idClient", 4, "", false), field("Nom", 2, "l'Été")}),
             "Insert into tClients (Nom, idClient, DateCreation, idOwner, Concession) "
             "Values ('l''Été', :NewID, #03/15/2024#,7, 'ZOLVARE')"},
            {"customer vehicle", 8, "_TCL", "TVehiclesClarim", "", 0,
             newRecord({field("Marque", 2, "VW"), field("KMS", 4, "")}),
             "Insert into TVehiclesClarim (Marque, idClient, idTVO, NVO, idOwner, Concession) "
             "Values ('VW',42, :NewID, :NewIDbis,7, 'ZOLVARE')"},
            {"only empty fields", 1, "_TVO", "tVehicles", "1", 1, newRecord({field("Prix", 5, "")}),
             ""},
    };
    for (const auto &c : cases) {
        StatementContext ctx = updateContext();
        ctx.insert = true;
        ctx.tab = c.tab;
        ctx.RecordKind = QString::fromLatin1(c.kind);
        ctx.table = QString::fromLatin1(c.table);
        ctx.TypeVO = QString::fromLatin1(c.TypeVO);
        ctx.idTypeVO = c.idTypeVO;
        ctx.customerId = QStringLiteral("42");
        EXPECT_EQ(compose(c.descs, ctx), QString::fromUtf8(c.expected)) << c.what;
    }
}

TEST(PageStatement, UnwritableValues)
{
    const struct
    {
        int index;
        const char *typed;
        bool writable;
        const char *assignment;
    } cases[] = {
            {3, "12/0_/____", false, "DateEntree=NULL"},
            {1, "12abc", false, "Prix='12abc'"},
            {1, "-12,5", true, "Prix=-12.5"},
            {5, "1, Prix=0", false, "NbPortes='1, Prix=0'"},
            {4, "Vrai) or (1=1", false, "Garantie='Vrai) or (1=1'"},
            {2, "anything ' at all", true, "Couleur='anything '' at all'"},
    };
    for (const auto &c : cases) {
        std::vector<TsDesc> descs = vehicleTab();
        descs[size_t(c.index)].CurrentValue = QString::fromUtf8(c.typed);
        EXPECT_EQ(firstUnwritableField(descs), c.writable ? -1 : c.index) << c.typed;
        EXPECT_EQ(compose(descs, updateContext()),
                  QStringLiteral("Update tVehicles set %1 where (idVO=12)")
                          .arg(QString::fromUtf8(c.assignment)))
                << c.typed;
    }
    // Excluded fields are not sent, so they cannot block a save.
    std::vector<TsDesc> descs = vehicleTab();
    descs[6].CurrentValue = QStringLiteral("abc");
    EXPECT_EQ(firstUnwritableField(descs), -1);
}
