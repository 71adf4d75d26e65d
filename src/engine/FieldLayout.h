#pragma once

#include "engine/FieldPlan.h"
#include "engine/Kinds.h"
#include "engine/TColor.h"

#include <optional>

// Where a field's caption label stands: left of the field (5 when the field is near the left
// edge, 48 or 22 pixels before it further right); list boxes (110, 120) keep their left.
int labelLeft(int tControl, int fieldLeft);

// The label of a created control, from the described rectangle.
PixelRect labelRectForCreated(int tControl, const PixelRect &field);

// The label of a design control: at the control's top (20 pixels higher and at the control's
// left for list boxes), with the described left rule and height.
PixelRect labelRectForDesign(int tControl, const PixelRect &field, const PixelRect &control);

// Whether a label is made: for a design control at its first binding when the field is visible;
// for a created control always; never without a caption or for a button.
bool labelWanted(bool designControl, bool firstBinding, int tControl, const QString &caption,
                 bool visible);

// The rectangle of the control created for a field that has no design control, from the
// described one (edits lose a pixel of height, combo boxes and list boxes gain 4, a list box
// stands under its label, a button 2 pixels lower).
PixelRect createdControlRect(int tControl, const PixelRect &field);

// A field control of width 0 (design or created) stays disabled, a created one hidden.
struct ControlLook
{
    bool enabled = false;
    std::optional<TColor> background; // empty: leave the background as it is
    std::optional<TColor> textColor; // empty: leave the text colour as it is
};

// Enabled with the right and a width; design background and the field's font colour with the
// right, clInactiveBorder without.
ControlLook setupLook(bool fieldRight, int width, TColor backColor, TColor fontColor);

// The mandatory mark: a label of a NotNull field is underlined while its value is empty, "0"
// or "0.00".
bool mandatoryMark(bool notNull, const QString &value);
