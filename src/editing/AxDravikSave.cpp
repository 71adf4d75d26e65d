// Saving a record: the checks first, then at most one grid row, then the statement of the tab
// on screen; a new record gets its server id and is reloaded, an updated one takes what was
// sent as loaded. A failed request keeps every statement pending for the next save.
#include "engine/RecordKind.h"
#include "ui/TAxDravik.h"

#include "editing/Messages.h"
#include "editing/PageStatement.h"
#include "editing/SavePlan.h"
#include "gateway/RequestKeys.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

bool cursorIsNormal()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return !cursor || cursor->shape() == Qt::ArrowCursor;
}

// The hourglass of a save: shown by the first request when the cursor was normal at entry,
// and set back to normal as the answer decides.
class SaveCursor
{
public:
    SaveCursor()
        : m_normalAtEntry(cursorIsNormal())
    { }
    void busy()
    {
        if (m_normalAtEntry && !m_shown) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            m_shown = true;
        }
    }
    void finish(const SaveAnswer &answer)
    {
        if (!answer.restoreCursor(m_normalAtEntry))
            return;
        if (m_shown)
            QGuiApplication::restoreOverrideCursor();
        else if (QGuiApplication::overrideCursor())
            QGuiApplication::changeOverrideCursor(Qt::ArrowCursor);
    }

private:
    bool m_normalAtEntry;
    bool m_shown = false;
};

} // namespace

QString TAxDravik::SendStatement(const QString &endpoint, const QString &statement,
                                 const QString &responseFile)
{
    // The same statement sent again after a silence carries the same key: a server that
    // applied it answers what it answered then.
    const QString key = m_requestKeys->keyFor(endpoint, statement);
    TraceLog(QStringLiteral("RequestKey : ") + key);
    HttpExecute(BaseHRef + endpoint + QStringLiteral("?XMLC_OutputFormat=XML&SQLExecute=")
                        + statement + QStringLiteral("&RequestKey=") + key,
                ResponseFile(responseFile));
    if (RequestAnswered())
        m_requestKeys->answered(endpoint, statement);
    return LbDebugInfo0->text();
}

void TAxDravik::ShowStatus(const QString &text)
{
    LbStatus->setText(text);
    LbStatus->setToolTip(text);
}

