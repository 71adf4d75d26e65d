#include "ui/widgets/DataGrid.h"

#include "engine/TextRules.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DateEdit.h"
#include "ui/widgets/ImageList.h"
#include "ui/widgets/MemoEdit.h"
#include "ui/widgets/NumberEdit.h"
#include "ui/widgets/TextControl.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

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

DataGrid::DataGrid(QWidget *parent)
    : QTableWidget(parent)
{
    setItemDelegate(new GridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setReadOnly(false);
    setMouseTracking(true);
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to, const QList<int> &roles) {
                if (m_building
                    || !(roles.isEmpty() || roles.contains(Qt::DisplayRole)
                         || roles.contains(Qt::EditRole)))
                    return;
                for (int r = from.row(); r <= to.row(); ++r) {
                    for (int c = from.column(); c <= to.column(); ++c)
                        emit valueChanged(r, c);
                }
            });
}

int DataGrid::addColumn(const Column &column)
{
    const int index = int(m_columns.size());
    m_columns.push_back(column);
    setColumnCount(index + 1);
    setHorizontalHeaderItem(
            index,
            new QTableWidgetItem(column.kind == ColumnKind::Button ? QString() : column.caption));
    setColumnWidth(index, column.width);
    setColumnHidden(index, !column.visible);
    if (column.fixedWidth)
        horizontalHeader()->setSectionResizeMode(index, QHeaderView::Fixed);
    m_building = true;
    for (int r = 0; r < rowCount(); ++r)
        setItem(r, index, makeItem(index));
    m_building = false;
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
    if (column < 0 || column >= int(m_columns.size()))
        return;
    m_columns[column].enabled = enabled;
    for (int r = 0; r < rowCount(); ++r) {
        if (QTableWidgetItem *cell = item(r, column))
            cell->setFlags(flagsFor(column));
    }
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

QTableWidgetItem *DataGrid::makeItem(int column) const
{
    const Column &c = columnDef(column);
    auto *cell = new QTableWidgetItem(c.defaultValue);
    cell->setFlags(flagsFor(column));
    if (c.textColor.isValid())
        cell->setForeground(c.textColor);
    if (c.background.isValid())
        cell->setBackground(c.background);
    if (c.alignment)
        cell->setTextAlignment(c.alignment | Qt::AlignVCenter);
    return cell;
}

int DataGrid::appendRow()
{
    insertRowAt(rowCount());
    return rowCount() - 1;
}

void DataGrid::insertRowAt(int row)
{
    row = std::clamp(row, 0, rowCount());
    m_building = true;
    insertRow(row);
    for (int c = 0; c < columnCount(); ++c)
        setItem(row, c, makeItem(c));
    m_building = false;
}

void DataGrid::clearRows()
{
    m_building = true;
    setRowCount(0);
    m_building = false;
}

QString DataGrid::cellText(int row, int column) const
{
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->text() : QString();
}

void DataGrid::setCellText(int row, int column, const QString &text)
{
    if (QTableWidgetItem *cell = item(row, column))
        cell->setText(text);
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
    if (QTableWidgetItem *cell = item(row, column))
        cell->setForeground(color);
}

void DataGrid::setCellBackground(int row, int column, const QColor &color)
{
    if (QTableWidgetItem *cell = item(row, column))
        cell->setBackground(color);
}

void DataGrid::setCellHint(int row, int column, const QString &hint)
{
    if (QTableWidgetItem *cell = item(row, column))
        cell->setToolTip(hint);
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
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
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
    QTableWidget::mousePressEvent(event);
}

void DataGrid::mouseMoveEvent(QMouseEvent *event)
{
    const int column = columnAt(event->position().toPoint().x());
    const ColumnKind kind = columnDef(column).kind;
    viewport()->setCursor(column >= 0 && (kind == ColumnKind::Image || kind == ColumnKind::Button)
                                  ? Qt::PointingHandCursor
                                  : Qt::ArrowCursor);
    QTableWidget::mouseMoveEvent(event);
}

void DataGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QPersistentModelIndex edited = m_editing;
    m_editing = QPersistentModelIndex();
    QTableWidget::closeEditor(editor, hint);
    if (edited.isValid())
        emit afterEdit(edited.row(), edited.column());
}
