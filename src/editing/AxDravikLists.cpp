// Choice lists on screen: the value capture of list fields, their keyboard and focus rules
// (list-maintenance mode, the Delete key, the widened list), the list boxes and the options
// lists of the demonstration and new-vehicle tabs.
#include "ui/TAxDravik.h"

#include "editing/ChoiceIndex.h"
#include "editing/ComboLists.h"
#include "editing/ListBoxLists.h"
#include "editing/ListMaintenance.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/MultiListBox.h"

#include <QFrame>
#include <QLabel>

namespace {

// The options list and its button on the demonstration and new-vehicle tabs.
constexpr int kOptionsWidth = 200;
constexpr int kOptionsHeight = 480;

bool ctrlHeld(const KeyArgs &key)
{
    return key.modifiers & Qt::ControlModifier;
}

} // namespace

void TAxDravik::CBoxControl(QWidget *Sender, int &Tab, int &Index)
{
    Tab = Index = 0;
    TsDesc *d = DescOf(Sender);
    auto *box = qobject_cast<ComboBox *>(Sender);
    if (!d || !box)
        return;
    const QString text = box->chosenText();
    if (refusedByListOnly(*d, text, box->entries())) {
        if (!FlagLoading)
            box->setFocus();
        return;
    }
    const int tag = TagOf(Sender);
    Tab = tabOfTag(tag);
    Index = indexOfTag(tag);
    if (box->count() == 0)
        return;
    // The entry the text shows: typing a listed text selects it, as picking it does.
    int selected = box->currentIndex();
    if (selected < 0 || box->itemText(selected) != text)
        selected = box->findText(text, Qt::MatchFixedString);
    d->CurrentValue = storedComboValue(ChoiceLists(), *d, selected, text);
    TestPageUpdate(Tab);
}

void TAxDravik::CBoxChange(QWidget *Sender)
{
    if (FlagLoading || !GoTestVerrou())
        return;
    int tab = 0;
    int index = 0;
    CBoxControl(Sender, tab, index);
}

void TAxDravik::CBoxEnter(QWidget *Sender)
{
    auto *box = qobject_cast<ComboBox *>(Sender);
    if (!box)
        return;
    if (box->listWidth() > box->width())
        box->resize(box->listWidth(), box->height());
    const TsDesc *d = DescOf(box);
    if (d && listMaintenanceAllowed(*d, RightAdmin, keyboard().ctrlDown())) {
        box->setDropDownList(false);
        FlagBlink = true;
        Shape1->setParent(box->parentWidget());
        Shape1->setGeometry(box->x() - 3, box->y(), box->width() + 6, box->height());
        Shape1->raise();
        Shape1->show();
    }
    // Completion: every box completes from its own entries (ComboBox), always current.
}

void TAxDravik::CBoxExit(QWidget *Sender)
{
    // Leaving takes the completion the box offers: its change runs first, cascades included.
    if (auto *box = qobject_cast<ComboBox *>(Sender))
        box->commitTyped();
    int tab = 0;
    int index = 0;
    CBoxControl(Sender, tab, index);
    const TsDesc *d = DescOf(Sender);
    if (!d || (tab == 0 && index == 0))
        return;
    FlagBlink = false;
    Shape1->hide();
    auto *box = qobject_cast<ComboBox *>(Sender);
    if (box && box->listWidth() > 0)
        box->resize(d->Width, box->height());
}

void TAxDravik::CBoxKeyDown(QWidget *Sender, KeyArgs &Key)
{
    GoOnKeyDown(Sender, Key);
    if (Key.handled)
        return;
    const TsDesc *d = DescOf(Sender);
    auto *box = qobject_cast<ComboBox *>(Sender);
    if (!d || !box)
        return;
    if (Key.key == Qt::Key_Delete && deleteKeyEmpties(*d)) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
        Key.handled = true;
        return;
    }
    if (FlagBlink && ctrlHeld(Key) && Key.key != Qt::Key_Control) {
        const bool listed = box->entries().contains(box->currentText());
        if (Key.key == Qt::Key_D && listed)
            ActionInfoRubrique(Sender, int(ListAction::Delete));
        else if (Key.key == Qt::Key_S && !listed)
            ActionInfoRubrique(Sender, int(ListAction::Add));
        if (Key.key == Qt::Key_D || Key.key == Qt::Key_S)
            Key.handled = true;
        // The keypad's minus and plus act when released; they type nothing into the box.
        if ((Key.modifiers & Qt::KeypadModifier)
            && (Key.key == Qt::Key_Minus || Key.key == Qt::Key_Plus))
            Key.handled = true;
    }
}

