// The search panel, the duplicate counters and the identity keys, typed and clicked as a user
// does, against the demo server. The heartbeat is stopped and ticked by hand, so that "before
// the debounce" and "after" are exact.
#include "ui/EditingWindow.h"

#include "search/SearchTexts.h"

#include "ui/widgets/DataGrid.h"

#include <QLineEdit>
#include <QTimer>

#include <csignal>

namespace {

using namespace dravik::seed;

class SearchWindow : public EditingWindow
{
protected:
    std::unique_ptr<TAxDravik> start(const QString &vehicle, const QString &customer,
                                     int timeoutMs = 5000)
    {
        auto w = open(kUserAdmin, vehicle, customer, 1, timeoutMs);
        w->Timer1->stop();
        return w;
    }
    static void ticks(TAxDravik &w, int n)
    {
        for (int i = 0; i < n; ++i)
            w.Timer1Timer();
    }
    static DataGrid *grid(TAxDravik &w) { return w.Control<DataGrid>(QStringLiteral("ngSearch")); }
    static QLabel *label(TAxDravik &w, const char *name)
    {
        return w.Control<QLabel>(QLatin1String(name));
    }
    static QAbstractButton *button(TAxDravik &w, const char *name)
    {
        return w.Control<QAbstractButton>(QLatin1String(name));
    }
    // Opens the panel, picks the criterion by its label and types the text; no tick yet.
    static void search(TAxDravik &w, const char *criterion, const QString &typed)
    {
        if (w.Panel1->isHidden())
            click(w.JvXPBtnSearch);
        QTest::mouseClick(label(w, criterion), Qt::LeftButton);
        retype(w, "ncbSearch", typed, false);
    }
    static QStringList column(TAxDravik &w, int col)
    {
        QStringList cells;
        for (int r = 0; r < grid(w)->rowCount(); ++r)
            cells << grid(w)->cellText(r, col);
        return cells;
    }
    static void clickRow(TAxDravik &w, int row)
    {
        DataGrid *g = grid(w);
        const QRect cell = g->visualRect(g->model()->index(row, 2));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
    }
    static void freezeServer(bool frozen)
    {
        ::kill(pid_t(server().processId()), frozen ? SIGSTOP : SIGCONT);
    }
};

} // namespace

TEST_F(SearchWindow, APlateIsFoundAfterThePauseAndNotBefore)
{
    const int id = usedVehicle(3);
    const QString plate = vehicle(id, "Immatriculation");
    auto w = start(QString::number(kDemoVO), QString());
    search(*w, "TSLbImmat", plate.toLower());
    ticks(*w, 3);
    EXPECT_EQ(grid(*w)->rowCount(), 0);
    ticks(*w, 1);
    ASSERT_EQ(column(*w, 0), QStringList {QString::number(id)});
    EXPECT_EQ(grid(*w)->cellText(0, 4), plate);
    EXPECT_EQ(label(*w, "ncbLabel")->text(), QStringLiteral("1 enregistrements trouvés"));
    EXPECT_TRUE(w->LbDebugInfo0->text().isEmpty());
    EXPECT_FALSE(button(*w, "JvXPBtnSearchPlus")->isVisible());
}

TEST_F(SearchWindow, AnotherCriterionSearchesTheTextAlreadyTyped)
{
    const int id = usedVehicle(3);
    const QString plate = vehicle(id, "Immatriculation");
    auto w = start(QString::number(kDemoVO), QString());
    search(*w, "TSLbNVO", plate);
    ticks(*w, 4);
    EXPECT_EQ(grid(*w)->rowCount(), 0);
    // The plate typed under the stock number is found once the plate is the criterion; the
    // same criterion clicked again sends nothing more.
    QTest::mouseClick(label(*w, "TSLbImmat"), Qt::LeftButton);
    ticks(*w, 2);
    ASSERT_EQ(column(*w, 0), QStringList {QString::number(id)});
    QTest::mouseClick(label(*w, "TSLbImmat"), Qt::LeftButton);
    EXPECT_EQ(w->SearchCountdown, 0);
    EXPECT_EQ(w->Control<QLineEdit>(QStringLiteral("ncbSearch"))->text(), plate);
}

