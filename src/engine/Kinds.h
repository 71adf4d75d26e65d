#pragma once

#include "engine/FieldPlan.h"

#include <QDate>
#include <QString>

// The two registries of the form engine: what a data kind (tInfo) means for a value, and what
// a control kind (tControl) means for the control that serves a field. Each unknown kind takes
// one fallback, given here, and the caller traces it.

// Data kinds: 1 date, 2 text, 3 Boolean, 4 integer, 5 decimal. Fallback: the value as received.
struct DataKindRule
{
    int kind;
    const char *name;
    bool nowIsToday; // "now" stands for today's date
    bool decodeInEdits; // an edit shows the text with its entities decoded
    bool removeBlanks; // blanks (thousands separators) are dropped
    bool twoDecimals; // written "0.00", "." as separator
};
const DataKindRule &dataKindRule(int tInfo, bool *known = nullptr);

// The value held and shown for a value read from the record document (or a default).
QString loadedText(int tInfo, int tControl, const QString &raw, const QDate &today);

class QWidget;

// The window's set-up routines of a field's control. Each links the control to the field's
// descriptor, gives it its look, handlers and value, and answers the control that serves the
// field; given no control, it makes one on the field's page (an edit makes a number edit for a
// number field, a line edit otherwise).
class FieldSetup
{
public:
    virtual ~FieldSetup() = default;
    virtual QWidget *SetupEdit(QWidget *control, int tab, int index, const FieldPlan &plan) = 0;
    virtual QWidget *SetupCombo(QWidget *control, int tab, int index, const FieldPlan &plan) = 0;
    virtual QWidget *SetupListBox(QWidget *control, int tab, int index, const FieldPlan &plan) = 0;
    virtual QWidget *SetupButton(QWidget *control, int tab, int index, const FieldPlan &plan) = 0;
};

// The routine that makes and sets up a kind's control; null leaves the control as it is.
using SetupRoutine
        = QWidget *(FieldSetup::*)(QWidget *control, int tab, int index, const FieldPlan &plan);

// Control kinds: 104 button, 109 edit, 110 list box, 111 text combo, 112 position combo, 120
// captioned like a list box. Fallback: a design control gets no set-up, a created one is
// made and set up as an edit, and neither is set up again at later loads.
struct ControlKindRule
{
    int kind;
    const char *name;
    SetupRoutine designSetup; // a bound design control
    SetupRoutine createdSetup; // makes the control of a field without a design control
    PixelRect createdOffset; // added to the described rectangle of a created control
    bool labelAbove; // the label stands above, at the control's left
    bool refreshed; // set up again at each load
};
const ControlKindRule &controlKindRule(int tControl, bool *known = nullptr);
