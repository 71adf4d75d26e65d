#include "ui/widgets/MultiListBox.h"

#include <algorithm>

MultiListBox::MultiListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::MultiSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_filling)
            emit clicked();
    });
}

QStringList MultiListBox::entries() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list << item(i)->text();
    return list;
}

void MultiListBox::setEntries(const QStringList &entries, const QList<int> &selectedRows)
{
    m_filling = true;
    if (entries != this->entries()) {
        clear();
        addItems(entries);
    }
    m_filling = false;
    setSelectedRows(selectedRows);
}

QList<int> MultiListBox::selectedRows() const
{
    QList<int> rows;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->isSelected())
            rows << i;
    }
    return rows;
}

void MultiListBox::setSelectedRows(const QList<int> &rows)
{
    QList<int> wanted = rows;
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    if (selectedRows() == wanted)
        return;
    m_filling = true;
    for (int i = 0; i < count(); ++i)
        item(i)->setSelected(rows.contains(i));
    m_filling = false;
}
