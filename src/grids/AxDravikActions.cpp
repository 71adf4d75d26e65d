// Follow-up actions grid: the customer's contacts and their reminders, edited in place by the
// loyalty group. Cells show names and list texts; the rows hold the stored codes.
#include "ui/TAxDravik.h"

#include "editing/ComboLists.h"
#include "editing/RecordCommands.h"
#include "engine/RecordDocument.h"
#include "engine/TextRules.h"
#include "grids/GridGlyphs.h"
#include "grids/GridRows.h"
#include "grids/GridTexts.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QSignalBlocker>

namespace {

constexpr int kMaxRows = 99;
constexpr int kColumns = 10;
constexpr int kDateColumn = 2;
constexpr int kCommentColumn = 6;
constexpr int kReminderColumn = 7;
constexpr int kReminderSalesperson = 8;

// Columns painted grey behind blue text.
bool shadedColumn(int c)
{
    return c == 3 || c == 5 || c == 6 || c == 8 || c == 10;
}

} // namespace

QString TAxDravik::ngActionGetInfoCom(const QString &code)
{
    return salespersonName(ChoiceLists(), code);
}

void TAxDravik::ShowActionCell(DataGrid *grid, int row, int column, const QString &stored,
                               std::vector<std::pair<QString, QString>> *shown)
{
    // A load shows the same few salespeople and codes on every row: each is looked up once
    // per column, and a column holds too few of them to be worth hashing.
    if (shown) {
        for (const auto &[code, text] : *shown) {
            if (code == stored) {
                grid->setCellText(row, column, text);
                return;
            }
        }
    }
    const QString text
            = actionShownText(ChoiceLists(), column, stored, grid->columnDef(column).items);
    if (shown)
        shown->emplace_back(stored, text);
    grid->setCellText(row, column, text);
}

void TAxDravik::LoadInfoAction()
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngAction"));
    if (!grid)
        return;
    // Salespeople follow the customer's site: the lists are filled at every load.
    LoadInfoNxComboBoxColumn(QStringLiteral("TypeAction"), grid, 4);
    LoadInfoNxComboBoxColumn(QStringLiteral("SujetAction"), grid, 5);
    LoadInfoNxComboBoxColumn(QStringLiteral("SujetAction"), grid, 9);
    LoadInfoNxComboBoxColumn(QStringLiteral("PrioriteRelance"), grid, 10);
    LoadInfoNxComboBoxColumn(QStringLiteral("InfoCom"), grid, 3);
    LoadInfoNxComboBoxColumn(QStringLiteral("InfoCom"), grid, kReminderSalesperson);
    if (ActionRows.empty()) {
        ActionRows = {columnLine(readGridColumns(StructEntries, u"gAct", kColumns))};
        // The grid shows no header; its captions name a column left empty on the status line.
        for (int c = 1; c <= kColumns; ++c) {
            if (grid->headerText(c).isEmpty())
                grid->setHeaderText(c, ActionRows[0].Cols[c].FieldName);
        }
    }
    ActionRows.resize(1);
    ActionInsertMode = false;
    JvXPBtnNewAction->show();
    JvXPBtnNewAction->setEnabled(RightClarim);

    TXml list = selectElement(CustomerDoc, u"TActS");
    // The whole list is copied into the line only when someone reads the trace.
    if (FlagTrace)
        TraceLog(QStringLiteral("TActS : ") + list.Rest());
    const bool wasLoading = FlagLoading;
    FlagLoading = true;
    // Filled quietly and drawn once: the cell events are ignored while loading anyway.
    const QSignalBlocker quiet(grid);
    DataGrid::Filling filling(*grid);
    grid->clearRows();
    const QColor open = colorFromTColor(clWhite);
    const QColor closed = colorFromTColor(clInactiveBorder);
    const QColor shade(240, 240, 240);
    bool columnRight[kColumns + 1] = {};
    for (int c = 1; c <= kColumns; ++c)
        columnRight[c] = GetDataRights(ActionRows[0].Cols[c].TagList);
    std::vector<std::pair<QString, QString>> shown[kColumns + 1]; // per column: stored, shown
    while (int(ActionRows.size()) <= kMaxRows && XmlNext(list, u"TAct")) {
        const XmlItemIndex item(list);
        TsLine line = ActionRows[0];
        const int r = grid->appendRow();
        for (int c = 1; c <= kColumns; ++c) {
            TsDesc &cell = line.Cols[c];
            cell.LoadedValue = cell.CurrentValue = cell.FieldName.isEmpty()
                    ? QString()
                    : DecodeEntities(item.text(cell.FieldName), c == kCommentColumn);
            ShowActionCell(grid, r, c, cell.CurrentValue,
                           actionCodedColumn(c) ? &shown[c] : nullptr);
            grid->setCellBackground(r, c, shadedColumn(c) ? shade : columnRight[c] ? open : closed);
        }
        const bool deletable = line.Cols[kCommentColumn].LoadedValue.isEmpty() || RightClarim;
        grid->setCellText(r, 0, deletable ? GridGlyph::Delete : GridGlyph::None);
        grid->setCellHint(r, 0, deletable ? GridText::DeleteActionHint : QString());
        ActionRows.push_back(std::move(line));
    }
    grid->setEnabled(RightClarim);
    FlagLoading = wasLoading;
}

