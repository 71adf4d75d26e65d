#pragma once

#include "ui/widgets/ChoiceBoxControl.h"
#include "ui/widgets/ComboBox.h"

// The program's combo box: its value is the text the user chose (never an inline completion
// still offered), and its change is that chosen text changing.
class ComboBoxControl : public ChoiceBoxControl
{
public:
    QString value(const QWidget *control) const override { return combo(control)->chosenText(); }
    void setValue(QWidget *control, const QString &value) const override
    {
        combo(control)->setText(value);
    }
    void setMaxLength(QWidget *control, int length) const override
    {
        combo(control)->setMaxLength(length);
    }
    QMetaObject::Connection connectChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler) const override
    {
        return QObject::connect(combo(control), &ComboBox::chosenTextChanged, context,
                                [handler = std::move(handler)] { handler(); });
    }

private:
    static ComboBox *combo(const QWidget *control)
    {
        return static_cast<ComboBox *>(const_cast<QWidget *>(control));
    }
};
