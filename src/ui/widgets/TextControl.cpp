#include "ui/widgets/TextControl.h"

#include "ui/widgets/FieldControl.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

// Each call goes to the adapter of the control's kind (FieldControl).

QString controlText(const QWidget *control)
{
    return control ? fieldControl(control).value(control) : QString();
}

void setControlText(QWidget *control, const QString &text)
{
    if (!control)
        return;
    // The same text again changes nothing, and costs no layout of a memo.
    const FieldControl &kind = fieldControl(control);
    if (kind.value(control) == text)
        kind.showAgain(control);
    else
        kind.setValue(control, text);
}

void setControlMaxLength(QWidget *control, int length)
{
    if (control)
        fieldControl(control).setMaxLength(control, length);
}

QColor controlBackground(const QWidget *control)
{
    return control->palette().color(QPalette::Active,
                                    fieldControl(control).backgroundRole(control));
}

void setControlBackground(QWidget *control, const QColor &color)
{
    fieldControl(control).setBackground(control, color);
}

void setControlTextColor(QWidget *control, const QColor &color)
{
    setPaletteRole(control, textRoleOn(fieldControl(control).backgroundRole(control)), color);
}

void setControlEditable(QWidget *control, bool editable)
{
    fieldControl(control).setEditable(control, editable);
}

bool controlEditable(const QWidget *control)
{
    if (!control || !control->isEnabledTo(control->window()))
        return false;
    return fieldControl(control).editable(control);
}

QMetaObject::Connection connectTextChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler)
{
    if (!control)
        return {};
    return fieldControl(control).connectChanged(control, context, std::move(handler));
}

QColor colorFromTColor(TColor color)
{
    if (color >= 0)
        return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QPalette palette = QApplication::palette();
    switch (color) {
    case clWindow:
        return palette.color(QPalette::Base);
    case clWindowText:
        return palette.color(QPalette::Text);
    case clBtnFace:
        return palette.color(QPalette::Button);
    case clInactiveBorder:
        return QColor(0xD4, 0xD0, 0xC8);
    default:
        return QColor();
    }
}

TColor tColorFromColor(const QColor &color)
{
    return color.isValid() ? tColorFromRgb(color.red(), color.green(), color.blue()) : 0;
}
