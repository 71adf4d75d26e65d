#pragma once

// A grid driven as the user drives it: a click on a cell, a double click that opens its editor,
// the editor's text selected and typed over, a click elsewhere in the row to take it.

#include "ui/UserInput.h"
#include "ui/widgets/DataGrid.h"

#include <QTest>

inline QPoint cellCenter(DataGrid &grid, int row, int column)
{
    const QModelIndex at = grid.model()->index(row, column);
    grid.scrollTo(at);
    return grid.visualRect(at).center();
}

inline void clickCell(DataGrid &grid, int row, int column)
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCenter(grid, row, column));
}

// The text is taken as the user leaves the cell: by a click on another cell of the row.
inline void typeInCell(DataGrid &grid, int row, int column, const QString &text,
                       int commitOnColumn = -1)
{
    clickCell(grid, row, column);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCenter(grid, row, column));
    QWidget *editor = keyTarget(&grid);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(keyTarget(editor), Qt::Key_Delete);
    typeKeys(editor, text);
    clickCell(grid, row, commitOnColumn >= 0 ? commitOnColumn : column == 2 ? 3 : 2);
}
