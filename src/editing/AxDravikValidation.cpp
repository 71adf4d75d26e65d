// Field validation: the date limits checked when a date field is left.
#include "ui/TAxDravik.h"

void TAxDravik::cDateEntreeExit(QWidget *) { }
void TAxDravik::cDateOrdreExit(QWidget *) { }
void TAxDravik::cMECExit(QWidget *) { }
void TAxDravik::cDateValidationGarantieExit(QWidget *) { }
void TAxDravik::cDateDisponibiliteExit(QWidget *) { }
void TAxDravik::cDateLivraisonExit(QWidget *) { }
void TAxDravik::cDatePresFinancementExit(QWidget *) { }
void TAxDravik::cDatePaiementExit(QWidget *) { }
void TAxDravik::cVDMECExit(QWidget *) { }
void TAxDravik::cVNDateOrdreExit(QWidget *) { }
void TAxDravik::cVNDateAnnulationExit(QWidget *) { }
void TAxDravik::cVNDateDisponibiliteExit(QWidget *) { }
void TAxDravik::cVNDateLivraisonExit(QWidget *) { }
void TAxDravik::cVNDatePresFinancementExit(QWidget *) { }
void TAxDravik::cVNDatePaiementExit(QWidget *) { }
void TAxDravik::cVNMECExit(QWidget *) { }
void TAxDravik::cVNDateLivrMaxiExit(QWidget *) { }
void TAxDravik::vDateOrdreExit(QWidget *) { }
void TAxDravik::vMECExit(QWidget *) { }
void TAxDravik::vDateLastSAVExit(QWidget *) { }
void TAxDravik::vDateNextSAVExit(QWidget *) { }
void TAxDravik::vDateFinGarantieExit(QWidget *) { }
void TAxDravik::vDateFinFinancementExit(QWidget *) { }
void TAxDravik::aCliDateNaissanceExit(QWidget *) { }
