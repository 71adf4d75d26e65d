// Record search: the search panel, its criteria and results, and the previous and next
// records.
#include "ui/TAxDravik.h"

#include "search/SearchResults.h"
#include "search/SearchSql.h"
#include "search/SearchTexts.h"

#include "app/IniFile.h"
#include "engine/RecordKind.h"
#include "engine/TextRules.h"
#include "gateway/TXml.h"
#include "gateway/UnitTools.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/PictureButton.h"

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

// The five criteria, in the order of their labels at design time.
struct Criterion
{
    const char *label;
    const char *button;
    int vehicleLeft; // -1: hidden for vehicles
    int customerLeft; // -1: hidden for customers
};
constexpr Criterion kCriteria[] = {
        {"TSLbNVO", "TSNVO", 10, -1},        {"TSLbImmat", "TSImmat", 82, 10},
        {"TSLbClient", "TSClient", 154, 82}, {"TSLbTelephone", "TSTelephone", -1, 226},
        {"TSLbMobile", "TSMobile", -1, 154},
};
// A button stands this far right of its label.
constexpr int kButtonOffset = 18;

// The criterion a saved option names ("1" plate ... "7" home telephone), or null.
const Criterion *savedCriterion(const QString &option, bool customer)
{
    // Positions in kCriteria of the options "1" to "3" (vehicles) and "4" to "7" (customers).
    constexpr int vehicle[] = {1, 2, 0};
    constexpr int person[] = {1, 2, 4, 3};
    const int n = readInt(option, -1) - (customer ? 4 : 1);
    if (option.size() != 1 || n < 0 || n >= (customer ? 4 : 3))
        return nullptr;
    return &kCriteria[customer ? person[n] : vehicle[n]];
}

void setTextColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

// Selects the last entry showing the saved text; without one a list shows its first entry
// (every type), and a box its empty text (every site).
void selectSaved(ComboBox *box, const QString &saved)
{
    int found = box->isDropDownList() && box->count() > 0 ? 0 : -1;
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i) == saved)
            found = i;
    }
    if (found >= 0)
        box->setCurrentIndex(found);
}

void activate(TAxDravik &w, const Criterion &c)
{
    w.BtnActivate(w.Control<QLabel>(QLatin1String(c.label)),
                  w.Control<PictureButton>(QLatin1String(c.button)));
}

// A criterion the user picks: the results shown were found by the other one, so a text
// already typed is searched again, after the same short wait as a change of site or type.
void choose(TAxDravik &w, const Criterion &c)
{
    const int before = w.SearchMode();
    activate(w, c);
    const auto *edit = w.Control<QLineEdit>(QStringLiteral("ncbSearch"));
    if (edit && !edit->text().isEmpty() && w.SearchMode() != before) {
        w.SearchByWhereClause = false;
        w.SearchCountdown = 2;
    }
}

} // namespace

int TAxDravik::SearchMode() const
{
    const auto enabled = [this](const char *name) {
        const auto *button = Control<PictureButton>(QLatin1String(name));
        return button && button->isEnabled();
    };
    return deriveSearchMode(
            RecordKind == RecordKinds::Customer,
            {enabled("TSNVO"), enabled("TSImmat"), enabled("TSClient"), enabled("TSMobile")});
}

void TAxDravik::SetSearchText(const QString &text)
{
    auto *edit = Control<QLineEdit>(QStringLiteral("ncbSearch"));
    if (edit && edit->text() != text)
        edit->setText(text);
}

void TAxDravik::BtnActivate(QLabel *Label, PictureButton *Button)
{
    if (ActiveSearchLabel && ActiveSearchLabel != Label)
        setTextColor(ActiveSearchLabel, Qt::black);
    if (Label)
        setTextColor(Label, Qt::blue);
    ActiveSearchLabel = Label;
    for (const Criterion &c : kCriteria) {
        if (auto *button = Control<PictureButton>(QLatin1String(c.button)))
            button->setEnabled(button == Button);
    }
    if (!Panel1->isHidden()) {
        if (QWidget *edit = Control(QStringLiteral("ncbSearch")))
            edit->setFocus();
    }
}

