// What keeps a person's edits safe: nothing written into a record other than the one shown,
// nothing dropped without asking, a retried write applied once. Typed and clicked as the user
// does; the database is read afterwards.
#include "ui/EditingWindow.h"

#include "editing/Messages.h"
#include "engine/QtPrinters.h"
#include "engine/ViewRules.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabBar>

#include <csignal>

namespace {

using namespace dravik::seed;
using Answer = MessageBoxes::Answer;

class DataSafety : public EditingWindow
{
protected:
    // The same window shown another record, as the launcher asks for it.
    void relaunch(TAxDravik &w, int user, const QString &vehicle, const QString &customer,
                  int typeVO, const QString &sessionKey = QString())
    {
        harness().writeRecordKeys(server().baseHRef(), user, vehicle, customer, typeVO,
                                  sessionKey.isEmpty() ? server().sessionKey(user) : sessionKey);
        w.OnInstanceMessage(QByteArrayLiteral("1024"));
    }
    static void freezeServer(bool frozen)
    {
        ::kill(pid_t(server().processId()), frozen ? SIGSTOP : SIGCONT);
    }
};

} // namespace

TEST_F(DataSafety, PagesOfAnotherKindAreNeverShownNorSaved)
{
    const int used = usedVehicle(0);
    const QString tpvo = vehicle(used, "TPVO");
    auto w = openVehicle(kUserAdmin, used);
    relaunch(*w, kUserAdmin, QString(), QString::number(kDemoCustomer), 1);
    relaunch(*w, kUserAdmin, QString::number(kDemoVD), QString(), 3);
    ASSERT_EQ(w->RecordKind, QStringLiteral("_TVD"));
    const int usedPage = w->Tabs->indexOf(w->TabDesc[1].Page);
    ASSERT_FALSE(w->Tabs->isTabVisible(usedPage));

    w->Control(QStringLiteral("cVDNVO"))->setFocus();
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[]
            = {{Qt::Key_Tab, Qt::ControlModifier},
               {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
               {Qt::Key_PageDown, Qt::ControlModifier},
               {Qt::Key_PageUp, Qt::ControlModifier}};
    for (const auto &[key, modifiers] : keys) {
        for (int i = 0; i < w->Tabs->count() + 1; ++i) {
            press(*w, key, modifiers);
            EXPECT_TRUE(w->Tabs->isTabVisible(w->Tabs->currentIndex()))
                    << "key " << key << " press " << i;
        }
    }
    // Any other way lands on a page shown too (no click reaches a hidden tab: the program's
    // own page change is tried), and a save sends nothing of the hidden page.
    w->Tabs->setCurrentIndex(usedPage);
    EXPECT_NE(w->Tabs->currentIndex(), usedPage);
    retype(*w, "cVDKMS", QStringLiteral("23456"));
    click(w->JvXPBtnSave);
    EXPECT_EQ(status(*w), EditingText::Saved);
    EXPECT_EQ(vehicle(kDemoVD, "KMS"), QStringLiteral("23456"));
    EXPECT_EQ(vehicle(used, "TPVO"), tpvo);
}

TEST_F(DataSafety, ARecordThatCannotBeFetchedLeavesTheOneShownWithItsEdits)
{
    const int id = usedVehicle(1);
    const int other = usedVehicle(2);
    auto w = open(kUserAdmin, QString::number(id), QString(), 1, 1000);
    const QString number = text(*w, "cNVO");
    retype(*w, "cPrixVente", QStringLiteral("15990"));

    // The launcher asks for another record while the server answers nothing: the user drops
    // the change, the fetch times out, the record shown stays under its own id.
    const QString key = server().sessionKey(kUserAdmin);
    freezeServer(true);
    boxes().answers = {Answer::No};
    relaunch(*w, kUserAdmin, QString::number(other), QString(), 1, key);
    EXPECT_EQ(boxes().asked.value(0).text, EditingText::PendingQuestion);
    EXPECT_EQ(w->LbIdTVO->text(), QString::number(id));
    EXPECT_EQ(text(*w, "cNVO"), number);
    EXPECT_EQ(text(*w, "cPrixVente"), QStringLiteral("15990.00"));
    EXPECT_TRUE(w->LbDebugInfo0->text().startsWith(QStringLiteral("Exception : ")));
    EXPECT_TRUE(w->LbDebugInfo0->text().endsWith(ViewText::RecordNotLoaded));
    EXPECT_FALSE(w->PanelWarning->isHidden());

    // The toolbar reload with the server still silent keeps the edit too.
    boxes().answers = {Answer::No};
    press(*w, Qt::Key_F5);
    EXPECT_EQ(text(*w, "cPrixVente"), QStringLiteral("15990.00"));
    EXPECT_EQ(status(*w), ViewText::RecordNotLoaded);
    freezeServer(false);

    // Once it answers, the edit goes into the record it was typed in, and no other.
    const QString otherPrice = vehicle(other, "PrixVente");
    ASSERT_TRUE(w->JvXPBtnSave->isEnabled());
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
    EXPECT_EQ(vehicle(id, "PrixVente").toDouble(), 15990.0);
    EXPECT_EQ(vehicle(other, "PrixVente"), otherPrice);
    EXPECT_EQ(status(*w), EditingText::Saved);
}

TEST_F(DataSafety, AComboRecordsOnlyWhatTheUserChose)
{
    const int id = usedVehicle(3);
    const QString brand = vehicle(id, "InfoMarque");
    const QString model = vehicle(id, "InfoModele");
    auto w = openVehicle(kUserAdmin, id);
    auto *box = w->Control<ComboBox>(QStringLiteral("cInfoMarque"));

    // "M" is completed to a listed brand while typing; the text typed on is not listed.
    retype(*w, "cInfoMarque", QStringLiteral("Marque inconnue"));
    EXPECT_EQ(focusedField(*w), QStringLiteral("cInfoMarque")); // refused: the focus stays
    EXPECT_FALSE(w->JvXPBtnSave->isEnabled());
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w->LbDebugInfo0->text(),
              QStringLiteral("La valeur du champ \"Marque\" n'est pas valide"));
    EXPECT_EQ(vehicle(id, "InfoMarque"), brand);
    EXPECT_EQ(vehicle(id, "InfoModele"), model);

    // A completion is taken when the box is left with it.
    retype(*w, "cInfoMarque", QStringLiteral("peu"), false);
    EXPECT_EQ(box->lineEdit()->text(), QStringLiteral("peuGEOT"));
    EXPECT_EQ(box->lineEdit()->selectedText(), QStringLiteral("GEOT")); // offered, not chosen
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(text(*w, "cInfoMarque"), QStringLiteral("PEUGEOT"));
    EXPECT_NE(focusedField(*w), QStringLiteral("cInfoMarque"));
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(vehicle(id, "InfoMarque"), QStringLiteral("PEUGEOT"));
}

