// Record search: the search panel, its criteria and results, and the previous and next
// records.
#include "ui/TAxDravik.h"

void TAxDravik::HttpGetSearchInfo(int) { }
void TAxDravik::JvXPBtnSearchClick(QWidget *) { }
void TAxDravik::JvXPBtnSearchPlusClick(QWidget *) { }
void TAxDravik::JvXPNextClick(QWidget *) { }
void TAxDravik::JvXPPrevClick(QWidget *) { }
void TAxDravik::LbSearchClick(QWidget *) { }
void TAxDravik::TSLbNVOClick(QWidget *) { }
void TAxDravik::TSLbImmatClick(QWidget *) { }
void TAxDravik::TSLbClientClick(QWidget *) { }
void TAxDravik::TSLbTelephoneClick(QWidget *) { }
void TAxDravik::TSLbMobileClick(QWidget *) { }
void TAxDravik::TSVClick(QWidget *) { }
void TAxDravik::ncbSearchChange(QWidget *) { }
void TAxDravik::ncbSiteChange(QWidget *) { }
void TAxDravik::ncbTypeVOChange(QWidget *) { }
void TAxDravik::ngSearchCellClick(QWidget *, GridArgs &) { }
void TAxDravik::ngSearchCellFormating(QWidget *, GridArgs &) { }
void TAxDravik::ngSearchMouseMove(QWidget *, GridArgs &) { }
