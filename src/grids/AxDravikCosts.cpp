// Reconditioning-costs grid: filled from the record document, edited in place; each edited row
// becomes one statement that the save sends, the add row an insert. The fixed file fee of a
// used vehicle is composed here too.
#include "ui/TAxDravik.h"

#include "editing/Messages.h"
#include "editing/RecordCommands.h"
#include "editing/SavePlan.h"
#include "engine/RecordDocument.h"
#include "engine/TextRules.h"
#include "grids/GridGlyphs.h"
#include "grids/GridRows.h"
#include "grids/GridTexts.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QCompleter>
#include <QLabel>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QTabWidget>

namespace {

constexpr int kMaxRows = 99;
constexpr int kCostColumns = 8;
constexpr int kDateColumn = 2;
constexpr int kLabelColumn = 3;
constexpr int kAccountColumn = 4;
constexpr int kSupplierColumn = 5;
constexpr int kInvoiceColumn = 6;
constexpr int kTypeColumn = 7;
constexpr int kAmountColumn = 8;

} // namespace

void TAxDravik::ShowGridStatement(const QString &statement)
{
    LbDebugInfo1->setText(statement);
    // A row without statement leaves the button to what else waits: another row, the tab.
    const int tab = Tabs->currentIndex() + 1;
    const bool tabPending
            = tab > 0 && tab < int(TabDesc.size()) && !TabDesc[tab].PendingSql.isEmpty();
    const bool pending = !statement.isEmpty() || firstPendingRow(FrevoRows)
            || firstPendingRow(ActionRows) || tabPending;
    JvXPBtnSave->setEnabled(pending);
    JvXPBtnNewVO->setEnabled(!JvXPBtnSave->isEnabled());
    RefreshCaption();
    if (!statement.isEmpty() && LbStatus->text() == EditingText::Saved)
        ShowStatus(QString());
}

void TAxDravik::LoadInfoFrevo()
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngFrevo"));
    if (!grid)
        return;
    // Descriptors are read once; a width of 0 hides column 1 and later loads keep them.
    // The grid's own record of it: asking the view would lay its header out again.
    if (FrevoRows.empty() || grid->columnDef(1).visible) {
        LoadInfoNxComboBoxColumn(QStringLiteral("TypeFrevo"), grid, kTypeColumn);
        const std::vector<GridColumn> columns
                = readGridColumns(StructEntries, u"gFrev", kCostColumns);
        FrevoAddTag = firstTagList(columns);
        FrevoRows = {columnLine(columns)};
        for (size_t n = 0; n < columns.size(); ++n) {
            const int c = int(n) + 1;
            grid->setHeaderText(c, columns[n].caption);
            if (columns[n].width == 0)
                grid->setColumnVisible(c, false);
            else
                grid->setColumnWidth(c, columns[n].width);
        }
    }
    FrevoRows.resize(1);
    FrevoInsertMode = false;

    TXml list = selectElement(RecordDoc, u"FrevoS");
    const bool wasLoading = FlagLoading;
    FlagLoading = true;
    const QSignalBlocker quiet(grid);
    DataGrid::Filling filling(*grid);
    grid->clearRows();
    const QColor open = colorFromTColor(clWhite);
    const QColor closed = colorFromTColor(clInactiveBorder);
    bool columnRight[kCostColumns + 1] = {};
    for (int c = 1; c <= kCostColumns; ++c)
        columnRight[c] = GetDataRights(FrevoRows[0].Cols[c].TagList);
    while (int(FrevoRows.size()) <= kMaxRows && XmlNext(list, u"Frevo")) {
        const XmlItemIndex item(list);
        TsLine line = FrevoRows[0];
        line.Locked = !item.text(u"NComptable").isEmpty() && !RightCompta;
        const int r = grid->appendRow();
        for (int c = 1; c <= kCostColumns; ++c) {
            TsDesc &cell = line.Cols[c];
            const QString raw = cell.FieldName.isEmpty()
                    ? QString()
                    : DecodeEntities(item.text(cell.FieldName));
            cell.LoadedValue = cell.CurrentValue = gridLoadValue(cell.tInfo, raw);
            grid->setCellText(r, c, cell.CurrentValue);
            grid->setCellBackground(r, c, columnRight[c] && !line.Locked ? open : closed);
        }
        const bool deletable = line.Cols[kInvoiceColumn].LoadedValue.isEmpty() || RightCompta;
        grid->setCellText(r, 0, deletable ? GridGlyph::Delete : GridGlyph::None);
        grid->setCellHint(r, 0, deletable ? GridText::DeleteCostHint : QString());
        FrevoRows.push_back(std::move(line));
    }
    if (GetDataRights(FrevoAddTag)) {
        TsLine line = FrevoRows[0];
        const int r = grid->appendRow();
        const QString today = formatDate(clock().now().date());
        line.Cols[kDateColumn].CurrentValue = today;
        line.Cols[kTypeColumn].CurrentValue = GridText::NewCostType;
        grid->setCellText(r, kDateColumn, today);
        grid->setCellText(r, kTypeColumn, GridText::NewCostType);
        grid->setCellText(r, 0, GridGlyph::Add);
        grid->setCellHint(r, 0, GridText::AddCostHint);
        FrevoRows.push_back(std::move(line));
    }
    FlagLoading = wasLoading;
    UpdateCumulFrevo();
}

