// Set-up of the field controls that draw from the choice lists: combo boxes (111, 112) and
// multi-select list boxes (110). Called through the control-kind table (src/engine/Kinds.cpp)
// at the first binding and again at every load, with the new value, list and rights.
#include "ui/TAxDravik.h"

#include "editing/ChoiceIndex.h"
#include "editing/ComboLists.h"
#include "editing/ListBoxLists.h"
#include "engine/TextRules.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/MultiListBox.h"

#include <QLabel>

namespace {

// The options list boxes whose selection the summary label shows.
bool isOptionsBox(const QWidget *box)
{
    return box->objectName() == QLatin1String("cVDInfoOptions")
            || box->objectName() == QLatin1String("cVNInfoOptions");
}

const QString kChange = QStringLiteral("Change");
const QString kClick = QStringLiteral("Click");
const QString kEnter = QStringLiteral("Enter");
const QString kExit = QStringLiteral("Exit");
const QString kKeyDown = QStringLiteral("KeyDown");
const QString kKeyPress = QStringLiteral("KeyPress");
const QString kKeyUp = QStringLiteral("KeyUp");

} // namespace

const ChoiceIndex &TAxDravik::ChoiceLists()
{
    if (!Choices)
        Choices = std::make_unique<ChoiceIndex>(EquipDoc);
    return *Choices;
}

QWidget *TAxDravik::SetupCombo(QWidget *control, int tab, int index, const FieldPlan &plan)
{
    TsDesc &d = TabDesc[tab].Descs[index];
    auto *box = qobject_cast<ComboBox *>(control);
    if (control && !box) {
        TraceLog(QStringLiteral("zone liste sans liste déroulante : ") + control->objectName());
        return SetupEdit(control, tab, index, plan);
    }
    // A given box gets its whole list below, which empties what it showed before.
    const bool given = box != nullptr;
    if (!given) {
        box = new ComboBox(FieldParent(tab, plan.onPanelCompta));
        box->setObjectName(plan.controlName);
        PlaceCreated(box, d.tControl, plan);
        box->setDropDownList(false); // a created box takes typed text
    }
    // A drop-down list takes typing to search, but only its entries are accepted. Switched
    // first: its background is then read from the edit it becomes, not from the button look
    // of a closed list.
    if (box->isDropDownList()) {
        d.ListOnly = true;
        box->setDropDownList(false);
    }
    d.ComboBox = box;
    d.Control = box;
    SetupCommon(d, box, tab, index, plan.fieldRight, plan.geometry.width, given);
    if (plan.maxLength != 0)
        box->setMaxLength(plan.maxLength);
    if (!d.Built && HandlerOf(box, kChange).isEmpty())
        AssignHandler(box, kChange, QStringLiteral("CBoxChange"));
    d.Width = box->width();
    if (!d.Built) {
        AssignHandler(box, kKeyDown, QStringLiteral("CBoxKeyDown"));
        if (HandlerOf(box, kKeyPress).isEmpty())
            AssignHandler(box, kKeyPress, QStringLiteral("GoOnKeyPress"));
    }
    if (FlagTrace)
        TraceLog(QStringLiteral("CBoxEvents : ") + d.FieldInfo + QStringLiteral(" - ")
                 + d.ListName);
    if (!d.Built) {
        AssignHandler(box, kEnter, QStringLiteral("CBoxEnter"));
        AssignHandler(box, kExit, QStringLiteral("CBoxExit"));
        AssignHandler(box, kKeyUp, QStringLiteral("cBoxKeyUp"));
    }

    const ComboFill fill = setupComboList(ChoiceLists(), d, RecordKind, RecordSite, ListFilter);
    d.IndexCoded = fill.IndexCoded;
    d.HasEmptyEntry = fill.HasEmptyEntry;
    box->setEntries(fill.entries, fill.selected);
    return box;
}

QWidget *TAxDravik::SetupListBox(QWidget *control, int tab, int index, const FieldPlan &plan)
{
    TsDesc &d = TabDesc[tab].Descs[index];
    auto *box = qobject_cast<MultiListBox *>(control);
    if (control && !box) {
        TraceLog(QStringLiteral("zone liste sans liste : ") + control->objectName());
        return SetupEdit(control, tab, index, plan);
    }
    const bool given = box != nullptr;
    if (!given) {
        box = new MultiListBox(FieldParent(tab, plan.onPanelCompta));
        box->setObjectName(plan.controlName);
        PlaceCreated(box, d.tControl, plan);
    }
    const ListBoxFill fill
            = setupListBoxList(ChoiceLists(), d, asciiUpper(FieldText(QStringLiteral("aSite"))));
    d.CodeList = fill.CodeList;
    box->setEntries(fill.entries, fill.selectedRows);
    if (isOptionsBox(box))
        LbInfoOptions->setText(optionsSummary(fill.entries, fill.selectedRows));
    d.ListBox = box;
    d.Control = box;
    SetupCommon(d, box, tab, index, plan.fieldRight, plan.geometry.width, given);
    if (!d.Built && HandlerOf(box, kClick).isEmpty())
        AssignHandler(box, kClick, QStringLiteral("LBoxChange"));
    return box;
}
