// Field control set-up by control kind: link the control to its descriptor, tag it, enable and
// colour it by the user's right, give it its handlers and its value or list. The same routines
// run at every later load with the new value and rights; a control given null is created.
#include "ui/TAxDravik.h"

#include "editing/ChoiceIndex.h"
#include "editing/ComboLists.h"
#include "editing/ListBoxLists.h"
#include "engine/FieldLayout.h"
#include "engine/FieldValue.h"
#include "engine/TextRules.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/MultiListBox.h"
#include "ui/widgets/NumberEdit.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QString kChange = QStringLiteral("Change");
const QString kClick = QStringLiteral("Click");
const QString kEnter = QStringLiteral("Enter");
const QString kExit = QStringLiteral("Exit");
const QString kKeyDown = QStringLiteral("KeyDown");
const QString kKeyPress = QStringLiteral("KeyPress");
const QString kKeyUp = QStringLiteral("KeyUp");

void place(QWidget *created, int tControl, const FieldPlan &plan)
{
    if (plan.geometry.width == 0) {
        created->hide();
        return;
    }
    const PixelRect r = createdControlRect(tControl, plan.geometry);
    created->setGeometry(r.left, r.top, r.width, r.height);
}

// The control of class T: the one given, or a new one placed where the field is described.
template<typename T>
T *givenOrCreated(QWidget *control, QWidget *parent, const TsDesc &d, const FieldPlan &plan)
{
    if (auto *given = qobject_cast<T *>(control))
        return given;
    auto *made = new T(parent);
    made->setObjectName(plan.controlName);
    place(made, d.tControl, plan);
    return made;
}

// The options list boxes whose selection the summary label shows.
bool isOptionsBox(const QWidget *box)
{
    return box->objectName() == QLatin1String("cVDInfoOptions")
            || box->objectName() == QLatin1String("cVNInfoOptions");
}

} // namespace

void TAxDravik::SetupCommon(TsDesc &d, QWidget *control, int tab, int index, bool fieldRight,
                            int width, bool given)
{
    if (given && d.BackColor == 0)
        d.BackColor = tColorFromColor(controlBackground(control));
    if (!d.Built) // a later load finds the tag in place
        SetTag(control, controlTag(tab, index));
    const ControlLook look = setupLook(fieldRight, width, d.BackColor, d.FontColor);
    setControlEditable(control, look.enabled);
    if (look.background)
        setControlBackground(control, colorFromTColor(*look.background));
    if (look.textColor)
        setControlTextColor(control, colorFromTColor(*look.textColor));
}

const ChoiceIndex &TAxDravik::ChoiceLists()
{
    if (!Choices)
        Choices = std::make_unique<ChoiceIndex>(EquipDoc);
    return *Choices;
}

QWidget *TAxDravik::SetupEdit(QWidget *control, int tab, int index, const FieldPlan &plan)
{
    TsDesc &d = TabDesc[tab].Descs[index];
    const bool given = control != nullptr;
    if (!given) {
        // A field typed as a number takes only numbers; any other created field takes text.
        QWidget *parent = FieldParent(tab, plan.onPanelCompta);
        if (d.tInfo == DataKind::Decimal || d.tInfo == DataKind::Integer)
            control = new NumberEdit(d.tInfo == DataKind::Decimal, parent);
        else
            control = new QLineEdit(parent);
        control->setObjectName(plan.controlName);
        place(control, d.tControl, plan);
    }
    d.Control = control;
    SetupCommon(d, control, tab, index, plan.fieldRight, plan.geometry.width, given);
    if (plan.maxLength != 0)
        setControlMaxLength(control, plan.maxLength);
    // Handlers are given at the first set-up; a later load finds them in place.
    if (!d.Built) {
        AssignHandler(control, kKeyDown, QStringLiteral("CBoxKeyDown"));
        if (HandlerOf(control, kKeyPress).isEmpty())
            AssignHandler(control, kKeyPress, QStringLiteral("GoOnKeyPress"));
        if (HandlerOf(control, kChange).isEmpty())
            AssignHandler(control, kChange, QStringLiteral("EditChange"));
    }
    setControlText(control, editText(d));
    return control;
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
        box = givenOrCreated<ComboBox>(nullptr, FieldParent(tab, plan.onPanelCompta), d, plan);
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
    box = givenOrCreated<MultiListBox>(box, FieldParent(tab, plan.onPanelCompta), d, plan);
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

QWidget *TAxDravik::SetupButton(QWidget *control, int tab, int index, const FieldPlan &plan)
{
    TsDesc &d = TabDesc[tab].Descs[index];
    const bool given = control != nullptr;
    if (!given) {
        auto *button = new PictureButton(FieldParent(tab, plan.onPanelCompta));
        button->setCaption(d.txtInfo);
        button->setObjectName(plan.controlName);
        place(button, d.tControl, plan);
        control = button;
    }
    d.Button = qobject_cast<QAbstractButton *>(control);
    // A button keeps its own background while the right allows: none is remembered for it.
    SetupCommon(d, control, tab, index, plan.fieldRight, plan.geometry.width, false);
    return control;
}
