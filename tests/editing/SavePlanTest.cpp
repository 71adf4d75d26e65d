#include "SqlFixture.h"

#include "editing/SavePlan.h"
#include "gateway/TXml.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const QHash<QString, QString> kCompleteVO
        = {{"cNVO", "1024"}, {"cSite", "NORD"}, {"cInfoMarque", "PEUGEOT"}};
const QHash<QString, QString> kCompleteCL
        = {{"aSite", "NORD"}, {"aidCom", "Martin"}, {"aCliNom", "Durand"}};

TsLines rows(std::initializer_list<const char *> statements)
{
    TsLines lines(1); // element 0: the column descriptors
    for (const char *s : statements) {
        TsLine line;
        line.Statement = QString::fromLatin1(s);
        lines.push_back(line);
    }
    return lines;
}

struct Fixture
{
    TabDescTable tabs;
    TsLines frevo = rows({});
    TsLines actions = rows({});

    Fixture()
    {
        TsDesc prix;
        prix.FieldName = QStringLiteral("Prix");
        prix.tInfo = 5;
        bindControl(prix);
        prix.LoadedValue = QStringLiteral("1.00");
        prix.CurrentValue = QStringLiteral("2.00");
        tabs[1].Descs = {prix};
        tabs[1].PendingSql = QStringLiteral("Update tVehicles set Prix=2.00 where (idVO=12)");
        tabs[7].PendingSql = QStringLiteral("Update tClients set Nom='X' where (idClient=42)");
        tabs[8].PendingSql = QStringLiteral("Insert into TVehiclesClarim (...)");
    }

    SaveSnapshot snapshot(const char *caption, int page)
    {
        SaveSnapshot s;
        s.kindCaption = QString::fromLatin1(caption);
        s.shownPage = page;
        s.tabs = &tabs;
        s.FrevoRows = &frevo;
        s.ActionRows = &actions;
        s.customerId = QStringLiteral("42");
        s.today = QDate(2024, 3, 15);
        return s;
    }
};

// "endpoint file statement" of each request, for compact comparisons.
QStringList describe(const SavePlan &plan)
{
    QStringList out;
    for (const SaveRequest &r : plan.requests)
        out << r.endpoint + QLatin1Char(' ') + r.responseFile + QLatin1Char(' ') + r.statement;
    return out;
}

} // namespace

