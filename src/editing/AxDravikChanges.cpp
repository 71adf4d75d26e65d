// Change detection: an edit records the field's new value and recomposes its tab's pending
// statement, which drives the save and new-record buttons; the lock test swallows every
// change of a record that may not be modified.
#include "ui/TAxDravik.h"

#include "editing/DateCheck.h"
#include "editing/FieldReactions.h"
#include "editing/Messages.h"
#include "editing/PageStatement.h"
#include "editing/RecordCommands.h"
#include "engine/TextRules.h"
#include "gateway/SqlText.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QFrame>
#include <QLabel>

bool TAxDravik::GoTestVerrou()
{
    if (FlagModifiable)
        return true;
    // The message stands in the label without the red band.
    LbDebugInfo0->setText(lockMessage(FlagSiteAccess, OptDates.OptLimiteDateVerrouVNVO));
    PanelWarning->hide();
    return false;
}

void TAxDravik::GoOnKeyDown(QWidget *, KeyArgs &Key)
{
    if (!GoTestVerrou())
        Key.handled = true;
}

void TAxDravik::GoOnKeyPress(QWidget *, KeyArgs &Key)
{
    if (!GoTestVerrou())
        Key.handled = true;
}

void TAxDravik::EditChange(QWidget *Sender)
{
    if (FlagLoading || !GoTestVerrou())
        return;
    TsDesc *d = DescOf(Sender);
    if (!d)
        return;
    d->CurrentValue = editValue(d->tInfo, controlText(d->Control ? d->Control : Sender));
    TestPageUpdate(tabOfTag(TagOf(Sender)));
}

bool TAxDravik::RecordChange(QWidget *Sender, bool asList)
{
    if (FlagLoading)
        return false;
    if (asList)
        CBoxChange(Sender);
    else
        EditChange(Sender);
    return true;
}

bool TAxDravik::TestPageUpdate(int tab)
{
    if (FlagLoading || tab < 0 || tab >= int(TabDesc.size()))
        return false;
    StatementContext ctx;
    ctx.insert = insertMode(FlagNewEnreg, FlagNewVehicle, tab);
    ctx.table = statementTable(TabDesc[0].tag, tab);
    ctx.tab = tab;
    ctx.RecordKind = RecordKind;
    ctx.TypeVO = TypeVO;
    ctx.idTypeVO = idTypeVO;
    ctx.customerId = LbIDCustomer->text();
    ctx.idUser = idUser;
    ctx.UserConcession = UserConcession;
    if (ctx.insert) // stamps the creation of a new customer
        ctx.today = clock().now().date();
    const PageStatement statement = composePageStatement(TabDesc[tab].Descs, ctx);
    TabDesc[tab].PendingSql = statement.PendingSql;
    LbDebugInfo2->setText(statement.PendingSql);
    JvXPBtnSave->setEnabled(!statement.PendingSql.isEmpty());
    JvXPBtnNewVO->setEnabled(!JvXPBtnSave->isEnabled());
    RefreshCaption();
    // A new change makes the last save's word stale.
    if (!statement.PendingSql.isEmpty() && LbStatus->text() == EditingText::Saved)
        ShowStatus(QString());
    return statement.changed;
}

void TAxDravik::cVNControlChange(QWidget *Sender)
{
    // New-vehicle-order fields stamp the order's update date once they differ.
    const TsDesc *d = DescOf(Sender);
    if (!d || !RecordChange(Sender, d->tControl != ControlKind::Edit))
        return;
    if (const auto stamp = orderUpdateStamp(d->LoadedValue, d->CurrentValue, OptDates.ServerNow))
        setControlText(Control(QStringLiteral("cVNDateUpdateCde")), *stamp);
}

void TAxDravik::FieldChange(QWidget *Sender)
{
    if (!Sender)
        return;
    if (const FieldReaction *reaction = fieldReaction(HandlerOf(Sender, QStringLiteral("Change"))))
        React(Sender, *reaction);
    else
        RecordChange(Sender, qobject_cast<ComboBox *>(Sender) != nullptr);
}

void TAxDravik::ReactAs(QWidget *Sender, const QString &handlerName)
{
    if (const FieldReaction *reaction = fieldReaction(handlerName))
        React(Sender, *reaction);
}

void TAxDravik::React(QWidget *Sender, const FieldReaction &reaction)
{
    if (FlagLoading || !Sender)
        return;
    if (reaction.duty == SpecialDuty::TraceStockNumber)
        TraceLog(QStringLiteral("dans cNVOChange ") + controlText(Sender));
    switch (reaction.recording) {
    case Recording::List:
        CBoxChange(Sender);
        break;
    case Recording::Edit:
        EditChange(Sender);
        break;
    case Recording::OrderField:
        cVNControlChange(Sender);
        break;
    }
    FieldCascades(Sender, reaction);
    switch (reaction.computation) {
    case Computation::None:
        break;
    case Computation::TVAetMarges:
        UpdateTVAetMarges();
        break;
    case Computation::SoldeVN:
        UpdateSoldeVN();
        break;
    case Computation::DateEcheanceTresorerie:
        UpdateDateEcheanceTresorerie();
        break;
    }
    if (reaction.header & HeaderNVO)
        setInfoNVO();
    if (reaction.header & HeaderTitre)
        setInfoTitre();
    if (reaction.header & HeaderField1)
        setInfoField1();
    if (reaction.header & HeaderField2)
        setInfoField2();
    if (reaction.header & HeaderField3)
        setInfoField3();
    if (reaction.identity)
        ShowIdentity();
    FieldDuty(Sender, reaction);
    if (!reaction.duplicate.isEmpty())
        setDblChange(reaction.duplicate);
}
