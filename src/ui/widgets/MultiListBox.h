#pragma once

#include <QListWidget>

// A list box where each click selects or unselects an entry. clicked() reports the user's
// changes only; filling and selecting from the program stay silent.
class MultiListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit MultiListBox(QWidget *parent = nullptr);

    QStringList entries() const;
    void setEntries(const QStringList &entries, const QList<int> &selectedRows = {});
    QList<int> selectedRows() const; // in list order
    void setSelectedRows(const QList<int> &rows);

signals:
    void clicked();

private:
    bool m_filling = false;
};