void TAxDravik::PrepareSearchPanel()
{
    auto *types = Control<ComboBox>(QStringLiteral("ncbTypeVO"));
    auto *sites = Control<ComboBox>(QStringLiteral("ncbSite"));
    auto *info = Control<QLabel>(QStringLiteral("ncbInfoSearch"));
    if (!types || !sites || !info || (types->count() > 0 && info->text() == RecordKind))
        return;
    info->setText(RecordKind);
    LoadInfoNxComboBox(QStringLiteral("TVTypeVO"), types);
    selectSaved(types, GetTagRegistry(SearchKeys::TypeVO));
    LoadInfoNxComboBox(QStringLiteral("Site"), sites);
    selectSaved(sites, GetTagRegistry(SearchKeys::Site));
    if (auto *label = Control<QLabel>(QStringLiteral("ncbLabel")))
        label->clear();
    if (QWidget *more = Control(QStringLiteral("JvXPBtnSearchPlus")))
        more->hide();
    SearchCountdown = 10;

    const bool customer = RecordKind == RecordKinds::Customer;
    SetSearchText(GetTagRegistry(customer ? SearchKeys::CustomerText : SearchKeys::VehicleText));
    for (const Criterion &c : kCriteria) {
        const int left = customer ? c.customerLeft : c.vehicleLeft;
        QWidget *label = Control(QLatin1String(c.label));
        QWidget *button = Control(QLatin1String(c.button));
        if (!label || !button)
            continue;
        label->setVisible(left >= 0);
        button->setVisible(left >= 0);
        if (left >= 0) {
            label->move(left, label->y());
            button->move(left + kButtonOffset, button->y());
        }
    }
    for (const char *filter : {"ncbLbSite", "ncbSite", "ncbLbTypeVO", "ncbTypeVO"}) {
        if (QWidget *w = Control(QLatin1String(filter)))
            w->setVisible(!customer);
    }
    const QString option
            = GetTagRegistry(customer ? SearchKeys::CustomerMode : SearchKeys::VehicleMode);
    if (const Criterion *c = savedCriterion(option, customer))
        activate(*this, *c);
}

void TAxDravik::PlaceSearchPanel()
{
    PrepareSearchPanel();
    // The panel covers the record: nothing of the page behind shows through it.
    Panel1->setAutoFillBackground(true);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->move(Panel1->x(), JvXPBtnSearch->y() + qRound(2.0 * JvXPBtnSearch->height() / 3.0));
    Panel1->raise();
}

void TAxDravik::JvXPBtnSearchClick(QWidget *)
{
    PlaceSearchPanel();
    Panel1->setVisible(Panel1->isHidden());
    if (keyboard().ctrlDown() && !Panel1->isHidden()) {
        // The launch filter instead of the text; set last, the text's change clears it.
        if (!SearchByWhereClause)
            SearchCountdown = 2;
        SetSearchText(QString());
        SearchByWhereClause = true;
    }
    if (!Panel1->isHidden()) {
        if (QWidget *edit = Control(QStringLiteral("ncbSearch")))
            edit->setFocus();
    }
}

bool TAxDravik::RunQuery(const QString &sqlAndRows, const QString &file, const QString &unreadable,
                         TXml &answer)
{
    HttpExecute(BaseHRef + SearchWire::Query + QStringLiteral("?XMLC_OutputFormat=XML&SQL=")
                        + sqlAndRows,
                ResponseFile(file));
    if (!LbDebugInfo0->text().isEmpty())
        return false;
    try {
        answer.setDoc(ResponseText(ResponseFile(file)));
    } catch (const FileError &) { }
    // A list of rows comes whole, or what the window shows stays. Its end is looked for from
    // the end.
    if (!answer.Doc.contains(QLatin1String("<AXQueryS"))
        || answer.Doc.lastIndexOf(QLatin1String("</AXQueryS>")) < 0) {
        SetWarning(unreadable);
        return false;
    }
    return true;
}