bool TAxDravik::TestFrevoUpdate(int row)
{
    const size_t k = size_t(std::abs(row));
    if (k < 1 || k >= FrevoRows.size())
        return false;
    TsLine &line = FrevoRows[k];
    const QString idVO = ::GetIdVO(RecordDoc);
    if (!FlagLoading && !idVO.isEmpty()) {
        const auto *grid = Control<DataGrid>(QStringLiteral("ngFrevo"));
        FrevoInsertMode = grid && grid->cellText(int(k) - 1, 0) == GridGlyph::Add;
        const QString tag = TabDesc.size() > 5 && !TabDesc[5].tag.isEmpty()
                ? TabDesc[5].tag
                : QStringLiteral("tVO - Frevo");
        line.Statement = composeRowStatement(
                line, {gridTable(tag), QStringLiteral("idVO"), idVO, QStringLiteral("idFrevo")},
                FrevoInsertMode, row < 0);
    }
    UpdateCumulFrevo();
    ShowGridStatement(line.Statement);
    return !line.Statement.isEmpty();
}

QString TAxDravik::TestFraisFixes()
{
    const bool sent = !FixedFeeSentWith.isNull() && FixedFeeSentWith == RecordDoc.Doc;
    return fixedFeeStatement(::GetIdVO(RecordDoc), FieldText(QStringLiteral("cDestination")),
                             sent || hasFixedCost(RecordDoc),
                             siteFee(EquipDoc, FieldText(QStringLiteral("cSite"))),
                             clock().now().date());
}

void TAxDravik::FrevoEnableRow(int row)
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngFrevo"));
    if (!grid || row < 0 || size_t(row) + 1 >= FrevoRows.size())
        return;
    // The last row (the add row) takes only a date; the rest of a new cost is entered once it
    // exists.
    const bool last = row == grid->rowCount() - 1;
    const bool open = !last && !FrevoRows[size_t(row) + 1].Locked;
    for (int c = kDateColumn; c <= kAmountColumn; ++c)
        grid->setColumnEnabled(c,
                               c == kDateColumn              ? last || open
                                       : c == kAccountColumn ? !last && RightCompta
                                                             : open);
}

void TAxDravik::FrevoCellEdited(int row, int column, const QString &text)
{
    const size_t k = size_t(row) + 1;
    if (column < 1 || column > kCostColumns || k >= FrevoRows.size())
        return;
    TsDesc &cell = FrevoRows[k].Cols[column];
    QString value = text;
    if (const auto *grid = Control<DataGrid>(QStringLiteral("ngFrevo"));
        grid && grid->columnDef(column).maxLength > 0)
        value.truncate(grid->columnDef(column).maxLength);
    // A date being typed waits until it is one the cell would accept.
    if (column == kDateColumn
        && !gridDateAccepted(value, cell.LoadedValue, OptDates.OptLimiteDateDebFrevo,
                             OptDates.OptNow, clock().now().date()))
        return;
    cell.CurrentValue = gridEditValue(cell.tInfo, value);
    TestFrevoUpdate(int(k));
}

void TAxDravik::ngFrevoEdit(QWidget *Sender, GridArgs &Args)
{
    if (Args.Col <= 0 || FlagLoading)
        return;
    auto *grid = qobject_cast<DataGrid *>(Sender);
    if (grid && (Args.Col == kLabelColumn || Args.Col == kSupplierColumn)) {
        const QString key = QStringLiteral("ngFrevo") + QString::number(Args.Col);
        auto *editor = qobject_cast<ComboBox *>(
                grid->indexWidget(grid->model()->index(Args.Row, Args.Col)));
        if (editor && CompletionKey != key) {
            if (!FrevoCompletion) {
                FrevoCompletion = new QCompleter(this);
                FrevoCompletion->setModel(new QStringListModel(FrevoCompletion));
                FrevoCompletion->setCaseSensitivity(Qt::CaseInsensitive);
                FrevoCompletion->setCompletionMode(QCompleter::InlineCompletion);
            }
            CompletionKey = key;
            static_cast<QStringListModel *>(FrevoCompletion->model())
                    ->setStringList(completionItems(ChoiceLists(),
                                                    Args.Col == kLabelColumn
                                                            ? QStringLiteral("LibFrevo")
                                                            : QStringLiteral("Fournisseur")));
            editor->setCompleter(FrevoCompletion);
        }
    }
    FrevoCellEdited(Args.Row, Args.Col, Args.Text);
}

