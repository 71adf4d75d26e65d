// Record layout and filling: UpdateTabDesc reads who the user is and what record is shown,
// describes the tabs of its kind, refreshes the tabs built before and builds the new ones,
// binding each field to its design control or creating one, then ends with the header line.
#include "ui/TAxDravik.h"

#include "engine/FieldLayout.h"
#include "engine/Kinds.h"
#include "engine/RecordKind.h"
#include "engine/StructEntry.h"
#include "engine/TabStructure.h"
#include "engine/TextRules.h"
#include "gateway/ResponseFiles.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QSignalBlocker>
#include <QTabWidget>

#include <optional>

namespace {

const QString kNewCustomerFromVehicle = QStringLiteral("-1");

// Record number and site of each vehicle kind: locked while the vehicle has a main photo.
struct NumberAndSite
{
    const QString &kind;
    const char *number;
    const char *site;
};
const NumberAndSite kNumberAndSite[] = {
        {RecordKinds::Used, "cNVO", "cSite"},
        {RecordKinds::Demonstration, "cVDNVO", "cVDSite"},
        {RecordKinds::NewOrder, "cVNNVO", "cVNSite"},
};

} // namespace

int TAxDravik::TagOf(const QObject *control)
{
    return control ? control->property("Tag").toInt() : 0;
}

void TAxDravik::SetTag(QObject *control, int tag)
{
    control->setProperty("Tag", tag);
}

TsDesc *TAxDravik::DescOf(const QObject *control)
{
    const int tag = TagOf(control);
    if (tag == 0)
        return nullptr;
    const int tab = tabOfTag(tag);
    const int index = indexOfTag(tag);
    if (tab < 0 || tab >= int(TabDesc.size()) || index >= int(TabDesc[tab].Descs.size()))
        return nullptr;
    return &TabDesc[tab].Descs[index];
}

FieldContext TAxDravik::FieldContextFor(int tab, const XmlItemIndex *record)
{
    FieldContext ctx;
    ctx.record = record;
    ctx.useDefaults = FlagNewEnreg || (FlagNewVehicle && tab == TabNumbers::CustomerVehicles);
    ctx.today = m_loadDate;
    ctx.vehicleFound = VehicleFound;
    ctx.groupRight = [this](const QString &tagList) {
        return GetDataRights(tagList);
    };
    ctx.trace = [this](const QString &line) {
        TraceLog(line);
    };
    return ctx;
}

QWidget *TAxDravik::FieldParent(int tab, bool onPanelCompta) const
{
    return onPanelCompta ? static_cast<QWidget *>(PanelCompta) : TabDesc[tab].Page;
}

void TAxDravik::LoadRecordDocuments(int reload)
{
    RecordDoc.clear();
    const QString customerId = LbIDCustomer->text();
    if (!customerId.isEmpty() && customerId != kNewCustomerFromVehicle) {
        const QString file = ResponseFile(ResponseFiles::Customer);
        if (QFile::exists(file)) {
            CustomerDoc.setDoc(ResponseText(file));
            RecordDoc.setDoc(CustomerDoc.Doc);
        } else {
            // No vehicles of a customer shown before under this one.
            CustomerDoc.clear();
        }
    } else if (const QString file = ResponseFile(ResponseFiles::Vehicle); QFile::exists(file)) {
        RecordDoc.setDoc(ResponseText(file));
    }
    if (reload) {
        EquipDoc.setDoc(ResponseText(ResponseFile(ResponseFiles::Equip)));
        StructDoc.setDoc(ResponseText(ResponseFile(ResponseFiles::Struct)));
        Choices.reset(); // made again from the new lists when first asked
        StructEntries = readStructEntries(StructDoc);
        FirstTab = 0;
    }
}

