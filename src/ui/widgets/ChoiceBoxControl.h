#pragma once

#include "ui/widgets/FieldControl.h"

#include <QComboBox>

// A toolkit combo box: its current text; an editable box paints its edit's colour, a drop-down
// list its button's, with its text on the same colour.
class ChoiceBoxControl : public FieldControl
{
public:
    QString value(const QWidget *control) const override { return box(control)->currentText(); }
    void setValue(QWidget *control, const QString &value) const override
    {
        box(control)->setCurrentText(value);
    }
    QMetaObject::Connection connectChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler) const override
    {
        return QObject::connect(box(control), &QComboBox::currentTextChanged, context,
                                [handler = std::move(handler)] { handler(); });
    }
    QPalette::ColorRole backgroundRole(const QWidget *control) const override
    {
        return box(control)->isEditable() ? QPalette::Base : QPalette::Button;
    }
    void setBackground(QWidget *control, const QColor &color) const override
    {
        FieldControl::setBackground(control, color);
        if (!box(control)->isEditable())
            setPaletteRole(control, QPalette::Base, color);
    }

protected:
    static QComboBox *box(const QWidget *control)
    {
        return static_cast<QComboBox *>(const_cast<QWidget *>(control));
    }
};
