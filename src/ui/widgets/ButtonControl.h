#pragma once

#include "ui/widgets/FieldControl.h"

// A toolkit button: no value; it paints its button colour and is disabled when it may not be
// used.
class ButtonControl : public FieldControl
{
public:
    QPalette::ColorRole backgroundRole(const QWidget *) const override { return QPalette::Button; }
};