void TAxDravik::UpdateTabDesc(int reload, int describe)
{
    TraceLog(QStringLiteral("dans UpdateTabDesc : 1"));
    m_loadDate = clock().now().date(); // "now" of every default of this load
    QLocale::setDefault(QLocale::c());
    Panel1->hide();
    LoadRecordDocuments(reload);

    TraceLog(QStringLiteral("dans UpdateTabDesc : 2"));
    const UserInfo user = readUserInfo(RecordDoc);
    UserConcession = user.UserConcession;
    UserSite = user.UserSite;
    UserName = user.UserName;
    UserUS1 = user.UserUS1;
    readOptionDates(RecordDoc, OptDates);

    const QString customerId = LbIDCustomer->text();
    const RecordKindDecision kind = decideRecordKind(RecordDoc, customerId, idTypeVO);
    RecordKind = kind.RecordKind;
    RecordElement = kind.RecordElement;
    if (RecordKind != RecordKinds::Customer)
        TypeVO = kind.TypeVO;
    XmlOpen(RecordDoc, RecordElement);

    const QString kindText = kindCaption(RecordKind);
    JvXPBtnNewVO->setCaption(kindText);
    const HeaderColors colors = headerColorsFor(RecordKind);
    for (HeaderEdit *edit :
         {xcInfoNVO, xcInfoTitre, xcIdentity, xcInfoField1, xcInfoField2, xcInfoField3}) {
        // Customers have no text colour of their own: each edit keeps its design one
        // (the identity line its fuchsia).
        const QColor text = colorFromTColor(colors.text);
        edit->setColors(colorFromTColor(colors.background),
                        text.isValid() ? text : edit->property(kDesignTextColor).value<QColor>());
    }
    // Emptied: what the end of the load does not write again is cleared there.
    m_headerEmptied
            = {xcInfoNVO, xcInfoTitre, xcIdentity, xcInfoField1, xcInfoField2, xcInfoField3};
    for (const char *counter : {"DblNom", "DblIdent", "DblTelDom", "DblMobile"}) {
        if (QWidget *w = Control(QLatin1String(counter)))
            w->setVisible(FlagNewEnreg);
    }
    xcIdentity->setVisible(RecordKind == RecordKinds::Customer);

    const RecordHead head = readRecordHead(RecordDoc);
    Frevo = head.Frevo;
    if (!head.RecordId.isEmpty())
        LbIdTVO->setText(head.RecordId);
    JvXPBtnNewVehicle->setEnabled(kindText == KindCaptions::Customer && readInt(customerId) > 0);
    JvXPBtnPrint->setEnabled((kindText != KindCaptions::NewOrder && !head.RecordId.isEmpty())
                             || kindText == KindCaptions::Customer);

    TXml record = selectElement(RecordDoc, RecordElement);
    TraceLog(QStringLiteral("on UpdateTabDesc : ") + QString::number(idTypeVO)
             + QStringLiteral(" - ") + LbIdTVO->text());
    TraceLog(QStringLiteral("dans UpdateTabDesc : 3"));
    ApplyRecordRights(record);

    // A record of another company shows empty; its tabs are still described.
    if (head.Concession != UserConcession && !FlagNewEnreg) {
        record.clear();
        RecordDoc.clear();
        CustomerDoc.clear();
    }

    if (describe) {
        // Pages shown and selected by the program run no page-change handler.
        const QSignalBlocker quiet(Tabs);
        const DescribeOutcome outcome = describeTabs(StructEntries, RecordKind, TabDesc, FirstTab,
                                                     [this](const QString &l) { TraceLog(l); });
        for (int n = 1; n < int(TabDesc.size()); ++n) {
            const int page = Tabs->indexOf(TabDesc[n].Page);
            if (page < 0)
                continue;
            if (outcome.tabs[n].described)
                Tabs->setTabText(page, outcome.tabs[n].caption);
            Tabs->setTabVisible(page, outcome.tabs[n].described);
        }
        if (outcome.selectPageIndex >= 0)
            Tabs->setCurrentIndex(outcome.selectPageIndex);
        record = selectElement(RecordDoc, RecordElement);
    }

    // One index of the record's elements serves every tab that reads the record.
    const XmlItemIndex fields(record);
    for (int n = 0; n < int(TabDesc.size()); ++n)
        RefreshTab(n, fields);
    for (int n = 0; n < int(TabDesc.size()); ++n) {
        const TsPage &page = TabDesc[n];
        TraceLog(
                QStringLiteral("premier Ajout desc Onglet : %1 %2 %3")
                        .arg(QString::number(n), traceFlag(page.Described), traceFlag(page.Built)));
        if (!page.Described || page.Built)
            continue;
        if (n == TabNumbers::CustomerVehicles)
            BuildTab(n, selectElement(CustomerDoc, u"TVeh"));
        else if (n == TabNumbers::PurchasePlans)
            BuildTab(n, selectElement(RecordDoc, RecordElement));
        else
            BuildTab(n, fields);
    }
    EndTabDesc();
}

