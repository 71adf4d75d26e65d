#include "photos/TListViewSort.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>

TListViewSort::TListViewSort(QTreeWidget *view, QVector<SortKind> kinds)
    : QObject(view)
    , m_view(view)
    , m_kinds(std::move(kinds))
{
    for (TListViewSort *older :
         view->findChildren<TListViewSort *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (older != this)
            delete older;
    }
    QHeaderView *header = view->header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &TListViewSort::ColumnClick);
}

void TListViewSort::ColumnClick(int column)
{
    m_ascending = column == m_column ? !m_ascending : true;
    m_column = column;
    Sort();
}

void TListViewSort::SortBy(int column, bool ascending)
{
    m_column = column;
    m_ascending = ascending;
    Sort();
}

void TListViewSort::Sort()
{
    if (m_column < 0)
        return;
    const SortKind kind = m_column < m_kinds.size() ? m_kinds[m_column] : SortKind::Text;
    // The entries are taken out and put back in order; the selection goes with them and
    // the view says nothing of it.
    const QSignalBlocker blocker(m_view);
    QTreeWidgetItem *current = m_view->currentItem();
    QList<QTreeWidgetItem *> items;
    while (m_view->topLevelItemCount() > 0)
        items << m_view->takeTopLevelItem(0);
    const int column = m_column;
    const bool ascending = m_ascending;
    std::stable_sort(items.begin(), items.end(), [&](QTreeWidgetItem *a, QTreeWidgetItem *b) {
        const int c = compareListValues(kind, a->text(column), b->text(column));
        return ascending ? c < 0 : c > 0;
    });
    m_view->addTopLevelItems(items);
    if (current)
        m_view->setCurrentItem(current);
}
