// Commands on the whole record (new, delete, sweep, reload) and page changes: the detail of a
// page is loaded the first time it is shown after a record load.
#include "engine/RecordKind.h"
#include "ui/TAxDravik.h"

#include "editing/FieldReactions.h"
#include "editing/Messages.h"
#include "editing/RecordCommands.h"
#include "engine/TextRules.h"
#include "gateway/ResponseFiles.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QTabWidget>

void TAxDravik::TabsChange(QWidget *)
{
    const int p = Tabs->currentIndex();
    if (p < 0 || p >= int(TabDesc.size()) || TabDesc[p].DetailLoaded)
        return;
    switch (pageDetail(p)) {
    case PageDetail::Reservation:
        GetInfoReservation();
        break;
    case PageDetail::Costs:
        LoadInfoFrevo();
        break;
    case PageDetail::Photos:
        LoadInfoCliche();
        GetDataImages();
        break;
    case PageDetail::Actions:
        LoadInfoAction();
        break;
    case PageDetail::Vehicles:
        VehicleIndex = 0;
        LoadInfoVehicle();
        break;
    case PageDetail::None:
        HideSplash();
        return;
    }
    TabDesc[p].DetailLoaded = true;
    HideSplash();
}

namespace {

// The record id as read, said missing in the "Action Annulée" box when asked to complain.
QString checkedId(MessageBoxes &boxes, const QString &id, bool vehicle, bool complain)
{
    if (id.isEmpty() && complain)
        boxes.notify(EditingText::CancelledTitle,
                     vehicle ? EditingText::VehicleIdMissing : EditingText::CustomerIdMissing,
                     MessageBoxes::Icon::Warning);
    return id;
}

} // namespace

QString TAxDravik::GetIdVO(bool complain)
{
    return checkedId(messages(), ::GetIdVO(RecordDoc), true, complain);
}

QString TAxDravik::GetIdClient(bool complain)
{
    return checkedId(messages(), ::GetIdClient(RecordDoc), false, complain);
}

void TAxDravik::JvXPBtnNewVOClick(QWidget *)
{
    if (SaveChanges())
        NewRecord();
}

void TAxDravik::NewRecord()
{
    FlagNewEnreg = true;
    const QString caption = JvXPBtnNewVO->text();
    {
        // The page a new record opens on is chosen here, not by the user: no page handler.
        const QSignalBlocker quiet(Tabs);
        if (caption == KindCaptions::Customer) {
            LbIDCustomer->setText(kNewCustomerId);
            for (const char *grid : {"ngAction", "ngVehicles"}) {
                if (auto *g = Control<DataGrid>(QLatin1String(grid)))
                    g->clearRows();
            }
            // The row store follows its emptied grid.
            ActionRows.resize(std::min<size_t>(ActionRows.size(), 1));
        }
        if (const int page = newRecordPage(caption); page >= 0)
            Tabs->setCurrentIndex(page);
    }
    Frevo.clear();
    UpdateTabDesc(0, 1);
    m_shownVehicleId = LbIdTVO->text();
    m_shownCustomerId = LbIDCustomer->text();
    GetInfoReservation();
    UpdateToolbar(); // the rights of a new record, before its site is offered

    auto *site = Control<ComboBox>(siteControl(caption));
    TsDesc *d = DescOf(site);
    if (!site || !d)
        return;
    const SitePreselection choice = preselectSite(site->entries(), UserUS1, UserSite);
    if (choice.index < 0)
        return;
    FlagLoading = true; // the program's pick is not a user's change
    site->setCurrentIndex(choice.index);
    FlagLoading = false;
    d->CurrentValue = choice.value;
    TestPageUpdate(tabOfTag(TagOf(site)));
    // The lists still are those of the customer shown before: a new customer's salespeople and
    // model choices follow the site offered, as they follow a site the user picks.
    if (const FieldReaction *reaction = fieldReaction(HandlerOf(site, QStringLiteral("Change")));
        reaction && reaction->duty == SpecialDuty::CustomerSite)
        FieldDuty(site, *reaction);
}