void TAxDravik::RefreshTab(int n, const XmlItemIndex &record)
{
    // The customer's vehicle and the whole record element are read through cursors of their own.
    std::optional<TXml> own;
    if (n == TabNumbers::CustomerVehicles) {
        const VehicleCursor vehicle = positionVehicleCursor(CustomerDoc, VehicleIndex);
        own = vehicle.cursor;
        VehicleFound = vehicle.VehicleFound;
    } else if (n == TabNumbers::PurchasePlans) {
        own = selectElement(RecordDoc, RecordElement);
    }
    TsPage &page = TabDesc[n];
    TraceLog(QStringLiteral("Trait. desc Onglet : %1 %2 %3")
                     .arg(QString::number(n), traceFlag(page.Described), traceFlag(page.Built)));
    if (!page.Described || !page.Built)
        return;
    TraceLog(QStringLiteral("p2 Traitement desc Onglet : %1").arg(n));
    const std::optional<XmlItemIndex> ownFields
            = own ? std::optional<XmlItemIndex>(*own) : std::nullopt;
    const FieldContext ctx = FieldContextFor(n, ownFields ? &*ownFields : &record);
    FlagLoading = true;
    for (int i = 0; i < int(page.Descs.size()); ++i) {
        if (FlagTrace)
            TraceLog(QStringLiteral("p3 Ajout desc Onglet : %1 - %2").arg(n).arg(i));
        TsDesc &d = page.Descs[i];
        FieldPlan plan;
        plan.fieldRight = refreshField(d, n, ctx);
        plan.geometry.width = d.Width;
        // Buttons and unknown kinds are left as they are; the control never made again.
        const ControlKindRule &rule = controlKindRule(d.tControl);
        if (d.Width != 0 && rule.refreshed && d.Control)
            SetupByRoutine(rule.designSetup, d.Control, n, i, plan);
        MarkLabel(page.Descs[i]);
    }
    FlagLoading = false;
    TestPageUpdate(n);
}

void TAxDravik::BuildTab(int n, const XmlItemIndex &record)
{
    TsPage &page = TabDesc[n];
    FlagLoading = true;
    const std::vector<FieldPlan> plans
            = planTabFields(StructEntries, page, n, FieldContextFor(n, &record));
    if (page.Descs.size() < plans.size())
        page.Descs.resize(plans.size());
    for (const FieldPlan &plan : plans) {
        page.Descs[plan.index] = plan.desc;
        BindField(n, plan);
        page.Descs[plan.index].Built = true;
    }
    FlagLoading = false;
    TestPageUpdate(n);
    page.Built = true;
}

