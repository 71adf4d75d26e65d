#include "ui/widgets/DataGrid.h"

#include "engine/TextRules.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DateEdit.h"
#include "ui/widgets/ImageList.h"
#include "ui/widgets/MemoEdit.h"
#include "ui/widgets/NumberEdit.h"
#include "ui/widgets/TextControl.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCollator>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <numeric>

namespace {

const char kFilling[] = "dravikFilling";

} // namespace

// Editors by column kind; glyphs and buttons painted in place.
class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(DataGrid *grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    { }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        const DataGrid::Column &column = m_grid->columnDef(index.column());
        QWidget *editor = nullptr;
        switch (column.kind) {
        case DataGrid::ColumnKind::Text:
            editor = new QLineEdit(parent);
            break;
        case DataGrid::ColumnKind::Number:
            editor = new NumberEdit(true, parent);
            break;
        case DataGrid::ColumnKind::Date:
            editor = new DateEdit(parent);
            break;
        case DataGrid::ColumnKind::Combo: {
            auto *combo = new ComboBox(parent);
            combo->setDropDownList(column.listOnly);
            combo->setListWidth(column.listWidth);
            if (column.dropDownRows > 0)
                combo->setMaxVisibleItems(column.dropDownRows);
            combo->addItems(column.items);
            editor = combo;
            break;
        }
        case DataGrid::ColumnKind::Memo:
            editor = new MemoEdit(parent);
            break;
        case DataGrid::ColumnKind::Image:
        case DataGrid::ColumnKind::Button:
            return nullptr;
        }
        setControlMaxLength(editor, column.maxLength);
        const QPersistentModelIndex at(index);
        connectTextChanged(editor, editor, [grid = m_grid, editor, at] {
            if (!editor->property(kFilling).toBool() && at.isValid())
                emit grid->editTextChanged(at.row(), at.column(), controlText(editor));
        });
        m_grid->m_editing = at;
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        editor->setProperty(kFilling, true);
        setControlText(editor, index.data(Qt::EditRole).toString());
        editor->setProperty(kFilling, false);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        const QString text = controlText(editor);
        if (text == index.data(Qt::EditRole).toString())
            return;
        bool accept = true;
        emit m_grid->editAccept(index.row(), index.column(), text, &accept);
        if (accept)
            model->setData(index, text, Qt::EditRole);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const DataGrid::Column &column = m_grid->columnDef(index.column());
        if (column.kind == DataGrid::ColumnKind::Image) {
            QStyleOptionViewItem background = option;
            initStyleOption(&background, index);
            background.text.clear();
            QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &background, painter,
                                               option.widget);
            const QPixmap glyph = ImageList::glyph(readInt(index.data().toString(), -1));
            if (!glyph.isNull()) {
                const QRect r = QStyle::alignedRect(option.direction, Qt::AlignCenter, glyph.size(),
                                                    option.rect);
                painter->drawPixmap(r, glyph);
            }
            return;
        }
        if (column.kind == DataGrid::ColumnKind::Button) {
            QStyleOptionButton button;
            button.rect = option.rect.adjusted(1, 1, -1, -1);
            button.text = column.caption;
            button.state = QStyle::State_Enabled | QStyle::State_Raised;
            QApplication::style()->drawControl(QStyle::CE_PushButton, &button, painter,
                                               option.widget);
            return;
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const DataGrid::Column &column = m_grid->columnDef(index.column());
        option->text = m_grid->shownText(index.row(), index.column());
        if (column.kind == DataGrid::ColumnKind::Number && !column.alignment)
            option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
        if (column.wordWrap)
            option->features |= QStyleOptionViewItem::WrapText;
        if (m_grid->m_colorOf && !(option->state & QStyle::State_Selected)) {
            const QColor color = m_grid->m_colorOf(index.row(), index.column());
            if (color.isValid())
                option->palette.setColor(QPalette::Text, color);
        }
    }

