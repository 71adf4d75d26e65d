// List cascades and version text: what a field change refills (dependent lists, the version
// memo) and the special duties of some fields (remembered site, customer site, week label,
// invoice date).
#include "ui/TAxDravik.h"

#include "editing/DateCheck.h"
#include "editing/FieldReactions.h"
#include "editing/ListBoxLists.h"
#include "editing/VersionText.h"
#include "engine/TextRules.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/MultiListBox.h"
#include "ui/widgets/TextControl.h"

#include <QLabel>
#include <QSignalBlocker>

void TAxDravik::UpdateCBox(QWidget *combo, const QString &filter, const QString &textElement,
                           const QString &filterElement, const QString &item)
{
    auto *box = qobject_cast<ComboBox *>(combo);
    if (!box || !DescOf(box))
        return;
    // A parent with no group leaves the dependent box as it was.
    const auto group = dependentGroup(ChoiceLists(), filter, textElement, filterElement, item);
    if (!group)
        return;
    // Emptying the text is the one change of the dependent box: its own handler records it.
    // The new entries come in silently, so that no passing entry reaches that handler.
    box->setEntries(box->entries(), -1);
    const QSignalBlocker quiet(box);
    box->setEntries(*group, -1);
}

void TAxDravik::UpdateVersion(QWidget *memo, QWidget *model, QWidget *typeVersion)
{
    const TsDesc *m = DescOf(model);
    if (!memo || !m)
        return;
    const VersionBox modelBox {true, controlText(model), m->LoadedValue};
    VersionBox typeBox;
    if (typeVersion) {
        const TsDesc *t = DescOf(typeVersion);
        typeBox = {t != nullptr, controlText(typeVersion), t ? t->LoadedValue : QString()};
    }
    const QString before = controlText(memo);
    const VersionMemo after = ::UpdateVersion({before, LastModel, LastTypeVersion}, modelBox,
                                              typeVersion ? &typeBox : nullptr);
    LastModel = after.LastModel;
    LastTypeVersion = after.LastTypeVersion;
    // The memo's own change handler records the new text.
    if (after.memo != before)
        setControlText(memo, after.memo);
}

void TAxDravik::UpdateLBox(QWidget *listBox, bool siteBrands)
{
    auto *box = qobject_cast<MultiListBox *>(listBox);
    TsDesc *d = DescOf(box);
    if (!box || !d)
        return;
    const ListBoxFill fill = FillListBoxModels(ChoiceLists(), FieldText(QStringLiteral("aSite")),
                                               siteBrands, d->CurrentValue);
    d->CodeList = fill.CodeList;
    box->setEntries(fill.entries, fill.selectedRows);
}

void TAxDravik::FieldCascades(QWidget *Sender, const FieldReaction &reaction)
{
    if (reaction.dependent) {
        const DependentList &list = *reaction.dependent;
        UpdateCBox(Control(list.combo), controlText(Sender), list.textElement, list.filterElement,
                   list.item);
    }
    if (reaction.version) {
        const VersionUpdate &v = *reaction.version;
        UpdateVersion(Control(v.memo), Control(v.model),
                      v.typeVersion.isEmpty() ? nullptr : Control(v.typeVersion));
    }
}

void TAxDravik::FieldDuty(QWidget *Sender, const FieldReaction &reaction)
{
    switch (reaction.duty) {
    case SpecialDuty::None:
    case SpecialDuty::TraceStockNumber: // traced before recording
        break;
    case SpecialDuty::RememberSite:
        UserUS1 = controlText(Sender);
        break;
    case SpecialDuty::CustomerSite: {
        RecordSite = controlText(Sender);
        if (auto *actions = Control<DataGrid>(QStringLiteral("ngAction"))) {
            for (const char *column : {"idCom", "idComRelance"}) {
                const int c = actions->columnIndex(QLatin1String(column));
                if (c >= 0)
                    LoadInfoNxComboBoxColumn(QStringLiteral("InfoCom"), actions, c);
            }
        }
        LoadInfoNxComboBox(QStringLiteral("InfoCom"), Control<ComboBox>(QStringLiteral("aidCom")));
        UpdateLBox(Control(QStringLiteral("cPAPAChoix1")), true);
        UpdateLBox(Control(QStringLiteral("cPAPAChoix2")), false);
        break;
    }
    case SpecialDuty::WeekLabel:
        if (auto *label = Control<QLabel>(QStringLiteral("LbDateFabrication"))) {
            label->setText(weekLabel(controlText(Sender)));
            label->show();
        }
        break;
    case SpecialDuty::PurchaseDate: {
        // A purchase date also becomes the invoice date.
        const QString purchase = controlText(Sender);
        if (purchase != FieldText(QStringLiteral("cVNDateFacture"))
            && parseDate(purchase).isValid())
            setControlText(Control(QStringLiteral("cVNDateFacture")), purchase);
        break;
    }
    case SpecialDuty::InvoiceDate: {
        UpdateDateEcheanceTresorerie();
        const QString purchase = FieldText(QStringLiteral("cVNDateAchat"));
        if (const auto copied = purchaseDateFromInvoice(controlText(Sender), purchase))
            setControlText(Control(QStringLiteral("cVNDateAchat")), *copied);
        break;
    }
    }
}
