#pragma once

#include "ui/widgets/FieldControl.h"

// A toolkit view (tree, grid, list): no value of its own; it paints its base colour.
class ScrollAreaControl : public FieldControl
{
public:
    QPalette::ColorRole backgroundRole(const QWidget *) const override { return QPalette::Base; }
};
