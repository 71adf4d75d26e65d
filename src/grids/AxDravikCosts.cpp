// Reconditioning-costs grid.
#include "ui/TAxDravik.h"

void TAxDravik::LoadInfoFrevo() { }
bool TAxDravik::TestFrevoUpdate(int)
{
    return false;
}
QString TAxDravik::TestFraisFixes()
{
    return QString();
}
void TAxDravik::ngFrevoAfterEdit(QWidget *, GridArgs &) { }
void TAxDravik::ngFrevoBeforeSelect(QWidget *, GridArgs &) { }
void TAxDravik::ngFrevoCellClick(QWidget *, GridArgs &) { }
void TAxDravik::ngFrevoCellFormating(QWidget *, GridArgs &) { }
void TAxDravik::ngFrevoChange(QWidget *, GridArgs &) { }
void TAxDravik::ngFrevoEdit(QWidget *, GridArgs &) { }
void TAxDravik::ngFrevoEditAccept(QWidget *, GridArgs &) { }