private:
    DataGrid *m_grid;
};

DataGrid::ColumnKind DataGrid::columnKindFromName(const QString &name, bool *known, bool *listOnly)
{
    static const std::pair<const char *, ColumnKind> kinds[] = {
            {"text", ColumnKind::Text},       {"number", ColumnKind::Number},
            {"date", ColumnKind::Date},       {"combo", ColumnKind::Combo},
            {"combolist", ColumnKind::Combo}, {"memo", ColumnKind::Memo},
            {"image", ColumnKind::Image},     {"button", ColumnKind::Button},
    };
    if (listOnly)
        *listOnly = name.compare(QLatin1String("combolist"), Qt::CaseInsensitive) == 0;
    for (const auto &[text, kind] : kinds) {
        if (name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0) {
            if (known)
                *known = true;
            return kind;
        }
    }
    if (known)
        *known = false;
    return ColumnKind::Text;
}

QString DataGrid::formatNumberMask(const QString &value)
{
    if (value.trimmed().isEmpty())
        return QString();
    const QString fixed = formatDecimal2(value);
    const qsizetype point = fixed.indexOf(QLatin1Char('.'));
    const bool negative = fixed.startsWith(QLatin1Char('-'));
    QString whole = fixed.mid(negative ? 1 : 0, point - (negative ? 1 : 0));
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char(' '));
    return (negative ? QStringLiteral("-") : QString()) + whole + fixed.mid(point);
}

// The cells of a grid: a text per cell with its own colours and hint, over the defaults of its
// column.
class GridModel : public QAbstractTableModel
{
public:
    struct Cell
    {
        QString text;
        QColor foreground;
        QColor background;
        QString hint;
    };