TEST_F(SearchWindow, ARowClickOrEnterLoadsItsRecordAndNextPreviousStepWithThePanelClosed)
{
    auto w = start(QString::number(kDemoVO), QString());
    click(w->JvXPBtnSearch);
    pick(*w, "ncbTypeVO", QStringLiteral("VO"));
    search(*w, "TSLbNVO", QStringLiteral("100"));
    ticks(*w, 4);
    ASSERT_GE(grid(*w)->rowCount(), 3);
    const QStringList ids = column(*w, 0);
    const auto shows = [&](int row) {
        EXPECT_EQ(w->LbIdTVO->text(), ids[row]) << row;
        EXPECT_EQ(text(*w, "cNVO"), vehicle(ids[row].toInt(), "NVO")) << row;
        EXPECT_TRUE(w->Panel1->isHidden()) << row;
    };

    // A change pending is asked about first; Cancel stays on the record with the change.
    retype(*w, "cKMS", QStringLiteral("12345"));
    boxes().answers.push_back(MessageBoxes::Answer::Cancel);
    clickRow(*w, 1);
    EXPECT_EQ(w->LbIdTVO->text(), QString::number(kDemoVO));
    EXPECT_EQ(text(*w, "cKMS"), QStringLiteral("12345"));
    boxes().answers.push_back(MessageBoxes::Answer::No);
    clickRow(*w, 1);
    shows(1);
    EXPECT_TRUE(w->JvXPPrev->isEnabled());
    const struct
    {
        PictureButton *button;
        int row;
    } steps[] = {{w->JvXPNext, 2}, {w->JvXPPrev, 1}, {w->JvXPPrev, 0}};
    for (const auto &s : steps) {
        click(s.button);
        shows(s.row);
    }
    EXPECT_FALSE(w->JvXPPrev->isEnabled());

    // From the keyboard: Down twice in the search text, then Enter.
    click(w->JvXPBtnSearch);
    ASSERT_FALSE(w->Panel1->isHidden());
    w->Control(QStringLiteral("ncbSearch"))->setFocus();
    press(*w, Qt::Key_Down);
    press(*w, Qt::Key_Down);
    press(*w, Qt::Key_Return);
    shows(2);
    // The criterion and the text are kept for the next run.
    EXPECT_EQ(w->GetTagRegistry(SearchKeys::VehicleMode), QStringLiteral("3"));
    EXPECT_EQ(w->GetTagRegistry(SearchKeys::VehicleText), QStringLiteral("100"));
}

TEST_F(SearchWindow, TextsWithSignsFindTheirCustomerAndBadInputChangesNothing)
{
    dbExec(QStringLiteral("insert into tClients (idClient, Concession, Site, CliNom, CliPrenom) "
                          "values (9001, 'ZOLVARE', 'VALENCE', 'O''NEIL & FILS+é', 'Anne')"));
    const int customers = count(QStringLiteral("from tClients"));
    auto w = start(QString(), QString::number(kDemoCustomer), 1500);
    const struct
    {
        QString typed;
        QStringList ids;
    } cases[] = {
            {QStringLiteral("o'neil & fils+é"), {QStringLiteral("9001")}},
            {QStringLiteral("& FILS+"), {QStringLiteral("9001")}},
            {QStringLiteral("'; delete from tClients; -- %' or 1=1 %% where"), {}},
            {QStringLiteral("\" union select * from tUsers <b>#"), {}},
    };
    for (const auto &c : cases) {
        search(*w, "TSLbClient", c.typed);
        ticks(*w, 4);
        EXPECT_EQ(column(*w, 0), c.ids) << c.typed.toStdString();
        EXPECT_EQ(w->LbDebugInfo0->text(), QString()) << c.typed.toStdString();
        EXPECT_EQ(text(*w, "ncbSearch"), c.typed.left(50));
    }
    search(*w, "TSLbClient", QStringLiteral("o'neil"));
    ticks(*w, 4);
    ASSERT_EQ(grid(*w)->rowCount(), 1);
    EXPECT_EQ(grid(*w)->cellText(0, 6), QStringLiteral("O'NEIL & FILS+é Anne"));
    EXPECT_EQ(count(QStringLiteral("from tClients")), customers);

    // A server that does not answer: the warning shows, the rows and the text stay. It stops
    // before the text is typed, whenever the search then goes.
    freezeServer(true);
    retype(*w, "ncbSearch", QStringLiteral("dupont"), false);
    ticks(*w, 4);
    freezeServer(false);
    EXPECT_FALSE(w->LbDebugInfo0->text().isEmpty());
    EXPECT_TRUE(w->PanelWarning->isVisible());
    EXPECT_EQ(column(*w, 0), QStringList {QStringLiteral("9001")});
    EXPECT_EQ(text(*w, "ncbSearch"), QStringLiteral("dupont"));
}

