// Price, VAT, margin and payment computations. Each change handler records the change first
// (as a list or as an edit), then runs the computation its field feeds.
#include "ui/TAxDravik.h"

#include "engine/TextRules.h"
#include "ui/widgets/TextControl.h"

void TAxDravik::UpdateTVAetMarges() { }
void TAxDravik::UpdateSoldeVN() { }
void TAxDravik::UpdateDateEcheanceTresorerie() { }
// Folding of the accounting panel.
void TAxDravik::LbPanelComptaClick(QWidget *) { }

void TAxDravik::cModeTVAChange(QWidget *Sender)
{
    if (RecordChange(Sender, true))
        UpdateTVAetMarges();
}

void TAxDravik::cTPVOChange(QWidget *Sender)
{
    if (RecordChange(Sender, false))
        UpdateTVAetMarges();
}

void TAxDravik::cPrixVenteChange(QWidget *Sender)
{
    cTPVOChange(Sender);
}

void TAxDravik::cPrixRepriseChange(QWidget *Sender)
{
    cTPVOChange(Sender);
}

void TAxDravik::cPrixGarantieChange(QWidget *Sender)
{
    cTPVOChange(Sender);
}

void TAxDravik::cVNMontantAchatChange(QWidget *Sender)
{
    if (RecordChange(Sender, false))
        UpdateSoldeVN();
}

void TAxDravik::cVNDateAchatChange(QWidget *Sender)
{
    if (!RecordChange(Sender, false))
        return;
    UpdateDateEcheanceTresorerie();
    setInfoField3();
    // A purchase date also becomes the invoice date.
    const QString purchase = controlText(Sender);
    if (purchase != FieldText(QStringLiteral("cVNDateFacture")) && parseDate(purchase).isValid())
        setControlText(Control(QStringLiteral("cVNDateFacture")), purchase);
}

void TAxDravik::cVNDateEch(QWidget *Sender)
{
    if (RecordChange(Sender, false))
        UpdateDateEcheanceTresorerie();
}

void TAxDravik::cVNSituationAchatChange(QWidget *Sender)
{
    if (RecordChange(Sender, true))
        UpdateDateEcheanceTresorerie();
}

void TAxDravik::cVNTypeFinancementChange(QWidget *Sender)
{
    cVNSituationAchatChange(Sender);
}

void TAxDravik::cVNDestinationChange(QWidget *Sender)
{
    cVNSituationAchatChange(Sender);
}

void TAxDravik::cVNDateOrdreChange(QWidget *Sender)
{
    if (RecordChange(Sender, false))
        setInfoField3();
}

void TAxDravik::cVNMECChange(QWidget *Sender)
{
    cVNDateOrdreChange(Sender);
}

void TAxDravik::cVNTypeFinancementDelaiChange(QWidget *Sender)
{
    RecordChange(Sender, false);
}