    explicit GridModel(DataGrid *grid)
        : QAbstractTableModel(grid)
        , m_grid(grid)
    { }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_headers.size());
    }

    const Cell *cell(int row, int column) const
    {
        if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= int(m_headers.size()))
            return nullptr;
        return &m_rows[size_t(row)][size_t(column)];
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const Cell *c = cell(index.row(), index.column());
        if (!c)
            return {};
        const DataGrid::Column &column = m_grid->columnDef(index.column());
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return c->text;
        case Qt::ForegroundRole:
            if (c->foreground.isValid())
                return c->foreground;
            return column.textColor.isValid() ? QVariant(column.textColor) : QVariant();
        case Qt::BackgroundRole:
            if (c->background.isValid())
                return c->background;
            return column.background.isValid() ? QVariant(column.background) : QVariant();
        case Qt::ToolTipRole:
            return c->hint.isEmpty() ? QVariant() : QVariant(c->hint);
        case Qt::TextAlignmentRole:
            return column.alignment ? QVariant(int(column.alignment | Qt::AlignVCenter))
                                    : QVariant();
        default:
            return {};
        }
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::EditRole && role != Qt::DisplayRole)
            return false;
        return setText(index.row(), index.column(), value.toString());
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? m_grid->flagsFor(index.column()) : Qt::NoItemFlags;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + 1;
        return section >= 0 && section < int(m_headers.size()) ? QVariant(m_headers[section])
                                                               : QVariant();
    }

    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role) override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
            || section >= int(m_headers.size()))
            return false;
        // The same caption again changes nothing: the header would measure itself anew.
        const QString text = value.toString();
        if (m_headers[section] == text)
            return true;
        m_headers[section] = text;
        emit headerDataChanged(orientation, section, section);
        return true;
    }

    bool setText(int row, int column, const QString &text)
    {
        Cell *c = mutableCell(row, column);
        if (!c || c->text == text)
            return false;
        c->text = text;
        changed(row, column, Qt::DisplayRole, Qt::EditRole);
        return true;
    }

    void setForeground(int row, int column, const QColor &color)
    {
        if (Cell *c = mutableCell(row, column)) {
            c->foreground = color;
            changed(row, column, Qt::ForegroundRole);
        }
    }

    void setBackground(int row, int column, const QColor &color)
    {
        if (Cell *c = mutableCell(row, column)) {
            c->background = color;
            changed(row, column, Qt::BackgroundRole);
        }
    }

    void setHint(int row, int column, const QString &hint)
    {
        if (Cell *c = mutableCell(row, column)) {
            c->hint = hint;
            changed(row, column, Qt::ToolTipRole);
        }
    }

    void addColumn(const QString &header, const QString &defaultValue)
    {
        const int at = int(m_headers.size());
        if (!m_filling)
            beginInsertColumns({}, at, at);
        m_headers.push_back(header);
        for (auto &row : m_rows)
            row.push_back(Cell {defaultValue, {}, {}, {}});
        if (!m_filling)
            endInsertColumns();
    }

    void insertRowAt(int at, const QStringList &texts = {})
    {
        if (!m_filling)
            beginInsertRows({}, at, at);
        std::vector<Cell> row(m_headers.size());
        for (size_t c = 0; c < row.size(); ++c)
            row[c].text = c < size_t(texts.size()) ? texts[qsizetype(c)]
                                                   : m_grid->columnDef(int(c)).defaultValue;
        m_rows.insert(m_rows.begin() + at, std::move(row));
        if (!m_filling)
            endInsertRows();
    }

    void clearRows()
    {
        if (m_rows.empty())
            return;
        if (!m_filling)
            beginRemoveRows({}, 0, int(m_rows.size()) - 1);
        m_rows.clear();
        if (!m_filling)
            endRemoveRows();
    }

    void sort(int column, Qt::SortOrder order) override
    {
        if (column < 0 || column >= int(m_headers.size()) || m_rows.size() < 2)
            return;
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<size_t> order_(m_rows.size()); // new position -> old row
        std::iota(order_.begin(), order_.end(), size_t(0));
        const auto c = size_t(column);
        std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
            const QString &ta = m_rows[a][c].text, &tb = m_rows[b][c].text;
            // Empty cells stay last either way.
            if (ta.isEmpty() || tb.isEmpty())
                return !ta.isEmpty() && tb.isEmpty();
            const int by = DataGrid::compareCellTexts(ta, tb);
            return order == Qt::AscendingOrder ? by < 0 : by > 0;
        });
        std::vector<int> moved(m_rows.size()); // old row -> new position
        std::vector<std::vector<Cell>> rows;
        rows.reserve(m_rows.size());
        for (size_t n = 0; n < order_.size(); ++n) {
            moved[order_[n]] = int(n);
            rows.push_back(std::move(m_rows[order_[n]]));
        }
        m_rows = std::move(rows);
        const QModelIndexList kept = persistentIndexList();
        for (const QModelIndex &at : kept)
            changePersistentIndex(at, index(moved[size_t(at.row())], at.column()));
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    void beginFill()
    {
        if (m_filling++ == 0)
            beginResetModel();
    }

    void endFill()
    {
        if (--m_filling == 0)
            endResetModel();
    }

private:
    Cell *mutableCell(int row, int column) { return const_cast<Cell *>(cell(row, column)); }

    // The roles' list is made only when someone is told: a fill sets thousands of cells.
    void changed(int row, int column, int role, int otherRole = -1)
    {
        if (m_filling)
            return;
        const QModelIndex at = index(row, column);
        emit dataChanged(at, at, otherRole < 0 ? QList<int> {role} : QList<int> {role, otherRole});
    }

    DataGrid *m_grid;
    std::vector<QString> m_headers;
    std::vector<std::vector<Cell>> m_rows;
    int m_filling = 0;
};

