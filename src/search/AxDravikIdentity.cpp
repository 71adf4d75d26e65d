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

// Key filters of the identity fields: upper case, digits only, plates.
void TAxDravik::aCliNomKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::aCliPrenomKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::aCliAdresse1KeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::aCliAdresse2KeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::aCliVilleKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::vInfoVersionKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::vInfoTypeVersionKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::aCliMobileKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::aCliTelDomKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::aCliTelBurKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::vImmatriculationKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::cImmatriculationKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::cVDImmatriculationKeyPress(QWidget *, KeyArgs &) { }
void TAxDravik::cVNImmatriculationKeyPress(QWidget *, KeyArgs &) { }
