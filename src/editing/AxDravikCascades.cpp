// List cascades and version text: what a field change refills (dependent lists, the version
// memo) and the special duties of some fields (remembered site, customer site, week label,
// invoice date).
#include "ui/TAxDravik.h"

#include "editing/FieldReactions.h"

void TAxDravik::FieldCascades(QWidget *, const FieldReaction &) { }

void TAxDravik::FieldDuty(QWidget *, const FieldReaction &) { }
