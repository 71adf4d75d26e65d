#pragma once

#include "ui/widgets/FieldControl.h"

#include <QPlainTextEdit>

// A toolkit text area: read-only, not disabled, when the user may not change it.
class PlainTextControl : public FieldControl
{
public:
    QString value(const QWidget *control) const override { return area(control)->toPlainText(); }
    void setValue(QWidget *control, const QString &value) const override
    {
        area(control)->setPlainText(value);
    }
    QMetaObject::Connection connectChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler) const override
    {
        return QObject::connect(area(control), &QPlainTextEdit::textChanged, context,
                                [handler = std::move(handler)] { handler(); });
    }
    QPalette::ColorRole backgroundRole(const QWidget *) const override { return QPalette::Base; }
    void setEditable(QWidget *control, bool editable) const override
    {
        if (control->testAttribute(Qt::WA_ForceDisabled))
            control->setEnabled(true);
        area(control)->setReadOnly(!editable);
    }
    bool editable(const QWidget *control) const override { return !area(control)->isReadOnly(); }

protected:
    static QPlainTextEdit *area(const QWidget *control)
    {
        return static_cast<QPlainTextEdit *>(const_cast<QWidget *>(control));
    }
};
