#pragma once

#include "engine/TsDesc.h"

#include <QString>

// A rectangle in pixels inside the field's parent (width 0 on a label: sized to its caption).
struct PixelRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect &) const = default;
};

// Everything the window needs to bind one described field: the descriptor (values filled,
// controls still empty) and where and how its control stands.
struct FieldPlan
{
    TsDesc desc;
    int index = 0; // descriptor index in its tab
    int idNum = 0;
    bool onPanelCompta = false; // idNum >= 1000: the field lives on PanelCompta
    PixelRect geometry; // described position, converted from twips
    int maxLength = 0; // "length", 0 = no limit
    bool fieldRight = false; // the user may edit the field
    bool visible = true;
    QString controlName; // tab prefix + field name: the design control to bind
};