TEST(SavePlan, OrderOfRequests)
{
    const QString tab
            = QStringLiteral("XmlAXSQLVO.xml Update tVehicles set Prix=2.00 where (idVO=12)");
    {
        Fixture f;
        f.frevo = rows({"", "Update [tVO - Frevo] set A=1", "Update [tVO - Frevo] set B=2"});
        f.actions = rows({"Update tActions set C=3"});
        const SavePlan plan = planSave(f.snapshot("VO", 0), textsOf(kCompleteVO));
        // The first pending cost row only, before the tab; no action row after a cost row.
        EXPECT_EQ(describe(plan),
                  (QStringList {"AxUpdate XmlAXSQLFrevo.xml Update [tVO - Frevo] set A=1",
                                "AxUpdate " + tab}));
        EXPECT_EQ(plan.requests[0].row, 2);
        EXPECT_EQ(plan.requests[0].kind, SaveRequest::Kind::CostRow);
        EXPECT_EQ(plan.requests[1].row, 1);
    }
    {
        Fixture f;
        f.frevo = rows({"Insert into [tVO - Frevo] (x) Values (1, 12, :NewID)"});
        SaveSnapshot s = f.snapshot("VO", 0);
        s.FrevoInsertMode = true;
        s.FlagNewEnreg = true;
        EXPECT_EQ(describe(planSave(s, textsOf(kCompleteVO))),
                  (QStringList {"AxInsert XmlAXSQLFrevo.xml Insert into [tVO - Frevo] (x) Values "
                                "(1, 12, :NewID)",
                                "AxInsert " + tab}));
    }
    {
        // Customers send no cost row, even one left over from a vehicle.
        Fixture f;
        f.frevo = rows({"Update [tVO - Frevo] set A=1"});
        f.actions = rows({"Insert into tActions (...)"});
        for (const int column : {2, 6, 7})
            f.actions[1].Cols[column].CurrentValue = QStringLiteral("x");
        SaveSnapshot s = f.snapshot("CL", 6);
        s.ActionInsertMode = true;
        EXPECT_EQ(describe(planSave(s, textsOf(kCompleteCL))),
                  (QStringList {"AxInsert XmlAXSQLAction.xml Insert into tActions (...)",
                                "AxUpdate XmlAXSQLVO.xml Update tClients set Nom='X' where "
                                "(idClient=42)"}));
    }
    {
        // A new customer vehicle inserts on the customer-vehicle page only.
        Fixture f;
        SaveSnapshot s = f.snapshot("CL", 7);
        s.FlagNewVehicle = true;
        EXPECT_EQ(planSave(s, textsOf(kCompleteCL)).requests.at(0).endpoint, "AxInsert");
        s.shownPage = 6;
        EXPECT_EQ(planSave(s, textsOf(kCompleteCL)).requests.at(0).endpoint, "AxUpdate");
    }
    {
        // The photos page has no statement; a page past the ninth tab has none either.
        Fixture f;
        EXPECT_TRUE(planSave(f.snapshot("VO", 5), textsOf(kCompleteVO)).requests.empty());
        EXPECT_TRUE(planSave(f.snapshot("VO", 9), textsOf(kCompleteVO)).requests.empty());
    }
}

TEST(SavePlan, StopsBeforeSendingAnything)
{
    {
        Fixture f;
        f.frevo = rows({"Update [tVO - Frevo] set A=1"});
        QHash<QString, QString> texts = kCompleteVO;
        texts["cNVO"] = "0";
        const SavePlan plan = planSave(f.snapshot("VO", 0), textsOf(texts));
        ASSERT_TRUE(plan.failure);
        EXPECT_EQ(plan.failure->control, "cNVO");
        EXPECT_TRUE(plan.requests.empty());
    }
    {
        // An action row with an empty column stops the save at that cell, a deletion does not.
        Fixture f;
        f.actions = rows({"", "Update tActions set C=3"});
        f.actions[2].FirstEmptyCol = 7;
        const SavePlan blocked = planSave(f.snapshot("CL", 6), textsOf(kCompleteCL));
        ASSERT_TRUE(blocked.failure);
        EXPECT_EQ(blocked.failure->actionRow, 1);
        EXPECT_EQ(blocked.failure->actionColumn, 7);
        EXPECT_TRUE(blocked.requests.empty());

        f.actions[2].Statement = QStringLiteral("delete * from tActions where (idAction=17)");
        const SavePlan deletion = planSave(f.snapshot("CL", 6), textsOf(kCompleteCL));
        EXPECT_FALSE(deletion.failure);
        EXPECT_EQ(deletion.requests.size(), 2u);
    }
    {
        // A value that cannot be written keeps everything pending, the grid row included.
        Fixture f;
        f.frevo = rows({"Update [tVO - Frevo] set A=1"});
        f.tabs[1].Descs[0].CurrentValue = QStringLiteral("12abc");
        f.tabs[1].Descs[0].txtInfo = QStringLiteral("Prix de vente :");
        const SavePlan plan = planSave(f.snapshot("VO", 0), textsOf(kCompleteVO));
        ASSERT_TRUE(plan.invalid);
        EXPECT_EQ(plan.invalid->tab, 1);
        EXPECT_EQ(plan.invalid->index, 0);
        EXPECT_EQ(plan.invalid->message, "La valeur du champ \"Prix de vente \" n'est pas valide");
        EXPECT_TRUE(plan.requests.empty());
    }
}