TEST_F(SearchWindow, DuplicateCountersCountWhatTheirClickLists)
{
    auto w = start(QString(), QString::number(kDemoCustomer));
    click(w->JvXPBtnNewVO);
    ASSERT_TRUE(w->FlagNewEnreg);
    auto counter = [&](const char *name) {
        return w->Control<QLineEdit>(QLatin1String(name));
    };
    EXPECT_EQ(counter("DblNom")->text(), QStringLiteral("??"));
    ASSERT_TRUE(counter("DblNom")->isVisible());

    const auto sameName = [](const char *where) {
        return QString::number(count(QStringLiteral("from tClients where Concession='ZOLVARE' and ")
                                     + QLatin1String(where)));
    };
    const struct
    {
        const char *field, *typed, *counter, *where;
    } cases[] = {
            {"aCliNom", "dupont", "DblNom", "CliNom='DUPONT'"},
            {"aCliPrenom", "jean", "DblIdent", "CliNom='DUPONT' and CliPrenom='JEAN'"},
            {"aCliTelDom", "0475441020", "DblTelDom", "CliTelDom='0475441020'"},
            {"aCliMobile", "0600000009", "DblMobile", nullptr},
    };
    for (const auto &c : cases) {
        retype(*w, c.field, QLatin1String(c.typed));
        ticks(*w, 3);
        EXPECT_EQ(counter(c.counter)->text(), QStringLiteral("??")) << c.counter;
        ticks(*w, 1);
        EXPECT_EQ(counter(c.counter)->text(), c.where ? sameName(c.where) : QString()) << c.counter;
    }
    EXPECT_EQ(counter("DblIdent")->text(), QStringLiteral("2"));
    EXPECT_EQ(text(*w, "aCliNom"), QStringLiteral("DUPONT"));

    // Its click lists the customers it counted.
    QTest::mouseClick(counter("DblIdent"), Qt::LeftButton);
    EXPECT_FALSE(w->Panel1->isHidden());
    ticks(*w, 1);
    EXPECT_EQ(column(*w, 6), QStringList(2, QStringLiteral("DUPONT JEAN")));
    QTest::mouseClick(counter("DblNom"), Qt::LeftButton);
    EXPECT_FALSE(w->Panel1->isHidden());
    ticks(*w, 1);
    EXPECT_EQ(QString::number(grid(*w)->rowCount()), sameName("CliNom='DUPONT'"));
    // With Ctrl, the names that contain the one typed.
    keyboard().ctrl = true;
    QTest::mouseClick(counter("DblNom"), Qt::LeftButton);
    keyboard().ctrl = false;
    ticks(*w, 1);
    EXPECT_EQ(QString::number(grid(*w)->rowCount()), sameName("CliNom like '%DUPONT%'"));
}

TEST_F(SearchWindow, CtrlOpensTheSearchOnTheLaunchFilterUntilTheTextChanges)
{
    auto w = start(QString::number(kDemoVO), QString());
    harness().writeSettings({{QStringLiteral("WhereClause"),
                              QStringLiteral("WHERE (VO.idTVO=%1) or (vo.idTVO=%2)")
                                      .arg(kOtherSiteVO)
                                      .arg(kDemoVN)}});
    keyboard().ctrl = true;
    click(w->JvXPBtnSearch);
    keyboard().ctrl = false;
    EXPECT_EQ(text(*w, "ncbSearch"), QString());
    ticks(*w, 2);
    QStringList ids = column(*w, 0);
    ids.sort();
    EXPECT_EQ(ids, (QStringList {QString::number(kDemoVN), QString::number(kOtherSiteVO)}));
    // Typing leaves the launch filter: N°VO 12a is no number, nothing is found.
    retype(*w, "ncbSearch", QStringLiteral("12a"), false);
    ticks(*w, 4);
    EXPECT_EQ(grid(*w)->rowCount(), 0);
    EXPECT_EQ(label(*w, "ncbLabel")->text(), QStringLiteral("0 enregistrements trouvés"));
}

TEST_F(SearchWindow, IdentityKeysAreFilteredAsTypedOrPasted)
{
    auto customer = start(QString(), QString::number(kDemoCustomer));
    auto used = start(QString::number(usedVehicle(5)), QString());
    const struct
    {
        TAxDravik *w;
        const char *field, *typed, *shown;
    } cases[] = {
            {customer.get(), "aCliNom", "éa-b", "éA-B"},
            {customer.get(), "aCliMobile", "+33 6 12", "33612"},
            {customer.get(), "aCliTelBur", "04.75", "0475"},
            {used.get(), "cImmatriculation", "ab-12 cd", "AB12CD"},
    };
    for (const auto &c : cases) {
        showActive(*c.w);
        retype(*c.w, c.field, QString::fromUtf8(c.typed));
        EXPECT_EQ(text(*c.w, c.field), QString::fromUtf8(c.shown)) << c.field;
        // Pasted from elsewhere, the same text reads the same.
        paste(*c.w, c.field, QString::fromUtf8(c.typed));
        EXPECT_EQ(text(*c.w, c.field), QString::fromUtf8(c.shown)) << c.field << " pasted";
        paste(*c.w, c.field, QString::fromUtf8(c.typed), PasteBy::Menu);
        EXPECT_EQ(text(*c.w, c.field), QString::fromUtf8(c.shown)) << c.field << " from the menu";
    }
}