void TAxDravik::BindField(int n, const FieldPlan &plan)
{
    const int i = plan.index;
    QWidget *parent = FieldParent(n, plan.onPanelCompta);
    if (!parent) {
        // Only pages 1 to 9 and the accounting panel hold fields; anything else stays a key
        // field instead of ending the load.
        TraceLog(QStringLiteral("champ sans page : %1 - %2").arg(n).arg(plan.desc.FieldName));
        MarkLabel(TabDesc[n].Descs[i]);
        return;
    }
    QWidget *found = parent->findChild<QWidget *>(plan.controlName, Qt::FindDirectChildrenOnly);
    const int tControl = plan.desc.tControl;
    if (found) {
        found->setVisible(plan.visible);
        const bool firstBinding = TagOf(found) == 0;
        SetupByRoutine(controlKindRule(tControl).designSetup, found, n, i, plan);
        if (labelWanted(true, firstBinding, tControl, plan.desc.txtInfo, plan.visible))
            CreateLabel(
                    n, plan,
                    labelRectForDesign(tControl, plan.geometry,
                                       {found->x(), found->y(), found->width(), found->height()}));
    } else if (plan.geometry.width != 0) {
        if (labelWanted(false, true, tControl, plan.desc.txtInfo, plan.visible))
            CreateLabel(n, plan, labelRectForCreated(tControl, plan.geometry));
        QWidget *made = SetupByRoutine(controlKindRule(tControl).createdSetup, nullptr, n, i, plan);
        // Hidden with its label by the field's visibility code.
        made->setVisible(plan.visible);
        if (QLabel *label = TabDesc[n].Descs[i].Label)
            label->setVisible(plan.visible);
    }
    MarkLabel(TabDesc[n].Descs[i]);
}

QWidget *TAxDravik::SetupByRoutine(SetupRoutine routine, QWidget *control, int tab, int index,
                                   const FieldPlan &plan)
{
    return routine ? (this->*routine)(control, tab, index, plan) : control;
}

void TAxDravik::CreateLabel(int n, const FieldPlan &plan, const PixelRect &rect)
{
    auto *label = new QLabel(plan.desc.txtInfo, FieldParent(n, plan.onPanelCompta));
    SetTag(label, controlTag(n, plan.index));
    label->adjustSize();
    label->setGeometry(rect.left, rect.top, label->width(), rect.height);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // As tall as its field, a list box's caption reaches over the list below it: a caption
    // never takes the clicks of the controls it overlaps.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->show();
    TabDesc[n].Descs[plan.index].Label = label;
}

void TAxDravik::MarkLabel(const TsDesc &d)
{
    if (!d.Label)
        return;
    const bool underline = mandatoryMark(d.NotNull, d.CurrentValue);
    if (d.Label->font().underline() != underline) {
        QFont font = d.Label->font();
        font.setUnderline(underline);
        d.Label->setFont(font);
    }
    setControlTextColor(d.Label, colorFromTColor(clBlack));
}

void TAxDravik::EndTabDesc()
{
    UpdateTVAetMarges();
    ApplyGuaranteeRights();
    const QString customerId = LbIDCustomer->text();
    if (customerId == kNewCustomerFromVehicle)
        FlagNewEnreg = HeaderText(xcInfoNVO).isEmpty();
    TraceLog(QStringLiteral("UpdateTabDesc FlagNewEnreg -> ") + traceFlag(FlagNewEnreg)
             + QStringLiteral(" - ") + HeaderText(xcInfoNVO) + QStringLiteral(" - ") + customerId);
    if (!xcIdentity->isHidden()) {
        ShowIdentity();
    } else {
        setInfoTitre();
        setInfoNVO();
        for (const NumberAndSite &k : kNumberAndSite) {
            if (RecordKind != k.kind)
                continue;
            // The photo lock only ever takes an edit away; it never grants one the rights
            // withheld.
            for (const char *name : {k.number, k.site}) {
                if (QWidget *w = Control(QLatin1String(name)))
                    setControlEditable(w, controlEditable(w) && NomImage.isEmpty());
            }
        }
        if (RecordKind == RecordKinds::Used) {
            if (QWidget *sheet = Control(QStringLiteral("czFeuilleMarge")))
                sheet->setEnabled(true);
        }
    }
    setInfoField1();
    setInfoField2();
    setInfoField3();
    for (HeaderEdit *edit : std::as_const(m_headerEmptied))
        edit->clear();
    m_headerEmptied.clear();
    HideSplash();
    LastModel.clear();
    if (RecordKind == RecordKinds::Demonstration)
        LastTypeVersion = FieldText(QStringLiteral("cVDInfoTypeVersion"));
    else if (RecordKind == RecordKinds::NewOrder)
        LastTypeVersion = FieldText(QStringLiteral("cVNInfoTypeVersion"));
}

QString TAxDravik::FieldText(const QString &controlName) const
{
    return controlText(Controls.value(controlName));
}
