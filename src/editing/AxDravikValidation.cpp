// Field validation: the date limits checked when a date field is left. Each exit handler
// reads its limits from one table by the control's name.
#include "ui/TAxDravik.h"

#include "editing/ComboLists.h"
#include "editing/DateCheck.h"
#include "editing/Messages.h"
#include "editing/PageStatement.h"
#include "engine/TextRules.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/TextControl.h"

#include <QApplication>
#include <QLabel>

#include <algorithm>

namespace {

// Every date field checked on leaving it runs the same check with the limits of its name.
// Answers whether the date was refused.
bool checkDateOnExit(TAxDravik &w, QWidget *Sender)
{
    if (!Sender)
        return false;
    const auto rule = dateLimitRule(Sender->objectName());
    if (!rule)
        return false;
    LimitDates dates;
    dates.options = w.OptDates;
    dates.vehicleOrderText = w.FieldText(QStringLiteral("vDateOrdre"));
    dates.vehicleMecText = w.FieldText(QStringLiteral("vMEC"));
    dates.today = w.clock().now().date();
    const DateLimits limits = resolveLimits(*rule, dates);
    // The end of a guarantee or a financing is checked only against a known start.
    if (rule->lower == LimitSource::VehicleStart && !limits.lower.isValid())
        return false;
    return w.TestDateChange(Sender, limits.lower, limits.upper);
}

// Some digits of a date typed, not all of them.
bool halfTyped(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); })
            && !parseDate(text).isValid();
}

} // namespace

bool TAxDravik::TestFocusedDate()
{
    if (!FlagModifiable) // nothing can have been typed
        return false;
    for (QWidget *at = QApplication::focusWidget(); at && at != this; at = at->parentWidget()) {
        if (Control(at->objectName()) == at)
            return checkDateOnExit(*this, at);
    }
    return false;
}

void TAxDravik::CommitFocusedCombo()
{
    for (QWidget *at = QApplication::focusWidget(); at && at != this; at = at->parentWidget()) {
        if (auto *box = qobject_cast<ComboBox *>(at)) {
            box->commitTyped();
            return;
        }
    }
}

bool TAxDravik::TestFocusedField()
{
    if (TestFocusedDate())
        return true;
    if (!FlagModifiable)
        return false;
    CommitFocusedCombo();
    // A list-only box still showing a text it does not list would save its previous value
    // (in list maintenance the text is the entry to add or delete).
    if (FlagBlink)
        return false;
    for (QWidget *at = QApplication::focusWidget(); at && at != this; at = at->parentWidget()) {
        auto *box = qobject_cast<ComboBox *>(at);
        const TsDesc *d = box ? DescOf(box) : nullptr;
        if (!d)
            continue;
        if (!refusedByListOnly(*d, box->chosenText(), box->entries()))
            return false;
        const QString message = EditingText::invalidValue(FieldLabel(*d));
        SetWarning(message);
        ShowStatus(EditingText::notSaved(message));
        box->setFocus();
        return true;
    }
    return false;
}

QString TAxDravik::FieldLabel(const TsDesc &desc) const
{
    if (!desc.txtInfo.isEmpty() || !desc.Control)
        return fieldLabel(desc);
    const auto *design = qobject_cast<const QLabel *>(
            Controls.value(QStringLiteral("zLb") + desc.Control->objectName()));
    return fieldLabel(desc, design ? design->text() : QString());
}

bool TAxDravik::TestDateChange(QWidget *control, const QDate &lower, const QDate &upper)
{
    const TsDesc *d = DescOf(control);
    DateField field;
    field.text = controlText(control);
    field.described = d != nullptr;
    if (d) {
        field.LoadedValue = d->LoadedValue;
        field.label = FieldLabel(*d);
    }
    TraceLog(QStringLiteral("dans TestDateChange, nom du champ : ") + control->objectName());
    const DateDecision decision = ::TestDateChange(field, {lower, upper});
    if (!decision.message.isEmpty())
        messages().notify(EditingText::DateCheckTitle, decision.message,
                          MessageBoxes::Icon::Warning);
    if (decision.restoreLoaded && d)
        setControlText(control, d->LoadedValue);
    EditChange(control);
    if (decision.refused && decision.message.isEmpty() && d && halfTyped(field.text)) {
        // A date typed half-way keeps the focus: the user is told why.
        const QString message = EditingText::invalidValue(FieldLabel(*d));
        SetWarning(message);
        ShowStatus(EditingText::notSaved(message));
    }
    if (decision.refused)
        control->setFocus();
    return decision.refused;
}

void TAxDravik::cDateEntreeExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cDateOrdreExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cMECExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cDateValidationGarantieExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cDateDisponibiliteExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cDateLivraisonExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cDatePresFinancementExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cDatePaiementExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cVDMECExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cVNDateOrdreExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cVNDateAnnulationExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cVNDateDisponibiliteExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cVNDateLivraisonExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cVNDatePresFinancementExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cVNDatePaiementExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cVNMECExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::cVNDateLivrMaxiExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::vDateOrdreExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::vMECExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::vDateLastSAVExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::vDateNextSAVExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::vDateFinGarantieExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::vDateFinFinancementExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
void TAxDravik::aCliDateNaissanceExit(QWidget *Sender)
{
    checkDateOnExit(*this, Sender);
}
