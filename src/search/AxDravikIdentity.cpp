// Customer identity input: the identity line of the header and the window title, the change
// handlers of the identity fields and their key filters.
#include "ui/TAxDravik.h"

#include "search/Identity.h"
#include "ui/widgets/HeaderEdit.h"

void TAxDravik::ShowIdentity()
{
    const QString line = identityLine(FieldText(QStringLiteral("aCliCivilite")),
                                      FieldText(QStringLiteral("aCliNom")),
                                      FieldText(QStringLiteral("aCliPrenom")));
    SetHeaderText(xcIdentity, line);
    SetCaption(identityTitle(line));
}

// The identity fields' change handlers: rows of the reaction table (record, identity line,
// header, duplicate counter), kept callable by their names.
void TAxDravik::aCliCiviliteChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("aCliCiviliteChange"));
}

void TAxDravik::aCliNomChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("aCliNomChange"));
}

void TAxDravik::aCliPrenomChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("aCliPrenomChange"));
}

void TAxDravik::aCliEmailChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("aCliEmailChange"));
}

void TAxDravik::aCliMobileChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("aCliMobileChange"));
}

void TAxDravik::aCliTelDomChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("aCliTelDomChange"));
}

// Key filters of the identity fields: upper case, digits only, plates. A locked record takes
// no key at all.
void TAxDravik::FilterKey(QWidget *Sender, KeyArgs &Key, KeyFilter filter)
{
    GoOnKeyPress(Sender, Key);
    // Shortcuts (Ctrl+A, Ctrl+V...) are no typed characters.
    if (Key.handled || (Key.modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return;
    const QString typed = filterKey(filter, Key.text);
    if (typed.isEmpty())
        Key.handled = true;
    else
        Key.text = typed;
}

#define DRAVIK_KEY_FILTER(name, filter)                                                            \
    void TAxDravik::name(QWidget *Sender, KeyArgs &Key)                                            \
    {                                                                                              \
        FilterKey(Sender, Key, KeyFilter::filter);                                                 \
    }

DRAVIK_KEY_FILTER(aCliNomKeyPress, Upper)
DRAVIK_KEY_FILTER(aCliPrenomKeyPress, Upper)
DRAVIK_KEY_FILTER(aCliAdresse1KeyPress, Upper)
DRAVIK_KEY_FILTER(aCliAdresse2KeyPress, Upper)
DRAVIK_KEY_FILTER(aCliVilleKeyPress, Upper)
DRAVIK_KEY_FILTER(vInfoVersionKeyPress, Upper)
DRAVIK_KEY_FILTER(vInfoTypeVersionKeyPress, Upper)
DRAVIK_KEY_FILTER(aCliMobileKeyPress, Digits)
DRAVIK_KEY_FILTER(aCliTelDomKeyPress, Digits)
DRAVIK_KEY_FILTER(aCliTelBurKeyPress, Digits)
DRAVIK_KEY_FILTER(vImmatriculationKeyPress, Plate)
DRAVIK_KEY_FILTER(cImmatriculationKeyPress, Plate)
DRAVIK_KEY_FILTER(cVDImmatriculationKeyPress, Plate)
DRAVIK_KEY_FILTER(cVNImmatriculationKeyPress, Plate)

#undef DRAVIK_KEY_FILTER