QString TAxDravik::ActionOwnerId() const
{
    const QString id = ::GetIdClient(RecordDoc);
    return id.isEmpty() ? ::GetIdClient(CustomerDoc) : id;
}

bool TAxDravik::TestActionUpdate(int row)
{
    const size_t k = size_t(std::abs(row));
    if (k < 1 || k >= ActionRows.size())
        return false;
    TsLine &line = ActionRows[k];
    line.FirstEmptyCol = firstEmptyColumn(line, 2, kColumns);
    const QString idClient = ActionOwnerId();
    if (!FlagLoading && !idClient.isEmpty()) {
        const auto *grid = Control<DataGrid>(QStringLiteral("ngAction"));
        ActionInsertMode = grid && grid->cellText(int(k) - 1, 0) == GridGlyph::Add;
        line.Statement
                = composeRowStatement(line,
                                      {QStringLiteral("tActions"), QStringLiteral("idClient"),
                                       idClient, QStringLiteral("idAction")},
                                      ActionInsertMode, row < 0);
    }
    ShowGridStatement(line.Statement);
    return !line.Statement.isEmpty();
}

void TAxDravik::JvXPBtnNewActionClick(QWidget *)
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngAction"));
    if (!grid || !RightClarim || ActionRows.empty() || readInt(ActionOwnerId()) <= 0)
        return;
    // One new action at a time: a second click goes back to the one being entered.
    if (grid->rowCount() > 0 && grid->cellText(0, 0) == GridGlyph::Add) {
        grid->setCurrentCell(0, kDateColumn);
        return;
    }
    ActionInsertMode = true;
    const bool wasLoading = FlagLoading;
    FlagLoading = true;
    grid->insertRowAt(0);
    ActionRows.insert(ActionRows.begin() + 1, ActionRows[0]);
    grid->setCellText(0, 0, GridGlyph::Add);
    grid->setCellHint(0, 0, GridText::SaveActionHint);
    TsLine &line = ActionRows[1];
    const QString today = formatDate(clock().now().date());
    for (int c = 1; c <= kColumns; ++c) {
        QString value;
        if (c == 1 || c == kCommentColumn) {
            value = asciiUpper(line.Cols[c].defval) == QLatin1String("NOW") ? today
                                                                            : line.Cols[c].defval;
        } else {
            value = GetTagRegistry(QStringLiteral("sAct") + QString::number(c));
        }
        if (c == kReminderSalesperson) {
            // The customer's salesperson; with none chosen the reminder's stays as remembered,
            // else empty, and the action cannot be saved until one is picked.
            const QString name = controlText(Control(QStringLiteral("aidCom")));
            const QString idCom = GetInfoComboBoxIdCom(QStringLiteral("InfoCom"), name);
            if (!name.isEmpty() && idCom != QLatin1String("0"))
                value = idCom;
        }
        line.Cols[c].CurrentValue = value;
        ShowActionCell(grid, 0, c, value);
        if (shadedColumn(c))
            grid->setCellBackground(0, c, QColor(240, 240, 240));
    }
    FlagLoading = wasLoading;
    {
        const QSignalBlocker quiet(grid);
        grid->setCurrentCell(0, kDateColumn);
    }
    grid->viewport()->update();
    TestActionUpdate(1);
}

void TAxDravik::ActionCellEdited(DataGrid *grid, int row, int column, const QString &text)
{
    const size_t k = size_t(row) + 1;
    if (column < 1 || column > kColumns || k >= ActionRows.size())
        return;
    TsDesc &cell = ActionRows[k].Cols[column];
    // The text the row's value already shows is no change (an empty code shows the first item).
    if (text
        == actionShownText(ChoiceLists(), column, cell.CurrentValue, grid->columnDef(column).items))
        return;
    QString value = text;
    if (actionCodedColumn(column)) {
        value = GetInfoComboBoxIdCom(actionCodeList(column), text);
        // A name typed half-way is no salesperson yet; an emptied cell is empty.
        if (value == QLatin1String("0")) {
            if (!text.isEmpty())
                return;
            value.clear();
        }
    } else if (column == kDateColumn
               && !gridDateAccepted(text, cell.LoadedValue, OptDates.OptLimiteDateDebClarim,
                                    OptDates.OptNow, clock().now().date())) {
        return;
    } else if (column == kReminderColumn
               && !reminderDateAccepted(text, cell.LoadedValue,
                                        parseDate(grid->cellText(row, kDateColumn)))) {
        return;
    }
    if (value == cell.CurrentValue)
        return;
    cell.CurrentValue = value;
    TestActionUpdate(int(k));
}

