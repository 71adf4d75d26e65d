#pragma once

#include "ui/widgets/LineEditControl.h"
#include "ui/widgets/NumberEdit.h"

// A number field: a line edit whose typing goes through its validator, so that the value read
// back holds only what a number may hold.
class NumberEditControl : public LineEditControl
{
};