int DataGrid::compareCellTexts(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return int(a.isEmpty()) - int(b.isEmpty());
    const QDate da = parseDate(a), db = parseDate(b);
    if (da.isValid() && db.isValid())
        return da < db ? -1 : db < da ? 1 : 0;
    bool na = false, nb = false;
    const double va = QString(a).remove(QLatin1Char(' ')).toDouble(&na);
    const double vb = QString(b).remove(QLatin1Char(' ')).toDouble(&nb);
    if (na && nb)
        return va < vb ? -1 : vb < va ? 1 : 0;
    // In French order whatever the machine's locale: "Émile" before "Fabre".
    static const QCollator words = [] {
        QCollator c(QLocale(QLocale::French, QLocale::France));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return words.compare(a, b);
}

DataGrid::Filling::Filling(DataGrid &grid)
    : m_grid(grid)
{
    m_grid.m_model->beginFill();
}

DataGrid::Filling::~Filling()
{
    m_grid.m_model->endFill();
    // New rows come in the order they were given.
    m_grid.m_sortColumn = -1;
}

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new GridModel(this))
{
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setReadOnly(false);
    setMouseTracking(true);
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to, const QList<int> &roles) {
                if (!(roles.isEmpty() || roles.contains(Qt::DisplayRole)
                      || roles.contains(Qt::EditRole)))
                    return;
                for (int r = from.row(); r <= to.row(); ++r) {
                    for (int c = from.column(); c <= to.column(); ++c)
                        emit valueChanged(r, c);
                }
            });
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &at) { emit cellClicked(at.row(), at.column()); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &now, const QModelIndex &before) {
                emit currentCellChanged(now.row(), now.column(), before.row(), before.column());
            });
}

int DataGrid::addColumn(const Column &column)
{
    const int index = int(m_columns.size());
    m_columns.push_back(column);
    m_model->addColumn(column.kind == ColumnKind::Button ? QString() : column.caption,
                       column.defaultValue);
    setColumnWidth(index, column.width);
    setColumnHidden(index, !column.visible);
    if (column.fixedWidth)
        horizontalHeader()->setSectionResizeMode(index, QHeaderView::Fixed);
    return index;
}

int DataGrid::columnIndex(const QString &name) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name == name)
            return int(i);
    }
    return -1;
}

const DataGrid::Column &DataGrid::columnDef(int column) const
{
    static const Column none;
    return column >= 0 && column < int(m_columns.size()) ? m_columns[column] : none;
}

void DataGrid::setColumnItems(int column, const QStringList &items)
{
    if (column >= 0 && column < int(m_columns.size()))
        m_columns[column].items = items;
}

void DataGrid::setColumnEnabled(int column, bool enabled)
{
    // The cells' flags are read from their column.
    if (column >= 0 && column < int(m_columns.size()))
        m_columns[column].enabled = enabled;
}

void DataGrid::setColumnVisible(int column, bool visible)
{
    if (column < 0 || column >= int(m_columns.size()))
        return;
    m_columns[column].visible = visible;
    setColumnHidden(column, !visible);
}

Qt::ItemFlags DataGrid::flagsFor(int column) const
{
    const Column &c = columnDef(column);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (c.enabled && c.kind != ColumnKind::Image && c.kind != ColumnKind::Button)
        flags |= Qt::ItemIsEditable;
    return flags;
}

int DataGrid::appendRow()
{
    insertRowAt(rowCount());
    return rowCount() - 1;
}

int DataGrid::appendRow(const QStringList &texts)
{
    m_model->insertRowAt(rowCount(), texts);
    return rowCount() - 1;
}

void DataGrid::insertRowAt(int row)
{
    m_model->insertRowAt(std::clamp(row, 0, rowCount()));
}

void DataGrid::clearRows()
{
    m_model->clearRows();
}

int DataGrid::rowCount() const
{
    return m_model->rowCount();
}

int DataGrid::columnCount() const
{
    return m_model->columnCount();
}

int DataGrid::currentRow() const
{
    return currentIndex().row();
}

int DataGrid::currentColumn() const
{
    return currentIndex().column();
}

