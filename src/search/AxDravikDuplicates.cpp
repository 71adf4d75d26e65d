// Duplicate customer detection: the counters armed by the identity fields and their queries.
#include "ui/TAxDravik.h"

void TAxDravik::setDblChange(const QString &mode)
{
    DuplicateMode = mode;
    DuplicateCountdown = 4;
}

void TAxDravik::HttpGetDblInfo() { }
void TAxDravik::DblNomClick(QWidget *) { }
void TAxDravik::DblIdentClick(QWidget *) { }
void TAxDravik::DblMobileClick(QWidget *) { }
void TAxDravik::DblTelDomClick(QWidget *) { }
void TAxDravik::aCliNomDblClick(QWidget *) { }
void TAxDravik::aCliPrenomDblClick(QWidget *) { }
void TAxDravik::aCliMobileDblClick(QWidget *) { }
void TAxDravik::aCliTelDomDblClick(QWidget *) { }