void TAxDravik::ngFrevoEditAccept(QWidget *, GridArgs &Args)
{
    if (Args.Col != kDateColumn || size_t(Args.Row) + 1 >= FrevoRows.size())
        return;
    const TsDesc &cell = FrevoRows[size_t(Args.Row) + 1].Cols[kDateColumn];
    if (gridDateAccepted(Args.Text, cell.LoadedValue, OptDates.OptLimiteDateDebFrevo,
                         OptDates.OptNow, clock().now().date()))
        return;
    Args.Accept = false;
    messages().notify(GridText::CostDateTitle,
                      GridText::dateRange(QStringLiteral("DateFrevo"),
                                          OptDates.OptLimiteDateDebFrevo, OptDates.OptNow),
                      MessageBoxes::Icon::Warning);
}

void TAxDravik::ngFrevoChange(QWidget *Sender, GridArgs &Args)
{
    const size_t k = size_t(Args.Row) + 1;
    auto *grid = qobject_cast<DataGrid *>(Sender);
    if (Args.Col <= 0 || Args.Col > kCostColumns || FlagLoading || !grid || k >= FrevoRows.size())
        return;
    TsDesc &cell = FrevoRows[k].Cols[Args.Col];
    const QString value = gridEditValue(cell.tInfo, grid->cellText(Args.Row, Args.Col));
    if (value == cell.CurrentValue)
        return;
    cell.CurrentValue = value;
    if (TestFrevoUpdate(int(k)))
        SaveChanges();
}

void TAxDravik::ngFrevoAfterEdit(QWidget *Sender, GridArgs &Args)
{
    if (FrevoCompletion) {
        FrevoCompletion->deleteLater();
        FrevoCompletion = nullptr;
    }
    CompletionKey.clear();
    // What the cell kept is what the row holds: a refused or half-typed value is not sent.
    auto *grid = qobject_cast<DataGrid *>(Sender);
    const size_t k = size_t(Args.Row) + 1;
    if (!grid || Args.Col < 1 || Args.Col > kCostColumns || k >= FrevoRows.size())
        return;
    TsDesc &cell = FrevoRows[k].Cols[Args.Col];
    const QString kept = gridEditValue(cell.tInfo, grid->cellText(Args.Row, Args.Col));
    if (kept != cell.CurrentValue) {
        cell.CurrentValue = kept;
        TestFrevoUpdate(int(k));
    }
}

void TAxDravik::ngFrevoBeforeSelect(QWidget *, GridArgs &Args)
{
    for (size_t k = 1; k < FrevoRows.size(); ++k) {
        if (int(k) != Args.Row + 1 && !FrevoRows[k].Statement.isEmpty()
            && JvXPBtnSave->isEnabled()) {
            Args.Accept = SaveChanges();
            break;
        }
    }
    if (Args.Accept)
        FrevoEnableRow(Args.Row);
}

void TAxDravik::ngFrevoCellClick(QWidget *Sender, GridArgs &Args)
{
    auto *grid = qobject_cast<DataGrid *>(Sender);
    const size_t k = size_t(Args.Row) + 1;
    if (!grid || Args.Row < 0 || k >= FrevoRows.size())
        return;
    if (Args.Col > 0) {
        FrevoEnableRow(Args.Row);
        return;
    }
    if (Args.Col != 0 || !GridGlyph::cursorIsNormal())
        return;
    const QString glyph = grid->cellText(Args.Row, 0);
    if (glyph == GridGlyph::Delete) {
        // The totals leave the amount out while the deletion waits.
        FrevoRows[k].Cols[kAmountColumn].CurrentValue = QStringLiteral("0");
        TestFrevoUpdate(-int(k));
    } else if (glyph == GridGlyph::Add) {
        for (int c = 1; c <= 10; ++c)
            FrevoRows[k].Cols[c].LoadedValue.clear();
        TestFrevoUpdate(int(k));
    } else {
        return;
    }
    if (SaveChanges())
        ReloadRecord();
}

void TAxDravik::ngFrevoCellFormating(QWidget *, GridArgs &Args)
{
    Args.Color = colorFromTColor(Args.Col == kAccountColumn ? clRed : clBlue);
}
