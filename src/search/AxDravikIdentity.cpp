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

void TAxDravik::aCliCiviliteChange(QWidget *Sender)
{
    if (RecordChange(Sender, true))
        ShowIdentity();
}

void TAxDravik::aCliNomChange(QWidget *Sender)
{
    if (!RecordChange(Sender, false))
        return;
    ShowIdentity();
    setDblChange(QStringLiteral("Nom"));
}

void TAxDravik::aCliPrenomChange(QWidget *Sender)
{
    if (!RecordChange(Sender, false))
        return;
    ShowIdentity();
    setDblChange(QStringLiteral("Ident"));
}

void TAxDravik::aCliEmailChange(QWidget *Sender)
{
    if (RecordChange(Sender, false))
        setInfoField1();
}

void TAxDravik::aCliMobileChange(QWidget *Sender)
{
    if (!RecordChange(Sender, false))
        return;
    setInfoField2();
    setDblChange(QStringLiteral("Mobile"));
}

void TAxDravik::aCliTelDomChange(QWidget *Sender)
{
    if (!RecordChange(Sender, false))
        return;
    setInfoField3();
    setDblChange(QStringLiteral("TelDom"));
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
