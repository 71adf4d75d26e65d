// Customer vehicles grid.
#include "ui/TAxDravik.h"

void TAxDravik::LoadInfoVehicle() { }
void TAxDravik::JvXPBtnNewVehicleClick(QWidget *) { }
void TAxDravik::ngVehiclesBeforeSelect(QWidget *, GridArgs &) { }
void TAxDravik::ngVehiclesCellClick(QWidget *, GridArgs &) { }
void TAxDravik::ngVehiclesSelectCell(QWidget *, GridArgs &) { }