void TAxDravik::HttpGetSearchInfo(int Increment)
{
    auto *edit = Control<QLineEdit>(QStringLiteral("ncbSearch"));
    auto *grid = Control<DataGrid>(QStringLiteral("ngSearch"));
    if (!edit || !grid)
        return;
    auto *types = Control<ComboBox>(QStringLiteral("ncbTypeVO"));
    auto *sites = Control<ComboBox>(QStringLiteral("ncbSite"));
    const QString text = cleanSearchText(edit->text());
    const bool customer = RecordKind == RecordKinds::Customer;
    const int mode = SearchMode();
    const QList<std::pair<QString, QString>> kept = customer
            ? QList<std::pair<QString, QString>> {{SearchKeys::CustomerText, text},
                                                  {SearchKeys::CustomerMode, QString::number(mode)}}
            : QList<std::pair<QString, QString>> {
                    {SearchKeys::TypeVO, types ? types->currentText() : QString()},
                    {SearchKeys::Site, sites ? sites->currentText() : QString()},
                    {SearchKeys::VehicleText, text},
                    {SearchKeys::VehicleMode, QString::number(mode)}};
    // The settings file is read only when this search differs from the last one kept, or
    // for the launch filter, and written only when it does not hold this search yet: each
    // write waits for the disk.
    IniFile settings(GetSettingsPath(environment()));
    if (kept != SearchKeysKept || SearchByWhereClause) {
        settings.load();
        const bool same = std::all_of(kept.begin(), kept.end(), [&settings](const auto &key) {
            return settings.value(kSettingsSection, key.first) == key.second;
        });
        if (same || WriteIniValues(settings.path(), kSettingsSection, kept))
            SearchKeysKept = kept;
        else
            SearchKeysKept.clear();
    }

    SearchRequest request;
    request.mode = mode;
    request.text = text;
    request.firstName = FieldText(QStringLiteral("aCliPrenom"));
    request.site = sites ? sites->currentText() : QString();
    request.typeIndex = types ? types->currentIndex() : -1;
    request.exact = ExactSearch;
    request.withFirstName = SearchWithFirstName;
    request.byWhereClause = SearchByWhereClause;
    if (SearchByWhereClause)
        request.whereClause = settings.value(kSettingsSection, QStringLiteral("WhereClause"));
    request.concession = UserConcession;
    const SearchStatement sql = BuildSearchSql(request);
    SearchHighlightColumn = sql.highlightColumn;
    if (auto *caption = Control<QLabel>(QStringLiteral("LbSearch")))
        caption->setText(ExactSearch ? SearchTexts::ExactCaption : SearchTexts::LikeCaption);
    SearchWithFirstName = false;

    if (Increment == 0)
        SearchMaxRows = 50;
    SearchMaxRows += Increment;
    TXml answer;
    if (!RunQuery(statementForAddress(sql.statement) + QStringLiteral("&MaxRows=")
                          + QString::number(SearchMaxRows),
                  SearchWire::ResultsFile, SearchTexts::UnreadableAnswer, answer))
        return;
    FillSearchGrid(mode, answer);
    grid->horizontalHeader()->setSortIndicatorShown(true);
    grid->horizontalHeader()->setSortIndicator(sql.sortColumn, Qt::AscendingOrder);
}

void TAxDravik::FillSearchGrid(int mode, const TXml &answer)
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngSearch"));
    QString rowCount, eof;
    XmlGetAttr(answer, u"RowCount", rowCount);
    XmlGetAttr(answer, u"EOF", eof);
    const bool more = eof == QLatin1String("0");
    if (QWidget *button = Control(QStringLiteral("JvXPBtnSearchPlus")))
        button->setVisible(more && mode != SearchModes::StockNumber);

    const QStringList headers = searchHeaders(mode);
    for (int i = 0; i < headers.size(); ++i)
        grid->model()->setHeaderData(SearchColumns::Reference + i, Qt::Horizontal, headers[i]);

    DataGrid::Filling filling(*grid);
    grid->clearRows();
    TXml rows = answer;
    XmlOpen(rows, u"AXQueryS");
    int read = 0;
    while (XmlNext(rows, u"AXQuery") > 0) {
        const XmlItemIndex item(rows);
        grid->appendRow(searchRowCells(
                mode, [&item](QStringView name) { return item.view(name); }, UserConcession,
                UserSite));
        ++read;
    }
    // An answer without its count shows the rows it holds.
    if (rowCount.isEmpty())
        rowCount = QString::number(read);
    if (auto *label = Control<QLabel>(QStringLiteral("ncbLabel")))
        label->setText(rowCountCaption(rowCount, more));
}

