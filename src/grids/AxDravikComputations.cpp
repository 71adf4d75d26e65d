// Price, VAT, margin and payment computations, run after the change of a field they read.
#include "ui/TAxDravik.h"

void TAxDravik::UpdateTVAetMarges() { }
void TAxDravik::UpdateSoldeVN() { }
void TAxDravik::UpdateDateEcheanceTresorerie() { }
// Folding of the accounting panel.
void TAxDravik::LbPanelComptaClick(QWidget *) { }

// The change handlers of the fields the computations read: each is a row of the reaction
// table (record, compute, header), kept callable by its name.
void TAxDravik::cModeTVAChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cModeTVAChange"));
}

void TAxDravik::cTPVOChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cTPVOChange"));
}

void TAxDravik::cPrixVenteChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cPrixVenteChange"));
}

void TAxDravik::cPrixRepriseChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cPrixRepriseChange"));
}

void TAxDravik::cPrixGarantieChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cPrixGarantieChange"));
}

void TAxDravik::cVNMontantAchatChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNMontantAchatChange"));
}

void TAxDravik::cVNDateAchatChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNDateAchatChange"));
}

void TAxDravik::cVNSituationAchatChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNSituationAchatChange"));
}

void TAxDravik::cVNTypeFinancementChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNTypeFinancementChange"));
}

void TAxDravik::cVNDestinationChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNDestinationChange"));
}

void TAxDravik::cVNDateOrdreChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNDateOrdreChange"));
}

void TAxDravik::cVNMECChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNMECChange"));
}

void TAxDravik::cVNTypeFinancementDelaiChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNTypeFinancementDelaiChange"));
}

void TAxDravik::cVNDateEch(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNDateEcheanceChange"));
}
