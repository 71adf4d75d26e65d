// Report printing and the test SMS.
#include "ui/TAxDravik.h"

void TAxDravik::JvXPBtnPrintClick(QWidget *) { }
void TAxDravik::czFeuilleMargeClick(QWidget *) { }
void TAxDravik::JvXPBtnSMSClick(QWidget *) { }