void TAxDravik::OpenSearchRow(int row)
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngSearch"));
    if (!grid || row < 0 || row >= grid->rowCount())
        return;
    const QString id = grid->cellText(row, SearchColumns::Index);
    if (id.isEmpty())
        return;
    grid->setCurrentCell(row, SearchColumns::Reference);
    // What the record shown holds is asked for before its ids change.
    if (!AskPendingChanges())
        return;
    QLabel *target = RecordKind == RecordKinds::Customer ? LbIDCustomer : LbIdTVO;
    const QString before = target->text();
    const bool wasNew = FlagNewEnreg;
    target->setText(id);
    FlagNewEnreg = false;
    ReloadRecord();
    if (!RequestAnswered()) {
        // Not loaded: the record shown keeps its own id.
        target->setText(before);
        FlagNewEnreg = wasNew;
    }
    JvXPNext->setEnabled(row < grid->rowCount() - 1);
    JvXPPrev->setEnabled(row > 0);
}

void TAxDravik::ngSearchCellClick(QWidget *, GridArgs &Args)
{
    OpenSearchRow(Args.Row);
}

void TAxDravik::JvXPNextClick(QWidget *)
{
    if (auto *grid = Control<DataGrid>(QStringLiteral("ngSearch")))
        OpenSearchRow(grid->currentRow() + 1);
}

void TAxDravik::JvXPPrevClick(QWidget *)
{
    if (auto *grid = Control<DataGrid>(QStringLiteral("ngSearch")))
        OpenSearchRow(grid->currentRow() - 1);
}

void TAxDravik::ngSearchMouseMove(QWidget *, GridArgs &Args)
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngSearch"));
    if (!grid)
        return;
    if (QApplication::focusWidget() != grid)
        grid->setFocus();
    const int row = grid->rowAt(Args.Pos.y());
    if (row >= 0)
        grid->setCurrentCell(row, SearchColumns::Reference);
    JvXPNext->setEnabled(row < grid->rowCount() - 1);
    JvXPPrev->setEnabled(row > 0);
}

void TAxDravik::ngSearchCellFormating(QWidget *, GridArgs &Args)
{
    if (Args.Col == SearchHighlightColumn)
        Args.Color = Qt::blue;
}

void TAxDravik::ngSearchKeyDown(QWidget *, KeyArgs &Key)
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngSearch"));
    if (grid && (Key.key == Qt::Key_Return || Key.key == Qt::Key_Enter)) {
        Key.handled = true;
        OpenSearchRow(grid->currentRow());
    }
}

void TAxDravik::ncbSearchKeyDown(QWidget *Sender, KeyArgs &Key)
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngSearch"));
    if (!grid || grid->rowCount() == 0)
        return;
    if (Key.key == Qt::Key_Down || Key.key == Qt::Key_Up) {
        Key.handled = true;
        const int step = Key.key == Qt::Key_Down ? 1 : -1;
        const int row = qBound(0, grid->currentRow() + step, grid->rowCount() - 1);
        grid->setCurrentCell(row, SearchColumns::Reference);
        return;
    }
    ngSearchKeyDown(Sender, Key);
}

void TAxDravik::JvXPBtnSearchPlusClick(QWidget *)
{
    HttpGetSearchInfo(50);
}

void TAxDravik::LbSearchClick(QWidget *)
{
    ExactSearch = !ExactSearch;
    SearchCountdown = 1;
}

void TAxDravik::TSLbNVOClick(QWidget *)
{
    choose(*this, kCriteria[0]);
}

void TAxDravik::TSLbImmatClick(QWidget *)
{
    choose(*this, kCriteria[1]);
}

void TAxDravik::TSLbClientClick(QWidget *)
{
    choose(*this, kCriteria[2]);
}

void TAxDravik::TSLbTelephoneClick(QWidget *)
{
    choose(*this, kCriteria[3]);
}

void TAxDravik::TSLbMobileClick(QWidget *)
{
    choose(*this, kCriteria[4]);
}

void TAxDravik::TSVClick(QWidget *)
{
    if (QWidget *edit = Control(QStringLiteral("ncbSearch")))
        edit->setFocus();
}

void TAxDravik::ncbSearchChange(QWidget *)
{
    SearchByWhereClause = false;
    SearchCountdown = 4;
}

void TAxDravik::ncbSiteChange(QWidget *)
{
    SearchByWhereClause = false;
    SearchCountdown = 2;
}

void TAxDravik::ncbTypeVOChange(QWidget *)
{
    SearchByWhereClause = false;
    SearchCountdown = 2;
}
