// Server-side list maintenance: adding or deleting the entry of a maintained list.
#include "ui/TAxDravik.h"

void TAxDravik::ActionInfoRubrique(QWidget *, int) { }