void DataGrid::setCurrentCell(int row, int column)
{
    setCurrentIndex(m_model->index(row, column));
}

QString DataGrid::headerText(int column) const
{
    return m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void DataGrid::setHeaderText(int column, const QString &text)
{
    m_model->setHeaderData(column, Qt::Horizontal, text, Qt::DisplayRole);
}

bool DataGrid::cellEditable(int row, int column) const
{
    return m_model->flags(m_model->index(row, column)) & Qt::ItemIsEditable;
}

QString DataGrid::cellText(int row, int column) const
{
    const GridModel::Cell *cell = m_model->cell(row, column);
    return cell ? cell->text : QString();
}

void DataGrid::setCellText(int row, int column, const QString &text)
{
    m_model->setText(row, column, text);
}

QString DataGrid::shownText(int row, int column) const
{
    const QString text = cellText(row, column);
    switch (columnDef(column).kind) {
    case ColumnKind::Number:
        return formatNumberMask(text);
    case ColumnKind::Image:
    case ColumnKind::Button:
        return QString();
    default:
        return text;
    }
}

void DataGrid::setCellTextColor(int row, int column, const QColor &color)
{
    m_model->setForeground(row, column, color);
}

void DataGrid::setCellBackground(int row, int column, const QColor &color)
{
    m_model->setBackground(row, column, color);
}

void DataGrid::setCellHint(int row, int column, const QString &hint)
{
    m_model->setHint(row, column, hint);
}

void DataGrid::setRowHeights(int height)
{
    verticalHeader()->setDefaultSectionSize(height);
    for (int r = 0; r < rowCount(); ++r)
        setRowHeight(r, height);
}

void DataGrid::setHeaderVisible(bool visible)
{
    horizontalHeader()->setVisible(visible);
}

void DataGrid::setReadOnly(bool readOnly)
{
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                    | QAbstractItemView::AnyKeyPressed
                                    | QAbstractItemView::SelectedClicked);
}

void DataGrid::setRowSelect(bool rowSelect)
{
    setSelectionBehavior(rowSelect ? QAbstractItemView::SelectRows
                                   : QAbstractItemView::SelectItems);
}

void DataGrid::setUserSortable(bool sortable)
{
    disconnect(m_sortClicks);
    horizontalHeader()->setSectionsClickable(sortable);
    if (!sortable)
        return;
    m_sortClicks = connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) {
        sortRows(c,
                 m_sortColumn == c && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                        : Qt::AscendingOrder);
    });
}

void DataGrid::sortRows(int column, Qt::SortOrder order)
{
    m_model->sort(column, order);
    m_sortColumn = column;
    m_sortOrder = order;
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column, order);
}

void DataGrid::setCellFormatting(std::function<QColor(int, int)> colorOf)
{
    m_colorOf = std::move(colorOf);
    viewport()->update();
}

bool DataGrid::allowRow(int row)
{
    if (row == currentRow())
        return true;
    bool accept = true;
    emit beforeSelect(row, &accept);
    return accept;
}

QModelIndex DataGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (next.isValid() && !allowRow(next.row()))
        return currentIndex();
    return next;
}

void DataGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex target = indexAt(event->position().toPoint());
    if (target.isValid() && !allowRow(target.row())) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void DataGrid::mouseMoveEvent(QMouseEvent *event)
{
    const int column = columnAt(event->position().toPoint().x());
    const ColumnKind kind = columnDef(column).kind;
    viewport()->setCursor(column >= 0 && (kind == ColumnKind::Image || kind == ColumnKind::Button)
                                  ? Qt::PointingHandCursor
                                  : Qt::ArrowCursor);
    QTableView::mouseMoveEvent(event);
}

void DataGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QPersistentModelIndex edited = m_editing;
    m_editing = QPersistentModelIndex();
    QTableView::closeEditor(editor, hint);
    if (edited.isValid())
        emit afterEdit(edited.row(), edited.column());
}
