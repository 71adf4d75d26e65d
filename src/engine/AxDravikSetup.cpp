// Field control set-up of edits and buttons: link the control to its descriptor, tag it, enable
// and colour it by the user's right, give it its handlers and its value. The same routines run
// at every later load with the new value and rights; a control given null is created. Combo
// boxes and list boxes, which draw from the choice lists, are set up in
// src/editing/AxDravikListSetup.cpp.
#include "ui/TAxDravik.h"

#include "engine/FieldLayout.h"
#include "engine/FieldValue.h"
#include "engine/TextRules.h"
#include "ui/widgets/NumberEdit.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QString kChange = QStringLiteral("Change");
const QString kKeyDown = QStringLiteral("KeyDown");
const QString kKeyPress = QStringLiteral("KeyPress");

} // namespace

void TAxDravik::PlaceCreated(QWidget *created, int tControl, const FieldPlan &plan)
{
    if (plan.geometry.width == 0) {
        created->hide();
        return;
    }
    const PixelRect r = createdControlRect(tControl, plan.geometry);
    created->setGeometry(r.left, r.top, r.width, r.height);
}

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
        PlaceCreated(control, d.tControl, plan);
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

QWidget *TAxDravik::SetupButton(QWidget *control, int tab, int index, const FieldPlan &plan)
{
    TsDesc &d = TabDesc[tab].Descs[index];
    const bool given = control != nullptr;
    if (!given) {
        auto *button = new PictureButton(FieldParent(tab, plan.onPanelCompta));
        button->setCaption(d.txtInfo);
        button->setObjectName(plan.controlName);
        PlaceCreated(button, d.tControl, plan);
        control = button;
    }
    d.Button = qobject_cast<QAbstractButton *>(control);
    // A button keeps its own background while the right allows: none is remembered for it.
    SetupCommon(d, control, tab, index, plan.fieldRight, plan.geometry.width, false);
    return control;
}