bool TAxDravik::RecordModifiable() const
{
    if (!FlagModifiable)
        return false;
    for (const TsPage &tab : TabDesc) {
        for (const TsDesc &d : tab.Descs) {
            if (d.Control && controlEditable(d.Control))
                return true;
        }
    }
    return false;
}

void TAxDravik::JvXPBtnSupprClick(QWidget *)
{
    // A record that may not be modified may not be deleted: the lock says why.
    if (!GoTestVerrou())
        return;
    if (!RecordModifiable()) {
        SetWarning(EditingText::NotModifiable);
        return;
    }
    const QString caption = JvXPBtnNewVO->text();
    const bool vehicle = caption != KindCaptions::Customer;
    const QString question = vehicle
            ? EditingText::vehicleDeleteQuestion(caption, xcInfoNVO->text())
            : EditingText::customerDeleteQuestion(FieldText(QStringLiteral("aCliNom")),
                                                  FieldText(QStringLiteral("aCliPrenom")));
    // A new record has no id of its own: the document is still the previous record's.
    const QString id = checkedId(
            messages(), deletionId(vehicle ? GetIdVO(false) : GetIdClient(false), FlagNewEnreg),
            vehicle, true);
    if (id.isEmpty())
        return;
    if (!messages().confirmNoDefault(EditingText::DeleteTitle, question))
        return;
    const QStringList statements
            = vehicle ? vehicleDeleteStatements(id) : QStringList {customerDeleteStatement(id)};
    for (const QString &statement : statements) {
        LbDebugInfo2->setText(statement);
        // Each deletion only after the previous one succeeded.
        if (!SendStatement(Endpoints::Update, statement, ResponseFiles::Delete).isEmpty())
            return;
    }
    LbDebugInfo2->clear();
    messages().notify(EditingText::DeleteDoneTitle, EditingText::DeleteDone,
                      MessageBoxes::Icon::Warning);
    // Nothing of the deleted record is left to save, nor to check.
    NewRecord();
}

void TAxDravik::JvXPBtnSweepClick(QWidget *)
{
    if (JvXPBtnNewVO->text() != KindCaptions::NewOrder
        || !messages().confirmNoDefault(EditingText::DeleteTitle, EditingText::SweepQuestion))
        return;
    const QString statement = sweepStatement();
    LbDebugInfo2->setText(statement);
    SendStatement(Endpoints::Update, statement, ResponseFiles::Delete);
}

void TAxDravik::JvXPBtnActualizeClick(QWidget *)
{
    if (AskPendingChanges())
        ReloadRecord();
}

void TAxDravik::ReloadRecord()
{
    ShowSplash();
    const QString vehicleId = LbIdTVO->text();
    const QString customerId = LbIDCustomer->text();
    bool answered = true;
    if (!vehicleId.isEmpty()) {
        UrlInfoVO = infoVOAddress(BaseHRef, vehicleId, idUser);
        DropConnection();
        HttpExecute(UrlInfoVO, ResponseFile(ResponseFiles::Vehicle));
        answered = RequestAnswered();
    }
    if (!customerId.isEmpty() && answered) {
        UrlInfoCL = infoCLAddress(BaseHRef, idUser);
        DropConnection();
        HttpExecute(UrlInfoCL, ResponseFile(ResponseFiles::Customer));
        answered = RequestAnswered();
    }
    if (!answered) {
        // The response file still holds the answer before: the record stays as it is shown,
        // with what the user typed.
        RecordNotLoaded();
        return;
    }
    FlagNewEnreg = reloadsAsNew(vehicleId, customerId);
    FlagNewVehicle = false;
    UpdateTabDesc(0, 1);
    m_shownVehicleId = vehicleId;
    m_shownCustomerId = customerId;
    // The reservation and the toolbar must be the reloaded record's: the search list loads
    // its records here, and a record locked by its date hides the delete button.
    GetInfoReservation();
    TabsChange(Tabs);
    UpdateToolbar();
}
