#pragma once

// The sorter of a list view: a click on a column header sorts by that column, a second click
// on the same column turns the direction. Owned by the list view it sorts.

#include "photos/ListSort.h"

#include <QObject>
#include <QVector>

class QTreeWidget;

class TListViewSort : public QObject
{
    Q_OBJECT
public:
    // Replaces any sorter the view had.
    TListViewSort(QTreeWidget *view, QVector<SortKind> kinds);
    void ColumnClick(int column);
    void Sort();
    void SortBy(int column, bool ascending);
    int sortColumn() const { return m_column; }
    bool ascending() const { return m_ascending; }

private:
    QTreeWidget *m_view;
    QVector<SortKind> m_kinds;
    int m_column = -1;
    bool m_ascending = true;
};
