#include "editing/SavePlan.h"

#include "editing/Messages.h"
#include "editing/PageStatement.h"
#include "engine/RecordDocument.h"
#include "engine/RecordKind.h"
#include "engine/TextRules.h"

#include <QRegularExpression>

namespace {

constexpr int kLastCostColumn = 8;
constexpr int kLastActionColumn = 10;
constexpr int kCommentColumn = 6;

bool isVehicle(const SaveSnapshot &s)
{
    return s.kindCaption != KindCaptions::Customer;
}

const TsPage *shownTab(const SaveSnapshot &s)
{
    // A page whose tab is hidden holds the fields of a record of another kind.
    if (!s.tabs || s.shownPage < 0 || s.shownPage >= 9 || !s.shownPageVisible)
        return nullptr;
    return &(*s.tabs)[size_t(s.shownPage) + 1];
}

// The one grid row a save may send: the first pending cost row of a vehicle, else the first
// pending action row (unless it is blocked by an empty column, which stops the save).
void planGridRow(const SaveSnapshot &s, SavePlan &plan)
{
    if (isVehicle(s) && s.FrevoRows) {
        if (const int row = firstPendingRow(*s.FrevoRows)) {
            plan.requests.push_back({SaveRequest::Kind::CostRow, row,
                                     endpointFor(s.FrevoInsertMode),
                                     (*s.FrevoRows)[size_t(row)].Statement, ResponseFiles::Costs});
            return;
        }
    }
    if (!s.ActionRows)
        return;
    const int row = firstPendingRow(*s.ActionRows);
    if (!row)
        return;
    const TsLine &line = (*s.ActionRows)[size_t(row)];
    if (actionRowBlocked(line)) {
        plan.failure = RequiredFailure {QString(), row - 1, line.FirstEmptyCol,
                                        CheckAnswer::FlagNewEnreg};
        return;
    }
    plan.requests.push_back({SaveRequest::Kind::ActionRow, row, endpointFor(s.ActionInsertMode),
                             line.Statement, ResponseFiles::Actions});
}

} // namespace

SavePlan planSave(const SaveSnapshot &s, const FieldText &text)
{
    SavePlan plan;
    if (isVehicle(s)) {
        plan.failure = checkVehicleFields(s.kindCaption, text, s.today);
    } else {
        const TsLine *actionRow0
                = s.ActionRows && s.ActionRows->size() > 1 ? &(*s.ActionRows)[1] : nullptr;
        plan.failure = checkCustomerFields(
                {s.shownPage, s.ActionInsertMode, actionRow0, s.vehicleRows, s.customerId}, text);
    }
    if (plan.failure)
        return plan;

    const TsPage *tab = shownTab(s);
    const bool tabPending = tab && !tab->PendingSql.isEmpty();
    if (tabPending) {
        const int index = firstUnwritableField(tab->Descs);
        if (index >= 0) {
            plan.invalid = InvalidValue {
                    s.shownPage + 1, index,
                    EditingText::invalidValue(s.labelOf ? s.labelOf(tab->Descs[size_t(index)])
                                                        : fieldLabel(tab->Descs[size_t(index)]))};
            return plan;
        }
    }

    planGridRow(s, plan);
    if (plan.failure) {
        plan.requests.clear();
        return plan;
    }
    if (tabPending)
        plan.requests.push_back(
                {SaveRequest::Kind::Tab, s.shownPage + 1,
                 endpointFor(insertMode(s.FlagNewEnreg, s.FlagNewVehicle, s.shownPage + 1)),
                 tab->PendingSql, ResponseFiles::Tab});
    return plan;
}

bool fixedFeeDue(const QString &kindCaption, const QString &vehicleId, bool FlagNewEnreg)
{
    return kindCaption == KindCaptions::Used && !vehicleId.isEmpty() && !FlagNewEnreg;
}

int firstPendingRow(const TsLines &rows)
{
    for (size_t k = 1; k < rows.size(); ++k) {
        if (!rows[k].Statement.isEmpty())
            return int(k);
    }
    return 0;
}

bool actionRowBlocked(const TsLine &row)
{
    return row.FirstEmptyCol != 0 && asciiUpper(row.Statement.left(6)) != QLatin1String("DELETE");
}

void acceptCostRow(TsLine &row)
{
    for (int c = 1; c <= kLastCostColumn; ++c)
        row.Cols[c].LoadedValue = row.Cols[c].CurrentValue;
}

std::vector<QPair<QString, QString>> acceptActionRow(TsLine &row)
{
    std::vector<QPair<QString, QString>> settings;
    for (int c = 1; c <= kLastActionColumn; ++c) {
        TsDesc &cell = row.Cols[c];
        if (cell.CurrentValue == cell.LoadedValue)
            continue;
        if (c >= 2 && c != kCommentColumn)
            settings.emplace_back(QStringLiteral("sAct") + QString::number(c), cell.CurrentValue);
        cell.LoadedValue = cell.CurrentValue;
    }
    return settings;
}

void acceptTab(std::vector<TsDesc> &descs)
{
    for (TsDesc &d : descs)
        d.LoadedValue = d.CurrentValue;
}

QString readNewId(const TXml &response)
{
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    const QString id = XmlGetText(selectElement(response, u"OutParams"), u"NewID").trimmed();
    // The id becomes a label caption and goes unquoted into later requests.
    if (!digits.match(id).hasMatch() || readInt(id) <= 0)
        return QString();
    return id;
}

NewIdLabel newIdLabel(const QString &customerIdCaption)
{
    return customerIdCaption == QLatin1String("-1") || customerIdCaption == QLatin1String("-2")
            ? NewIdLabel::Customer
            : NewIdLabel::Vehicle;
}

void SaveAnswer::note(const QString &warning)
{
    if (warning.isEmpty())
        return;
    if (!m_failed)
        m_warning = warning;
    m_failed = true;
}

void SaveAnswer::sent(const QString &warning)
{
    m_sent = true;
    note(warning);
}

void SaveAnswer::fixedFee(const QString &warning)
{
    note(warning);
}

bool SaveAnswer::answer() const
{
    return !m_sent || !m_failed;
}

bool SaveAnswer::restoreCursor(bool normalAtEntry) const
{
    return m_sent && (normalAtEntry || !answer());
}
