#pragma once

#include "ui/widgets/MultiListBox.h"
#include "ui/widgets/ScrollAreaControl.h"

// A multi-select list box: its value is the texts of the selected entries, one a line, in list
// order; its change is the user's click (the program's selection stays silent).
class ListBoxControl : public ScrollAreaControl
{
public:
    QString value(const QWidget *control) const override
    {
        const QStringList entries = list(control)->entries();
        QStringList chosen;
        for (int row : list(control)->selectedRows())
            chosen << entries.at(row);
        return chosen.join(QLatin1Char('\n'));
    }
    void setValue(QWidget *control, const QString &value) const override
    {
        const QStringList wanted = value.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList entries = list(control)->entries();
        QList<int> rows;
        for (int row = 0; row < entries.size(); ++row) {
            if (wanted.contains(entries.at(row)))
                rows << row;
        }
        list(control)->setSelectedRows(rows);
    }
    QMetaObject::Connection connectChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler) const override
    {
        return QObject::connect(list(control), &MultiListBox::clicked, context,
                                [handler = std::move(handler)] { handler(); });
    }

private:
    static MultiListBox *list(const QWidget *control)
    {
        return static_cast<MultiListBox *>(const_cast<QWidget *>(control));
    }
};