void TAxDravik::cBoxKeyUp(QWidget *Sender, KeyArgs &Key)
{
    auto *box = qobject_cast<ComboBox *>(Sender);
    if (!box || !FlagBlink || !ctrlHeld(Key) || !(Key.modifiers & Qt::KeypadModifier))
        return;
    const bool listed = box->entries().contains(box->currentText());
    if (Key.key == Qt::Key_Minus && listed)
        ActionInfoRubrique(Sender, int(ListAction::Delete));
    else if (Key.key == Qt::Key_Plus && !listed)
        ActionInfoRubrique(Sender, int(ListAction::Add));
}

void TAxDravik::LBoxChange(QWidget *Sender)
{
    if (FlagLoading || !GoTestVerrou())
        return;
    TsDesc *d = DescOf(Sender);
    auto *box = qobject_cast<MultiListBox *>(Sender);
    if (!d || !box)
        return;
    const QList<int> rows = box->selectedRows();
    d->CurrentValue = listBoxValue(d->CodeList, rows);
    if (box->objectName() == QLatin1String("cVDInfoOptions")
        || box->objectName() == QLatin1String("cVNInfoOptions"))
        LbInfoOptions->setText(optionsSummary(box->entries(), rows));
    TestPageUpdate(tabOfTag(TagOf(Sender)));
}

void TAxDravik::LoadInfoNxComboBox(const QString &listName, ComboBox *box)
{
    if (!box)
        return;
    // An absent parameter list leaves the box as it was.
    if (const auto entries = ::LoadInfoNxComboBox(ChoiceLists(), listName, RecordSite))
        box->setEntries(*entries, -1);
}

void TAxDravik::LoadInfoNxComboBoxColumn(const QString &listName, DataGrid *grid, int column)
{
    if (!grid)
        return;
    if (const auto entries = ::LoadInfoNxComboBox(ChoiceLists(), listName, RecordSite, true))
        grid->setColumnItems(column, *entries);
}

void TAxDravik::SetInfoComboBoxIdCom(const QString &idCom, ComboBox *box)
{
    if (!box)
        return;
    const int entry = ::SetInfoComboBoxIdCom(ChoiceLists(), idCom, box->entries());
    if (entry >= 0)
        box->setCurrentIndex(entry);
}

QString TAxDravik::GetInfoComboBoxIdCom(const QString &listName, const QString &shown)
{
    return ::GetInfoComboBoxIdCom(ChoiceLists(), listName, shown);
}

namespace {

// The button shows or hides its list, which takes the focus when shown.
void toggleOptions(QWidget *list)
{
    if (!list)
        return;
    list->setVisible(list->isHidden());
    if (!list->isHidden())
        list->setFocus();
}

// Entering, the list stands tall over the page and its button goes; leaving, the reverse.
void openOptions(QWidget *list, QWidget *button)
{
    if (list)
        list->resize(kOptionsWidth, kOptionsHeight);
    if (button)
        button->hide();
}

void closeOptions(QWidget *list, QWidget *button)
{
    if (list)
        list->hide();
    if (button)
        button->show();
}

} // namespace

void TAxDravik::czVDOptionsClick(QWidget *)
{
    toggleOptions(Control(QStringLiteral("cVDInfoOptions")));
}

void TAxDravik::czVNOptionsClick(QWidget *)
{
    toggleOptions(Control(QStringLiteral("cVNInfoOptions")));
}

void TAxDravik::cVDInfoOptionsEnter(QWidget *Sender)
{
    openOptions(Sender, Control(QStringLiteral("czVDOptions")));
}

void TAxDravik::cVDInfoOptionsExit(QWidget *Sender)
{
    closeOptions(Sender, Control(QStringLiteral("czVDOptions")));
}

void TAxDravik::cVNInfoOptionsEnter(QWidget *Sender)
{
    openOptions(Sender, Control(QStringLiteral("czVNOptions")));
}

void TAxDravik::cVNInfoOptionsExit(QWidget *Sender)
{
    closeOptions(Sender, Control(QStringLiteral("czVNOptions")));
}
