#pragma once

#include "ui/widgets/MemoEdit.h"
#include "ui/widgets/PlainTextControl.h"

// A memo: a text area with a maximum length and one change signal per change; a text set
// again unchanged costs no layout, and the memo still shows its start.
class MemoControl : public PlainTextControl
{
public:
    QString value(const QWidget *control) const override { return memo(control)->text(); }
    void setValue(QWidget *control, const QString &value) const override
    {
        memo(control)->setText(value);
    }
    void showAgain(QWidget *control) const override
    {
        if (!control->hasFocus())
            memo(control)->showStart();
    }
    void setMaxLength(QWidget *control, int length) const override
    {
        memo(control)->setMaxLength(length);
    }
    QMetaObject::Connection connectChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler) const override
    {
        return QObject::connect(memo(control), &MemoEdit::changed, context,
                                [handler = std::move(handler)] { handler(); });
    }

private:
    static MemoEdit *memo(const QWidget *control)
    {
        return static_cast<MemoEdit *>(const_cast<QWidget *>(control));
    }
};
