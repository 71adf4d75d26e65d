#pragma once

#include "ui/widgets/DateEdit.h"
#include "ui/widgets/FieldControl.h"

#include <QLineEdit>
#include <QToolButton>

// A date field: its text line is read-only, and its calendar button disabled, when the user may
// not change it.
class DateEditControl : public FieldControl
{
public:
    QString value(const QWidget *control) const override { return date(control)->text(); }
    void setValue(QWidget *control, const QString &value) const override
    {
        date(control)->setText(value);
    }
    QMetaObject::Connection connectChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler) const override
    {
        return QObject::connect(date(control), &DateEdit::textChanged, context,
                                [handler = std::move(handler)] { handler(); });
    }
    QPalette::ColorRole backgroundRole(const QWidget *) const override { return QPalette::Base; }
    void setEditable(QWidget *control, bool editable) const override
    {
        if (control->testAttribute(Qt::WA_ForceDisabled))
            control->setEnabled(true);
        date(control)->lineEdit()->setReadOnly(!editable);
        date(control)->calendarButton()->setEnabled(editable);
    }
    bool editable(const QWidget *control) const override
    {
        return !date(control)->lineEdit()->isReadOnly();
    }

private:
    static DateEdit *date(const QWidget *control)
    {
        return static_cast<DateEdit *>(const_cast<QWidget *>(control));
    }
};
