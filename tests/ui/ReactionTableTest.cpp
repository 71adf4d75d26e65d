// Every control whose change handler is a row of the reaction table, changed as a user changes
// it on a record of a kind that has it: each duty its row names is seen on the window.
#include "ui/EditingWindow.h"

#include "common/FormLayout.h"
#include "editing/ComboLists.h"
#include "editing/FieldReactions.h"
#include "engine/QtPrinters.h"
#include "ui/widgets/DateEdit.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/MemoEdit.h"

#include <QLineEdit>
#include <QTabBar>

namespace {

using namespace dravik::seed;

class ReactionTable : public EditingWindow
{
protected:
    // The record of the kind whose controls carry this prefix.
    std::unique_ptr<TAxDravik> openFor(const QString &control, int user)
    {
        if (control.startsWith(QLatin1String("cVD")))
            return openVehicle(user, kDemoVD, 3);
        if (control.startsWith(QLatin1String("cVN")))
            return openVehicle(user, kDemoVN);
        if (control.startsWith(QLatin1Char('a')) || control.startsWith(QLatin1Char('v'))
            || control.startsWith(QLatin1String("cPA")))
            return open(user, QString(), QString::number(kDemoCustomer));
        return openVehicle(user, kDemoVO);
    }

    // Shows the control's page by a click on its tab.
    static void showPageOf(TAxDravik &w, QWidget *control)
    {
        for (int page = 0; page < w.Tabs->count(); ++page) {
            if (!w.Tabs->widget(page)->isAncestorOf(control))
                continue;
            QTabBar *bar = w.Tabs->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
            return;
        }
    }

    // Changes the control's value as a user does: another entry by the arrow keys, a date or
    // digits typed over the text.
    static bool change(QWidget *control)
    {
        control->setFocus();
        if (auto *box = qobject_cast<ComboBox *>(control)) {
            if (box->count() < 2)
                return false;
            QTest::keyClick(box,
                            box->currentIndex() + 1 < box->count() ? Qt::Key_Down : Qt::Key_Up);
            return true;
        }
        QWidget *target = control;
        QString typed = QStringLiteral("4321");
        if (auto *date = qobject_cast<DateEdit *>(control)) {
            target = date->lineEdit();
            typed = date->text() == QLatin1String("02/03/2025") ? QStringLiteral("03032025")
                                                                : QStringLiteral("02032025");
        }
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(target, typed);
        return true;
    }
};

struct Header
{
    int part;
    HeaderEdit *TAxDravik::*edit;
};

} // namespace

TEST_F(ReactionTable, EveryRowDoesWhatItSays)
{
    const Header headers[] = {{HeaderNVO, &TAxDravik::xcInfoNVO},
                              {HeaderTitre, &TAxDravik::xcInfoTitre},
                              {HeaderField1, &TAxDravik::xcInfoField1},
                              {HeaderField2, &TAxDravik::xcInfoField2},
                              {HeaderField3, &TAxDravik::xcInfoField3}};
    int walked = 0;
    int headersChanged = 0;
    QStringList notEditable;
    for (const dravik::LayoutRow &row : dravik::formLayout()) {
        const QString name = QString::fromStdString(row.name);
        QString handler;
        for (const QString &pair : QString::fromStdString(row.handlers).split(QLatin1Char(';'))) {
            if (pair.startsWith(QLatin1String("Change=")))
                handler = pair.mid(7);
        }
        const FieldReaction *reaction = fieldReaction(handler);
        if (!reaction)
            continue;
        SCOPED_TRACE((name + QLatin1Char(' ') + handler).toStdString());

        // The first user the field is open to.
        std::unique_ptr<TAxDravik> w;
        QWidget *control = nullptr;
        for (const int user : {kUserAdmin, kUserCompta, kUserGuaranteeSVO}) {
            w = openFor(name, user);
            control = w->Control(name);
            if (control && w->DescOf(control) && controlEditable(control))
                break;
            control = nullptr;
        }
        if (!control) {
            notEditable << name;
            continue;
        }
        ASSERT_EQ(w->HandlerOf(control, QStringLiteral("Change")), handler);
        showPageOf(*w, control);

        QStringList headerBefore;
        for (const Header &h : headers)
            headerBefore << ((*w).*(h.edit))->text();
        const QString identityBefore = w->xcIdentity->text();
        const auto *dependent
                = reaction->dependent ? w->Control<ComboBox>(reaction->dependent->combo) : nullptr;
        const QString versionBefore
                = reaction->version ? text(*w, qPrintable(reaction->version->memo)) : QString();
        const QString before = controlText(control);
        if (!change(control))
            continue;
        ++walked;
        ASSERT_NE(controlText(control), before);

        // Recorded: the save waits, the title says so.
        EXPECT_TRUE(w->JvXPBtnSave->isEnabled());
        EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" *")))
                << w->windowTitle().toStdString();
        // The dependent list follows the new value.
        if (dependent) {
            const DependentList &list = *reaction->dependent;
            const auto group = dependentGroup(w->ChoiceLists(), controlText(control),
                                              list.textElement, list.filterElement, list.item);
            EXPECT_EQ(dependent->entries(), group.value_or(QStringList()))
                    << list.combo.toStdString();
        }
        // The header is up to date, whatever the row says: what its routines make of the
        // record now is what it already shows.
        QStringList shown;
        for (const Header &h : headers)
            shown << ((*w).*(h.edit))->text();
        shown << w->xcIdentity->text();
        w->setInfoNVO();
        w->setInfoTitre();
        w->setInfoField1();
        w->setInfoField2();
        w->setInfoField3();
        if (w->RecordKind == QLatin1String("_TCL"))
            w->ShowIdentity();
        QStringList remade;
        for (const Header &h : headers)
            remade << ((*w).*(h.edit))->text();
        remade << w->xcIdentity->text();
        EXPECT_EQ(shown, remade);
        // And a header part the row names does change on the main record of its kind.
        for (int i = 0; i < int(std::size(headers)); ++i) {
            if ((reaction->header & headers[i].part) && name.startsWith(QLatin1Char('c'))
                && !name.startsWith(QLatin1String("cPA")) && remade[i] != headerBefore[i])
                ++headersChanged;
        }
        if (reaction->version && reaction->dependent == std::nullopt)
            EXPECT_NE(text(*w, qPrintable(reaction->version->memo)), versionBefore);
        if (!reaction->duplicate.isEmpty()) {
            EXPECT_EQ(w->DuplicateMode, reaction->duplicate);
            EXPECT_GT(w->DuplicateCountdown, 0);
        }
        if (reaction->duty == SpecialDuty::RememberSite)
            EXPECT_EQ(w->UserUS1, controlText(control));
        if (reaction->duty == SpecialDuty::CustomerSite)
            EXPECT_EQ(w->RecordSite, controlText(control));
    }
    // Most rows are walked; the few fields no demo user may change are named.
    EXPECT_GE(headersChanged, 10);
    EXPECT_GE(walked, 60) << notEditable.join(QLatin1Char(' ')).toStdString();
    EXPECT_LE(notEditable.size(), 6) << notEditable.join(QLatin1Char(' ')).toStdString();
}