TEST(SavePlan, Answer)
{
    const QString down = QStringLiteral("Serveur injoignable");
    const QString refused = QStringLiteral("Erreur SQL");
    const struct
    {
        const char *what;
        std::vector<QString> sent; // warning after each grid row or tab request
        std::optional<QString> fixedFee;
        bool answer;
        QString warning;
    } cases[] = {
            {"nothing sent", {}, std::nullopt, true, {}},
            {"nothing sent, fee failed", {}, down, true, down},
            {"all succeeded", {"", ""}, QString(), true, {}},
            {"last failed", {"", refused}, std::nullopt, false, refused},
            // A failed cost row is not hidden by the tab's success after it.
            {"first failed", {refused, ""}, std::nullopt, false, refused},
            {"fee failed after a send", {""}, down, false, down},
            {"first failure kept", {refused, down}, std::nullopt, false, refused},
    };
    for (const auto &c : cases) {
        SaveAnswer a;
        for (const QString &w : c.sent)
            a.sent(w);
        if (c.fixedFee)
            a.fixedFee(*c.fixedFee);
        EXPECT_EQ(a.answer(), c.answer) << c.what;
        EXPECT_EQ(a.warning(), c.warning) << c.what;
    }

    SaveAnswer none;
    EXPECT_FALSE(none.restoreCursor(true)); // nothing sent: the cursor is left alone
    SaveAnswer ok;
    ok.sent(QString());
    EXPECT_TRUE(ok.restoreCursor(true));
    EXPECT_FALSE(ok.restoreCursor(false)); // busy at entry and saved: the caller keeps it
    SaveAnswer failed;
    failed.sent(refused);
    EXPECT_TRUE(failed.restoreCursor(false));
}

TEST(SavePlan, ActionRowSettings)
{
    TsLine action;
    for (int c = 1; c <= 10; ++c)
        action.Cols[c].LoadedValue = action.Cols[c].CurrentValue = QStringLiteral("same");
    action.Cols[1].CurrentValue = QStringLiteral("17");
    action.Cols[3].CurrentValue = QStringLiteral("4");
    action.Cols[6].CurrentValue = QStringLiteral("Rappel");
    action.Cols[7].CurrentValue = QStringLiteral("12/05/2010");
    action.Cols[10].CurrentValue = QString();
    const auto settings = acceptActionRow(action);
    const std::vector<QPair<QString, QString>> expected
            = {{"sAct3", "4"}, {"sAct7", "12/05/2010"}, {"sAct10", ""}};
    EXPECT_EQ(settings, expected);
    for (int c = 1; c <= 10; ++c)
        EXPECT_EQ(action.Cols[c].LoadedValue, action.Cols[c].CurrentValue) << c;
}

TEST(SavePlan, NewId)
{
    const auto response = [](const char *outParams) {
        return TXml(QStringLiteral("<document><LogItems></LogItems>%1</document>")
                            .arg(QString::fromLatin1(outParams)));
    };
    EXPECT_EQ(readNewId(response("<OutParams><NewID>318</NewID><NewIDbis>318</NewIDbis>"
                                 "</OutParams>")),
              "318");
    EXPECT_EQ(readNewId(response("")), "");
    EXPECT_EQ(readNewId(response("<OutParams><RowsAffected>1</RowsAffected></OutParams>")), "");
    EXPECT_EQ(readNewId(response("<OutParams><NewID>0</NewID></OutParams>")), "");
    EXPECT_EQ(readNewId(response("<OutParams><NewID>3 or 1=1</NewID></OutParams>")), "");

    EXPECT_EQ(newIdLabel("-2"), NewIdLabel::Customer);
    EXPECT_EQ(newIdLabel("42"), NewIdLabel::Vehicle); // a customer's new vehicle

    EXPECT_TRUE(fixedFeeDue("VO", "318", false));
    EXPECT_FALSE(fixedFeeDue("VO", "318", true)); // still new: the id is the previous vehicle's
}