void TAxDravik::ngActionEdit(QWidget *Sender, GridArgs &Args)
{
    auto *grid = qobject_cast<DataGrid *>(Sender);
    if (Args.Col > 0 && !FlagLoading && grid)
        ActionCellEdited(grid, Args.Row, Args.Col, Args.Text);
}

void TAxDravik::ngActionChange(QWidget *Sender, GridArgs &Args)
{
    auto *grid = qobject_cast<DataGrid *>(Sender);
    if (Args.Col > 0 && !FlagLoading && grid)
        ActionCellEdited(grid, Args.Row, Args.Col, grid->cellText(Args.Row, Args.Col));
}

void TAxDravik::ngActionEditAccept(QWidget *Sender, GridArgs &Args)
{
    auto *grid = qobject_cast<DataGrid *>(Sender);
    const size_t k = size_t(Args.Row) + 1;
    if (!grid || k >= ActionRows.size())
        return;
    const TsDesc &cell = ActionRows[k].Cols[std::clamp(Args.Col, 0, kColumns)];
    if (Args.Col == kDateColumn) {
        if (!gridDateAccepted(Args.Text, cell.LoadedValue, OptDates.OptLimiteDateDebClarim,
                              OptDates.OptNow, clock().now().date())) {
            Args.Accept = false;
            messages().notify(GridText::ActionDateTitle,
                              GridText::dateRange(QStringLiteral("DateAction"),
                                                  OptDates.OptLimiteDateDebClarim, OptDates.OptNow),
                              MessageBoxes::Icon::Warning);
        }
    } else if (Args.Col == kReminderColumn) {
        const QDate actionDate = parseDate(grid->cellText(Args.Row, kDateColumn));
        if (!reminderDateAccepted(Args.Text, cell.LoadedValue, actionDate)) {
            Args.Accept = false;
            messages().notify(GridText::ReminderDateTitle, GridText::reminderAfter(actionDate),
                              MessageBoxes::Icon::Warning);
        }
    } else if (actionSalespersonColumn(Args.Col)) {
        Args.Accept = grid->columnDef(Args.Col).items.contains(Args.Text);
    }
}

void TAxDravik::ngActionAfterEdit(QWidget *Sender, GridArgs &Args)
{
    CompletionKey.clear();
    // The row holds what the cell kept: a refused value is not sent.
    auto *grid = qobject_cast<DataGrid *>(Sender);
    if (grid && Args.Col > 0)
        ActionCellEdited(grid, Args.Row, Args.Col, grid->cellText(Args.Row, Args.Col));
}

void TAxDravik::ngActionBeforeSelect(QWidget *Sender, GridArgs &Args)
{
    auto *grid = qobject_cast<DataGrid *>(Sender);
    for (size_t k = 1; k < ActionRows.size(); ++k) {
        if (int(k) != Args.Row + 1 && ActionRows[k].FirstEmptyCol && !ActionInsertMode) {
            if (grid) {
                const QSignalBlocker quiet(grid);
                grid->setCurrentCell(int(k) - 1, ActionRows[k].FirstEmptyCol);
            }
            Args.Accept = false;
            return;
        }
    }
    for (size_t k = 1; k < ActionRows.size(); ++k) {
        if (int(k) != Args.Row + 1 && !ActionRows[k].Statement.isEmpty()
            && JvXPBtnSave->isEnabled()) {
            Args.Accept = SaveChanges();
            return;
        }
    }
}

void TAxDravik::ngActionCellClick(QWidget *Sender, GridArgs &Args)
{
    auto *grid = qobject_cast<DataGrid *>(Sender);
    const size_t k = size_t(Args.Row) + 1;
    if (!grid || Args.Row < 0 || k >= ActionRows.size())
        return;
    if (Args.Col >= 1 && Args.Col <= kColumns) {
        grid->setColumnEnabled(kDateColumn, true);
        return;
    }
    if (Args.Col != 0)
        return;
    const QString glyph = grid->cellText(Args.Row, 0);
    if (glyph == GridGlyph::Delete) {
        if (!GridGlyph::cursorIsNormal())
            return;
        TestActionUpdate(-int(k));
        if (SaveChanges())
            ReloadRecord();
    } else if (glyph == GridGlyph::Add) {
        if (TestActionUpdate(int(k)) && SaveChanges())
            ReloadRecord();
    }
}

void TAxDravik::ngActionCellFormating(QWidget *, GridArgs &Args)
{
    if (Args.Col == 1)
        Args.Color = colorFromTColor(clRed);
    else if (shadedColumn(Args.Col))
        Args.Color = colorFromTColor(clBlue);
}

void TAxDravik::ngActionKeyPress(QWidget *, KeyArgs &Key)
{
    if (Key.key == Qt::Key_Return || Key.key == Qt::Key_Enter)
        Key.handled = true;
}
