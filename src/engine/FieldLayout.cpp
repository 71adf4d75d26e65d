#include "engine/FieldLayout.h"

#include "engine/TsDesc.h"

int labelLeft(int tControl, int fieldLeft)
{
    if (controlKindRule(tControl).labelAbove)
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
    if (controlKindRule(tControl).labelAbove)
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

PixelRect createdControlRect(int tControl, const PixelRect &f)
{
    const PixelRect &d = controlKindRule(tControl).createdOffset;
    return {f.left + d.left, f.top + d.top, f.width + d.width, f.height + d.height};
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
