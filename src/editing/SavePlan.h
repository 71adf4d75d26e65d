#pragma once

#include "editing/FieldText.h"
#include "editing/RequiredFields.h"
#include "editing/TsLine.h"
#include "engine/TsPage.h"
#include "gateway/ResponseFiles.h"

#include <QDate>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct TXml;

// Saving a record: what one save sends and in which order, and how each answer is taken in.
// planSave() runs every check first, so a save either stops before sending anything or sends
// its requests in order:
//   checks -> at most one grid row (a cost row, else an action row) -> the shown tab's
//   statement; then the fixed fee of a used vehicle (fixedFeeDue).

struct SaveRequest
{
    enum class Kind { CostRow, ActionRow, Tab };
    Kind kind = Kind::Tab;
    int row = 0; // element of FrevoRows or ActionRows; the tab number for Kind::Tab
    QString endpoint;
    QString statement;
    QString responseFile;
};

// Everything a save reads from the window.
struct SaveSnapshot
{
    QString kindCaption; // "VO", "VD", "VN", "CL"
    bool FlagNewEnreg = false;
    bool FlagNewVehicle = false;
    int shownPage = 0; // page index of the shown tab
    bool shownPageVisible = true; // its tab is shown for the record
    const TabDescTable *tabs = nullptr;
    const TsLines *FrevoRows = nullptr;
    bool FrevoInsertMode = false;
    const TsLines *ActionRows = nullptr;
    bool ActionInsertMode = false;
    int vehicleRows = 0; // rows of the customer-vehicles grid
    QString customerId; // caption of LbIDCustomer
    QDate today;
    // A field as the user knows it (fieldLabel() when not given).
    std::function<QString(const TsDesc &)> labelOf;
};

// A value of the shown tab that cannot be written: nothing is sent, the warning shows and the
// save answers false.
struct InvalidValue
{
    int tab = 0;
    int index = -1; // descriptor whose control takes the focus
    QString message; // for the warning band
};

struct SavePlan
{
    std::optional<RequiredFailure> failure; // a check failed: nothing is sent
    std::optional<InvalidValue> invalid; // nothing is sent
    std::vector<SaveRequest> requests; // in order
};

SavePlan planSave(const SaveSnapshot &snapshot, const FieldText &text);

// Asked after the requests: whether TestFraisFixes runs, its statement then going through
// AxInsert into ResponseFiles::Costs. Only for a used vehicle that exists on the server: while
// the record is still new, the record document and the id label are those of the vehicle shown
// before, which must not receive the fee.
bool fixedFeeDue(const QString &kindCaption, const QString &vehicleId, bool FlagNewEnreg);

// First element of a row store (from 1) with a pending statement; 0 when none.
int firstPendingRow(const TsLines &rows);

// An action row with an empty column may not be sent, except as a deletion.
bool actionRowBlocked(const TsLine &row);

// After a sent cost row: columns 1 to 8 take their current values as loaded.
void acceptCostRow(TsLine &row);

// After a sent action row: every changed column takes its current value as loaded. Answers the
// settings to write ("sAct" + column, value) for the changed columns 2 to 10 except the comment.
std::vector<QPair<QString, QString>> acceptActionRow(TsLine &row);

// After a sent update of a tab: every descriptor takes its current value as loaded.
void acceptTab(std::vector<TsDesc> &descs);

// "NewID" of "OutParams" in an insert's response; empty when it is missing or not a positive
// whole number.
QString readNewId(const TXml &response);

// Which id label takes a new id: the customer's while it shows "-1" or "-2", else the vehicle's.
enum class NewIdLabel { Customer, Vehicle };
NewIdLabel newIdLabel(const QString &customerIdCaption);

// The answer of a save from the outcome of each request it made.
class SaveAnswer
{
public:
    // A grid row or the tab: warning is the warning band's text right after the request.
    void sent(const QString &warning);
    // The fixed fee: its failure counts, its send does not.
    void fixedFee(const QString &warning);

    // True when nothing was sent, else when no request failed.
    bool answer() const;
    // The first failure's warning, to show again when a later success cleared the band.
    QString warning() const { return m_warning; }
    // The cursor goes back to normal unless it was busy at entry and the save succeeded.
    bool restoreCursor(bool normalAtEntry) const;
    bool somethingSent() const { return m_sent; }

private:
    void note(const QString &warning);

    bool m_sent = false;
    bool m_failed = false;
    QString m_warning;
};
