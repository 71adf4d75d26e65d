#pragma once

#include <QAbstractItemDelegate>
#include <QColor>
#include <QPersistentModelIndex>
#include <QTableView>

#include <functional>
#include <vector>

// A grid of typed columns, edited in place: text, number (shown with the mask "#,##0.00",
// blank when empty), date, combo box (its items, typed or list-only), memo, image (a glyph of
// ImageList chosen by the cell's number) and button. Cells hold texts; the signals let the
// program follow and veto editing:
//   editTextChanged  the cell editor's text changed (every keystroke or pick)
//   editAccept       an edited text is about to be stored; set *accept to false to refuse it
//   valueChanged     a cell's text changed, by editing or by the program (not while rows are
//                    added or removed)
//   afterEdit        editing of a cell ended
//   beforeSelect     the current row is about to change by mouse or keyboard; may be refused
//   cellClicked      a click on a cell, also on image and button cells
//   currentCellChanged  the current cell moved (row, column, previous row, previous column)
// The cells live in the grid's own table model, so that filling a grid of a hundred rows costs
// a few texts per cell rather than an item object each.
class GridModel;
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    enum class ColumnKind { Text, Number, Date, Combo, Memo, Image, Button };

    struct Column
    {
        QString name;
        QString caption; // header text; a button column's caption
        ColumnKind kind = ColumnKind::Text;
        int width = 64;
        bool visible = true;
        bool enabled = true; // cells may be edited
        int maxLength = 0;
        QStringList items; // combo columns
        bool listOnly = false; // combo columns accept only their items
        int listWidth = 0; // combo columns: width of the open list
        QString defaultValue; // text of the column in a new row
        QString itemsList; // choice list the program fills items from
        QString completionList; // choice list that completes typed text
        int dropDownRows = 0; // combo columns: rows of the open list, 0: default
        QColor textColor; // invalid: the grid's own
        QColor background;
        Qt::Alignment alignment;
        bool fixedWidth = false;
        bool wordWrap = false;
        QRect slide; // bounds inside a row band, for grids drawn as slides
    };

    // "text", "number", "date", "combo", "combolist" (a list-only combo), "memo", "image",
    // "button"; Text for anything else.
    static ColumnKind columnKindFromName(const QString &name, bool *known = nullptr,
                                         bool *listOnly = nullptr);
    // "#,##0.00" with a space between thousands; empty stays empty.
    static QString formatNumberMask(const QString &value);
    // The order of two cell texts in a sort (<0, 0, >0): as dates when both read as dates, as
    // numbers when both read as numbers, else as texts without letter case; empty texts last.
    static int compareCellTexts(const QString &a, const QString &b);

    explicit DataGrid(QWidget *parent = nullptr);

    // While one lives the grid's rows are rebuilt in one go: views and signals hear of the
    // result once, at its end, as a new set of rows (no valueChanged, no current cell).
    class Filling
    {
    public:
        explicit Filling(DataGrid &grid);
        ~Filling();
        Filling(const Filling &) = delete;
        Filling &operator=(const Filling &) = delete;

    private:
        DataGrid &m_grid;
    };

    int addColumn(const Column &column);
    int columnIndex(const QString &name) const; // -1 when none
    const Column &columnDef(int column) const; // a default column outside the grid
    void setColumnItems(int column, const QStringList &items);
    void setColumnEnabled(int column, bool enabled);
    void setColumnVisible(int column, bool visible);

    int appendRow(); // a row of default values; answers its index
    // A row of these texts, the columns beyond them at their default values.
    int appendRow(const QStringList &texts);
    void insertRowAt(int row);
    void clearRows();
    int rowCount() const;
    int columnCount() const;
    int currentRow() const;
    int currentColumn() const;
    void setCurrentCell(int row, int column);
    QString headerText(int column) const;
    void setHeaderText(int column, const QString &text);
    bool cellEditable(int row, int column) const;

    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString &text);
    QString shownText(int row, int column) const; // as drawn (number mask)
    void setCellTextColor(int row, int column, const QColor &color);
    void setCellBackground(int row, int column, const QColor &color);
    void setCellHint(int row, int column, const QString &hint);

    void setRowHeights(int height);
    void setHeaderVisible(bool visible);
    void setReadOnly(bool readOnly); // no cell is edited
    void setRowSelect(bool rowSelect); // the whole row is selected
    // Text colour of the cells that are not selected (an invalid colour keeps the cell's own).
    void setCellFormatting(std::function<QColor(int row, int column)> colorOf);
    // A click on a column header sorts the rows by that column; a second click, the other way.
    // The rows keep the order they were given in until then.
    void setUserSortable(bool sortable);
    void sortRows(int column, Qt::SortOrder order);

signals:
    void editTextChanged(int row, int column, const QString &text);
    void editAccept(int row, int column, const QString &text, bool *accept);
    void valueChanged(int row, int column);
    void afterEdit(int row, int column);
    void beforeSelect(int row, bool *accept);
    void cellClicked(int row, int column);
    void currentCellChanged(int row, int column, int previousRow, int previousColumn);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class GridDelegate;
    bool allowRow(int row);
    friend class GridModel;
    Qt::ItemFlags flagsFor(int column) const;

    std::vector<Column> m_columns;
    GridModel *m_model;
    int m_sortColumn = -1; // the user's last sort, until the rows are filled again
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QMetaObject::Connection m_sortClicks;
    std::function<QColor(int, int)> m_colorOf;
    QPersistentModelIndex m_editing;
};
