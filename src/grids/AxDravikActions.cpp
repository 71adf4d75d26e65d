// Follow-up actions grid.
#include "ui/TAxDravik.h"

void TAxDravik::LoadInfoAction() { }
bool TAxDravik::TestActionUpdate(int)
{
    return false;
}
void TAxDravik::JvXPBtnNewActionClick(QWidget *) { }
void TAxDravik::ngActionAfterEdit(QWidget *, GridArgs &) { }
void TAxDravik::ngActionBeforeSelect(QWidget *, GridArgs &) { }
void TAxDravik::ngActionCellClick(QWidget *, GridArgs &) { }
void TAxDravik::ngActionCellFormating(QWidget *, GridArgs &) { }
void TAxDravik::ngActionChange(QWidget *, GridArgs &) { }
void TAxDravik::ngActionEdit(QWidget *, GridArgs &) { }
void TAxDravik::ngActionEditAccept(QWidget *, GridArgs &) { }
void TAxDravik::ngActionKeyPress(QWidget *, KeyArgs &) { }
