#pragma once

#include "ui/widgets/FieldControl.h"

#include <QLineEdit>

// A one-line text field, the display-only header edit among them: read-only, not disabled,
// when the user may not change it.
class LineEditControl : public FieldControl
{
public:
    QString value(const QWidget *control) const override { return edit(control)->text(); }
    void setValue(QWidget *control, const QString &value) const override
    {
        edit(control)->setText(value);
        edit(control)->setCursorPosition(0); // a long text shows its start
    }
    void setMaxLength(QWidget *control, int length) const override
    {
        edit(control)->setMaxLength(length > 0 ? length : 32767);
    }
    QMetaObject::Connection connectChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler) const override
    {
        return QObject::connect(edit(control), &QLineEdit::textChanged, context,
                                [handler = std::move(handler)] { handler(); });
    }
    QPalette::ColorRole backgroundRole(const QWidget *) const override { return QPalette::Base; }
    void setEditable(QWidget *control, bool editable) const override
    {
        if (control->testAttribute(Qt::WA_ForceDisabled))
            control->setEnabled(true);
        edit(control)->setReadOnly(!editable);
    }
    bool editable(const QWidget *control) const override { return !edit(control)->isReadOnly(); }

protected:
    // Only widgets of the registered class reach this adapter.
    static QLineEdit *edit(const QWidget *control)
    {
        return static_cast<QLineEdit *>(const_cast<QWidget *>(control));
    }
};
