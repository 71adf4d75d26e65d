#include "engine/FieldLayout.h"

#include "engine/TsDesc.h"

namespace {

bool isListCaptioned(int tControl)
{
    return tControl == ControlKind::ListBox || tControl == ControlKind::ListCaptioned;
}

} // namespace

int labelLeft(int tControl, int fieldLeft)
{
    if (isListCaptioned(tControl))
        return fieldLeft;
    if (fieldLeft < 94)
        return 5;
    if (fieldLeft < 401)
        return fieldLeft - 48;
    return fieldLeft - 22;
}

PixelRect labelRectForCreated(int tControl, const PixelRect &field)
{
    return {labelLeft(tControl, field.left), field.top + 2, 0, field.height};
}

PixelRect labelRectForDesign(int tControl, const PixelRect &field, const PixelRect &control)
{
    if (isListCaptioned(tControl))
        return {control.left, control.top - 20 + 2, 0, field.height};
    return {labelLeft(tControl, field.left), control.top + 2, 0, field.height};
}

bool labelWanted(bool designControl, bool firstBinding, int tControl, const QString &caption,
                 bool visible)
{
    if (caption.isEmpty() || tControl == ControlKind::Button)
        return false;
    return !designControl || (firstBinding && visible);
}

CreatedKind createdControlKind(int tControl)
{
    switch (tControl) {
    case ControlKind::ListBox:
        return CreatedKind::ListBox;
    case ControlKind::TextCombo:
    case ControlKind::PositionCombo:
        return CreatedKind::ComboBox;
    case ControlKind::Button:
        return CreatedKind::Button;
    default:
        return CreatedKind::NumberEdit;
    }
}

PixelRect createdControlRect(int tControl, const PixelRect &f)
{
    switch (createdControlKind(tControl)) {
    case CreatedKind::ListBox:
        return {f.left, f.top + 21, f.width, f.height + 4};
    case CreatedKind::ComboBox:
        return {f.left, f.top, f.width, f.height + 4};
    case CreatedKind::Button:
        return {f.left, f.top + 2, f.width, f.height - 1};
    case CreatedKind::NumberEdit:
        break;
    }
    return {f.left, f.top, f.width, f.height - 1};
}

ControlLook setupLook(bool fieldRight, int width, TColor backColor, TColor fontColor)
{
    ControlLook look;
    look.enabled = fieldRight && width != 0;
    if (fieldRight) {
        if (backColor != 0)
            look.background = backColor;
        look.textColor = fontColor;
    } else {
        look.background = clInactiveBorder;
    }
    return look;
}

bool mandatoryMark(bool notNull, const QString &value)
{
    return notNull
            && (value.isEmpty() || value == QLatin1String("0") || value == QLatin1String("0.00"));
}