TEST_F(DataSafety, AWriteRetriedAfterASilenceIsAppliedOnce)
{
    auto w = open(kUserAdmin, QString::number(usedVehicle(4)), QString(), 1, 1500);
    const int vehicles = count(QStringLiteral("from tVehicles"));
    press(*w, Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(w->FlagNewEnreg);
    retype(*w, "cNVO", QStringLiteral("765432"));
    retype(*w, "cInfoMarque", QStringLiteral("PEUGEOT"));

    // The server takes the request but answers nothing before the client gives up; it writes
    // the row afterwards.
    freezeServer(true);
    press(*w, Qt::Key_S, Qt::ControlModifier);
    freezeServer(false);
    EXPECT_TRUE(w->LbDebugInfo0->text().startsWith(QStringLiteral("Exception : ")));
    EXPECT_EQ(status(*w), EditingText::notSaved(EditingText::NotAnswered));
    EXPECT_TRUE(w->FlagNewEnreg);
    QTRY_COMPARE_WITH_TIMEOUT(count(QStringLiteral("from tVehicles where NVO=765432")), 1, 10000);

    // Saved again, as any user would: the server answers the row it made, once.
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
    EXPECT_EQ(count(QStringLiteral("from tVehicles where NVO=765432")), 1);
    EXPECT_EQ(count(QStringLiteral("from tVehicles")), vehicles + 1);
    EXPECT_EQ(w->LbIdTVO->text(),
              db(QStringLiteral("select idVO from tVehicles where NVO=765432")));
    EXPECT_FALSE(w->FlagNewEnreg);
}

TEST_F(DataSafety, EveryWayOutAsksBeforeDroppingChanges)
{
    enum class Way { Close, ReloadKey, ReloadButton, Launcher };
    struct Case
    {
        Way way;
        Answer answer;
        bool saved;
        bool left; // the record was left (window closed or reloaded)
    };
    const Case cases[] = {
            {Way::Close, Answer::Yes, true, true},
            {Way::Close, Answer::No, false, true},
            {Way::Close, Answer::Cancel, false, false},
            {Way::ReloadKey, Answer::Yes, true, true},
            {Way::ReloadKey, Answer::No, false, true},
            {Way::ReloadKey, Answer::Cancel, false, false},
            {Way::ReloadButton, Answer::Cancel, false, false},
            {Way::Launcher, Answer::Yes, true, true},
            {Way::Launcher, Answer::No, false, true},
            {Way::Launcher, Answer::Cancel, false, false},
    };
    int n = 5;
    for (const Case &c : cases) {
        const int id = usedVehicle(n++);
        const QString before = vehicle(id, "KMS");
        auto w = openVehicle(kUserAdmin, id);
        retype(*w, "cKMS", QStringLiteral("12345"));
        ASSERT_TRUE(w->windowTitle().endsWith(QStringLiteral(" *")));
        boxes().answers = {c.answer};
        bool closed = false;
        switch (c.way) {
        case Way::Close:
            closed = w->close();
            break;
        case Way::ReloadKey:
            press(*w, Qt::Key_F5);
            break;
        case Way::ReloadButton:
            QTest::mouseClick(w->JvXPBtnActualize, Qt::LeftButton);
            break;
        case Way::Launcher:
            relaunch(*w, kUserAdmin, QString::number(id), QString(), 1);
            break;
        }
        const std::string label = "case " + std::to_string(n);
        ASSERT_EQ(boxes().asked.size(), 1) << label;
        EXPECT_EQ(boxes().asked[0].text, EditingText::PendingQuestion) << label;
        EXPECT_EQ(boxes().asked[0].buttons, MessageBoxes::Buttons::YesNoCancel) << label;
        EXPECT_EQ(vehicle(id, "KMS"), c.saved ? QStringLiteral("12345") : before) << label;
        if (c.way == Way::Close) {
            EXPECT_EQ(closed, c.left) << label;
            continue;
        }
        // A reload shows the record as stored; staying keeps what was typed.
        EXPECT_EQ(text(*w, "cKMS"), c.left ? vehicle(id, "KMS") : QStringLiteral("12345")) << label;
        EXPECT_EQ(w->windowTitle().endsWith(QStringLiteral(" *")), !c.left) << label;
    }
}

TEST_F(DataSafety, StatusLineAndShortcutsFollowTheToolbar)
{
    const int id = usedVehicle(15);
    auto w = openVehicle(kUserAdmin, id);
    EXPECT_TRUE(w->JvXPBtnSave->toolTip().endsWith(QStringLiteral("(Ctrl+S)")));
    EXPECT_TRUE(w->JvXPBtnActualize->toolTip().endsWith(QStringLiteral("(F5)")));
    EXPECT_TRUE(w->JvXPBtnNewVO->toolTip().endsWith(QStringLiteral("(Ctrl+N)")));

    // An amount typed as loaded is no change; another one is, and Ctrl+N waits for its save.
    const QString premium = text(*w, "cTPVO");
    retype(*w, "cTPVO", QString::number(premium.toDouble()));
    EXPECT_EQ(text(*w, "cTPVO"), premium);
    EXPECT_FALSE(w->JvXPBtnSave->isEnabled());
    retype(*w, "cTPVO", QStringLiteral("450"));
    EXPECT_EQ(text(*w, "cTPVO"), QStringLiteral("450.00"));
    press(*w, Qt::Key_N, Qt::ControlModifier);
    EXPECT_FALSE(w->FlagNewEnreg);
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(vehicle(id, "TPVO").toDouble(), 450.0);
    EXPECT_EQ(status(*w), EditingText::Saved);

    // A required field stops the save and is named; a half-typed date is named by its label.
    press(*w, Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(w->FlagNewEnreg);
    retype(*w, "cInfoVersion", QStringLiteral("Essai"));
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(status(*w),
              EditingText::notSaved(EditingText::required(
                      w->FieldLabel(*w->DescOf(w->Control(QStringLiteral("cNVO")))))));
    retype(*w, "cNVO", QStringLiteral("1234567"));
    retype(*w, "cInfoMarque", QStringLiteral("PEUGEOT"));
    retype(*w, "cDateDisponibilite", QStringLiteral("120"), false);
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w->LbDebugInfo0->text(),
              QStringLiteral("La valeur du champ \"Disponible le\" n'est pas valide"));
    EXPECT_EQ(status(*w), EditingText::notSaved(w->LbDebugInfo0->text()));
    EXPECT_EQ(count(QStringLiteral("from tVehicles where NVO=1234567")), 0);
}

TEST_F(DataSafety, WhatMayNotBeModifiedMayNotBeDeleted)
{
    // The accounting group may change no field of a customer.
    auto w = open(kUserCompta, QString(), QString::number(kDemoCustomer));
    ASSERT_EQ(w->RecordKind, QStringLiteral("_TCL"));
    ASSERT_FALSE(w->JvXPBtnSuppr->isHidden());
    EXPECT_FALSE(w->JvXPBtnSuppr->isEnabled());
    boxes().answers = {Answer::Yes};
    click(w->JvXPBtnSuppr);
    EXPECT_TRUE(boxes().asked.isEmpty());
    // A disabled button takes no click; its handler must refuse on its own too.
    w->JvXPBtnSupprClick(w->JvXPBtnSuppr);
    EXPECT_TRUE(boxes().asked.isEmpty());
    EXPECT_EQ(count(QStringLiteral("from tClients where idClient=%1").arg(kDemoCustomer)), 1);
    // Read-only, its fields still show their text to be copied.
    auto *name = w->Control(QStringLiteral("aCliNom"));
    EXPECT_FALSE(controlEditable(name));
    EXPECT_TRUE(name->isEnabled());

    // A deletion that may be made asks with No as the answer to Return.
    auto a = openVehicle(kUserAdmin, usedVehicle(16));
    click(a->JvXPBtnSuppr);
    ASSERT_EQ(boxes().asked.size(), 1);
    EXPECT_EQ(boxes().asked[0].buttons, MessageBoxes::Buttons::NoYes);
}

TEST_F(DataSafety, OneLineMemosAndListMaintenanceKeysTypeNothing)
{
    auto w = openVehicle(kUserAdmin, usedVehicle(17));
    auto *version = w->Control(QStringLiteral("cInfoVersion"));
    const QString shown = text(*w, "cInfoVersion");
    version->setFocus();
    QTest::keyClick(version, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(version, Qt::Key_Return);
    EXPECT_EQ(text(*w, "cInfoVersion"), shown);

    auto *colour = w->Control<ComboBox>(QStringLiteral("cInfoCouleur"));
    keyboard().ctrl = true;
    colour->setFocus();
    keyboard().ctrl = false;
    ASSERT_TRUE(w->FlagBlink);
    const QString listed = colour->currentText();
    boxes().answers = {Answer::No};
    QTest::keyClick(colour, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(colour->currentText(), listed);
    ASSERT_EQ(boxes().asked.size(), 1);
    EXPECT_TRUE(
            boxes().asked[0].text.startsWith(QStringLiteral("Veuillez confirmer la suppression")));
}

// The launcher may ask for a record as soon as the window answers, before it has shown any:
// there is nothing to save then, so nothing to ask.
TEST_F(DataSafety, ALaunchBeforeTheFirstRecordIsShownAsksNothing)
{
    auto w = launched(kUserAdmin, QString::number(kDemoVO), QString());
    showActive(*w);
    relaunch(*w, kUserAdmin, QString::number(kDemoVD), QString(), 3);
    EXPECT_TRUE(boxes().asked.isEmpty());
    EXPECT_EQ(w->LbIdTVO->text(), QString::number(kDemoVD));
}