bool TAxDravik::SaveChanges(bool *stoppedOnCheck)
{
    if (stoppedOnCheck)
        *stoppedOnCheck = false;
    // A date still being typed, a box still being typed in, are checked before anything of
    // them is sent.
    if (TestFocusedField())
        return false;
    SaveCursor cursor;
    const QString caption = JvXPBtnNewVO->text();
    if (caption != KindCaptions::Customer)
        TraceLog(QStringLiteral("contrôle info véhicule ") + LbIdTVO->text());

    SaveSnapshot snapshot;
    snapshot.kindCaption = caption;
    snapshot.FlagNewEnreg = FlagNewEnreg;
    snapshot.FlagNewVehicle = FlagNewVehicle;
    snapshot.shownPage = Tabs->currentIndex();
    snapshot.shownPageVisible = Tabs->isTabVisible(Tabs->currentIndex());
    snapshot.labelOf = [this](const TsDesc &d) {
        return FieldLabel(d);
    };
    snapshot.tabs = &TabDesc;
    snapshot.FrevoRows = &FrevoRows;
    snapshot.FrevoInsertMode = FrevoInsertMode;
    snapshot.ActionRows = &ActionRows;
    snapshot.ActionInsertMode = ActionInsertMode;
    if (const auto *vehicles = Control<DataGrid>(QStringLiteral("ngVehicles")))
        snapshot.vehicleRows = vehicles->rowCount();
    snapshot.customerId = LbIDCustomer->text();
    snapshot.today = clock().now().date();
    const SavePlan plan
            = planSave(snapshot, [this](const QString &name) { return FieldText(name); });

    if (plan.failure) {
        // No message: the focus goes to what is missing.
        const RequiredFailure &f = *plan.failure;
        if (stoppedOnCheck)
            *stoppedOnCheck = true;
        if (QWidget *control = f.control.isEmpty() ? nullptr : Control(f.control)) {
            const TsDesc *d = DescOf(control);
            const QString label = d ? FieldLabel(*d) : control->objectName();
            // An empty field is missing; a filled one stopped a consistency check (a first
            // registration after the entry date).
            const QString shown = controlText(control);
            const bool missing = shown.trimmed().isEmpty() || shown == QLatin1String("__/__/____")
                    || shown == QLatin1String("0");
            ShowStatus(EditingText::notSaved(missing ? EditingText::required(label)
                                                     : EditingText::invalidValue(label)));
            control->setFocus();
        } else if (auto *actions = Control<DataGrid>(QStringLiteral("ngAction"));
                   actions && f.actionRow >= 0) {
            ShowStatus(EditingText::notSaved(EditingText::required(
                    f.actionColumn < actions->columnCount() ? actions->headerText(f.actionColumn)
                                                            : actions->objectName())));
            const QSignalBlocker quiet(actions); // selecting here must not start another save
            actions->setCurrentCell(f.actionRow, f.actionColumn);
            actions->setFocus();
        }
        return checkAnswer(f.answer, FlagNewEnreg, FlagNewVehicle);
    }
    if (plan.invalid) {
        SetWarning(plan.invalid->message);
        ShowStatus(EditingText::notSaved(plan.invalid->message));
        if (QWidget *control = TabDesc[plan.invalid->tab].Descs[plan.invalid->index].Control)
            control->setFocus();
        return false;
    }

    SaveAnswer answer;
    bool unanswered = false; // a write may have been applied though no answer came
    const auto send = [&](const SaveRequest &request) {
        cursor.busy();
        const QString warning
                = SendStatement(request.endpoint, request.statement, request.responseFile);
        unanswered = unanswered || !RequestAnswered();
        answer.sent(warning);
        return warning.isEmpty();
    };

    auto request = plan.requests.cbegin();
    if (request != plan.requests.cend() && request->kind != SaveRequest::Kind::Tab) {
        const size_t row = size_t(request->row);
        const bool sent = send(*request);
        if (request->kind == SaveRequest::Kind::CostRow) {
            if (sent)
                acceptCostRow(FrevoRows[row]);
            TestFrevoUpdate(request->row);
        } else {
            if (sent) {
                for (const auto &[key, value] : acceptActionRow(ActionRows[row]))
                    SetTagRegistry(key, value);
            }
            TestActionUpdate(request->row);
        }
        ++request;
    }
    TraceLog(QStringLiteral("Save Changes -1-"));

    if (request != plan.requests.cend()) {
        const int tab = request->row;
        const bool insert = request->endpoint == Endpoints::Insert;
        if (send(*request)) {
            if (!insert) {
                acceptTab(TabDesc[tab].Descs);
                TestPageUpdate(tab);
            } else if (const QString newId
                       = readNewId(TXml(ResponseText(ResponseFile(request->responseFile))));
                       newId.isEmpty()) {
                // The row exists but cannot be reloaded: the statement stays, the user is told.
                answer.sent(EditingText::NewIdMissing);
                SetWarning(EditingText::NewIdMissing);
            } else {
                QLabel *label = newIdLabel(LbIDCustomer->text()) == NewIdLabel::Customer
                        ? LbIDCustomer
                        : LbIdTVO;
                label->setText(newId);
                FlagNewEnreg = false;
                FlagNewVehicle = false;
                ReloadRecord();
                TestPageUpdate(tab);
            }
        }
    }
    TraceLog(QStringLiteral("Save Changes -2-"));

    if (fixedFeeDue(caption, LbIdTVO->text(), FlagNewEnreg)) {
        if (const QString fee = TestFraisFixes(); !fee.isEmpty()) {
            const QString warning = SendStatement(Endpoints::Insert, fee, ResponseFiles::Costs);
            answer.fixedFee(warning);
            if (warning.isEmpty()) {
                FixedFeeSentWith = RecordDoc.Doc;
                UpdateView(0);
            }
        }
    }
    TraceLog(QStringLiteral("Save Changes -1-"));

    // A later success must not hide an earlier failure.
    if (!answer.answer() && LbDebugInfo0->text().isEmpty())
        SetWarning(answer.warning());
    if (!answer.answer())
        ShowStatus(EditingText::notSaved(unanswered ? EditingText::NotAnswered
                                                    : answer.warning().trimmed()));
    else if (answer.somethingSent())
        ShowStatus(EditingText::Saved);
    cursor.finish(answer);
    return answer.answer();
}

bool TAxDravik::SavedThrough()
{
    bool stoppedOnCheck = false;
    return SaveChanges(&stoppedOnCheck) && !stoppedOnCheck;
}

bool TAxDravik::AskPendingChanges()
{
    if (!JvXPBtnSave->isEnabled())
        return true;
    switch (messages().show(EditingText::PendingTitle, EditingText::PendingQuestion,
                            MessageBoxes::Buttons::YesNoCancel, MessageBoxes::Icon::Question)) {
    case MessageBoxes::Answer::Yes: {
        // Only a save that went through lets the user leave the record.
        return SavedThrough() && !JvXPBtnSave->isEnabled();
    }
    case MessageBoxes::Answer::No:
        ShowStatus(EditingText::notSaved(QStringLiteral("modifications abandonnées")));
        return true;
    default:
        return false;
    }
}

void TAxDravik::JvXPBtnSaveClick(QWidget *)
{
    if (JvXPBtnSave->isEnabled())
        SaveChanges();
}

void TAxDravik::TabsChanging(QWidget *, bool &AllowChange)
{
    // A new record stopped by a required field keeps its page too, though the save answers
    // true: what another page took before the record exists would be lost by the reload that
    // follows its insert.
    AllowChange = !JvXPBtnSave->isEnabled() || SavedThrough();
}