// The "more" button on the large data set: 50 rows, then 100, then 150.
TEST(SearchLargeWindow, MoreRowsGrowTheGrid)
{
    testApp();
    DemoServer large(QStringLiteral("large"));
    ASSERT_FALSE(large.baseHRef().isEmpty()) << large.error().toStdString();
    WindowHarness h;
    h.writeRecordKeys(large.baseHRef(), kUserAdmin, QString::number(kDemoVO), QString(), 1,
                      large.sessionKey(kUserAdmin));
    auto w = h.makeWindow(std::make_unique<CurlTransport>(10000));
    w->Timer1Timer();
    w->Timer1->stop();
    showActive(*w);
    click(w->JvXPBtnSearch);
    QTest::mouseClick(w->Control<QLabel>(QStringLiteral("TSLbImmat")), Qt::LeftButton);
    retype(*w, "ncbSearch", QStringLiteral("A"), false);
    for (int i = 0; i < 4; ++i)
        w->Timer1Timer();
    auto *grid = w->Control<DataGrid>(QStringLiteral("ngSearch"));
    auto *more = w->Control<QAbstractButton>(QStringLiteral("JvXPBtnSearchPlus"));
    for (const int rows : {50, 100, 150}) {
        EXPECT_EQ(grid->rowCount(), rows);
        EXPECT_EQ(w->Control<QLabel>(QStringLiteral("ncbLabel"))->text(),
                  QString::number(rows) + QStringLiteral(" premiers enregistrements"));
        ASSERT_TRUE(more->isVisible());
        click(more);
    }
}

// Answers the server should not give: the rows shown stay, the warning says so, the text typed
// stays; what can be read is shown with the program's fallbacks.
TEST(SearchAnswers, BadAnswersKeepWhatIsShown)
{
    WindowHarness h;
    auto w = h.makeWindow();
    w->Timer1Timer();
    w->Timer1->stop();
    showActive(*w);
    click(w->JvXPBtnSearch);
    auto *grid = w->Control<DataGrid>(QStringLiteral("ngSearch"));
    const QByteArray good = "<AXQueryS RowCount=\"2\" EOF=\"1\"><AXQuery><VO_ID>7</VO_ID>"
                            "<VO_SITE>NORD</VO_SITE><Concession></Concession></AXQuery>"
                            "<AXQuery><VO_ID>8</VO_ID></AXQuery></AXQueryS>";
    const struct
    {
        QByteArray body;
        QStringList ids;
        bool warned;
        const char *rowCount;
    } cases[] = {
            {good, {"7", "8"}, false, "2 enregistrements trouvés"},
            {"<AXQueryS RowCount=\"2\" EOF=\"1\"><AXQuery><VO_ID>9</VO_ID",
             {"7", "8"},
             true,
             "2 enregistrements trouvés"},
            {"<html>Internal error</html>", {"7", "8"}, true, "2 enregistrements trouvés"},
            {"<AXQueryS><LogItems><LogItem>refusé</LogItem></LogItems></AXQueryS>",
             {"7", "8"},
             true,
             "2 enregistrements trouvés"},
            // No count, no end mark, no fields but the id: the rows as read.
            {"<AXQueryS><AXQuery><VO_ID>5</VO_ID></AXQuery></AXQueryS>",
             {"5"},
             false,
             "1 enregistrements trouvés"},
    };
    int n = 0;
    for (const auto &c : cases) {
        const QString typed = QStringLiteral("AB") + QString::number(++n);
        h.transport1->replies.push_back({true, 200, c.body, {}});
        retype(*w, "ncbSearch", typed, false);
        for (int i = 0; i < 4; ++i)
            w->Timer1Timer();
        QStringList ids;
        for (int r = 0; r < grid->rowCount(); ++r)
            ids << grid->cellText(r, 0);
        EXPECT_EQ(ids, c.ids) << n;
        EXPECT_EQ(!w->LbDebugInfo0->text().isEmpty(), c.warned) << n;
        EXPECT_EQ(w->PanelWarning->isVisible(), c.warned) << n;
        EXPECT_EQ(w->Control<QLabel>(QStringLiteral("ncbLabel"))->text(),
                  QString::fromUtf8(c.rowCount));
        EXPECT_EQ(w->FieldText(QStringLiteral("ncbSearch")), typed);
    }
}
