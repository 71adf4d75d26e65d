// Price, VAT, margin and payment computations, run after the change of a field they read.
// The arithmetic is in grids/Computations.h; these members read the screen and write back.
#include "ui/TAxDravik.h"

#include "editing/ComboLists.h"
#include "engine/TextRules.h"
#include "grids/Computations.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/TextControl.h"

#include <QFrame>

namespace {

void writeDate(QWidget *control, const QDate &date)
{
    if (control)
        setControlText(control, date.isValid() ? formatDate(date) : QString());
}

} // namespace

void TAxDravik::UpdateCumulFrevo()
{
    std::vector<CostLine> costs;
    for (size_t k = 1; k < FrevoRows.size(); ++k) {
        const TsLine &row = FrevoRows[k];
        costs.push_back(
                {row.Cols[7].CurrentValue, row.Cols[2].CurrentValue, row.Cols[8].CurrentValue});
    }
    const CostTotals t
            = costTotals(costs, FieldText(QStringLiteral("cDateLivraison")), clock().now());
    const auto write = [this](const char *name, long double total) {
        setControlText(Control(QLatin1String(name)), totalText(total));
    };
    write("cFrevo", t.all);
    write("cFrevoFixe", t.fixe);
    write("cFrevoInterne", t.interne);
    write("cFrevoExterne", t.externe);
    write("cFrevoPrevision", t.prevision);
    Frevo = FieldText(QStringLiteral("cFrevo"));
    UpdateTVAetMarges();
    write("cFrevoTotFDM", t.allFdm);
    write("cFrevoFixeFDM", t.fixeFdm);
    write("cFrevoIntFDM", t.interneFdm);
    write("cFrevoExtFDM", t.externeFdm);
    write("cFrevoPrevFDM", t.previsionFdm);
}

void TAxDravik::UpdateTVAetMarges()
{
    if (FlagLoading)
        return;
    UpdateSoldeVN();
    UpdateDateEcheanceTresorerie();
    MarginInput in;
    in.costsTotal = Frevo;
    auto *mode = Control<QComboBox>(QStringLiteral("cModeTVA"));
    if (!mode || mode->count() == 0) {
        setControlText(Control(QStringLiteral("cTotFrevo")), costsTotalText(Frevo));
        return;
    }
    in.sellingPrice = FieldText(QStringLiteral("cPrixVente"));
    in.tradeInPrice = FieldText(QStringLiteral("cPrixReprise"));
    in.tpvo = FieldText(QStringLiteral("cTPVO"));
    in.guaranteePrice = FieldText(QStringLiteral("cPrixGarantie"));
    in.secondVatMode = mode->currentIndex() == 1;
    const Margins m = margins(in);
    setControlText(Control(QStringLiteral("cTotFrevo")), m.totalCosts);
    setControlText(Control(QStringLiteral("ccTVA")), m.vat);
    setControlText(Control(QStringLiteral("cMBrute")), m.grossMargin);
    setControlText(Control(QStringLiteral("cMNette")), m.netMargin);
}

void TAxDravik::UpdateSoldeVN()
{
    QWidget *balance = Control(QStringLiteral("cVNSolde"));
    if (!balance)
        return;
    const QString text = orderBalance(FieldText(QStringLiteral("cVNPrixVente")),
                                      FieldText(QStringLiteral("cVNVFinancement")),
                                      FieldText(QStringLiteral("cVNReprPrix")),
                                      FieldText(QStringLiteral("cVNMontantAcompte")));
    // Written only when it differs: an equal text would record a change for nothing.
    if (controlText(balance) != text)
        setControlText(balance, text);
}

void TAxDravik::UpdateDateEcheanceTresorerie()
{
    if (FlagLoading)
        return;
    const auto date = [this](const char *name) {
        return parseDate(FieldText(QLatin1String(name)));
    };
    OrderDates d;
    d.delivery = date("cVNDateLivraison");
    d.availability = date("cVNDateDisponibilite");
    d.declaredDelivery = date("cVNDateDeclareLivre");
    d.due = date("cVNDateEcheance");
    d.purchase = date("cVNDateAchat");
    const auto writeIfChanged = [this](const char *name, const QDate &value) {
        QWidget *control = Control(QLatin1String(name));
        if (control && parseDate(controlText(control)) != value)
            writeDate(control, value);
    };
    writeIfChanged("cVNDateEchTresorerie", treasuryDueDate(d));
    const QStringList delays = parsGroup(ChoiceLists(), QStringLiteral("TypeFinancementDelai"))
                                       .value_or(QStringList());
    writeIfChanged("cVNDateEchReglement",
                   settlementDueDate(d, FieldText(QStringLiteral("cVNTypeFinancement")), delays,
                                     FieldText(QStringLiteral("cVNDestination"))));
}

void TAxDravik::LbPanelComptaClick(QWidget *)
{
    if (!PanelCompta)
        return;
    const QRect r = PanelCompta->geometry();
    const PanelGeometry next = foldedOrUnfolded({r.top(), r.height()});
    PanelCompta->setGeometry(r.left(), next.top, r.width(), next.height);
}

// The change handlers of the fields the computations read: each is a row of the reaction
// table (record, compute, header), kept callable by its name.
void TAxDravik::cModeTVAChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cModeTVAChange"));
}

void TAxDravik::cTPVOChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cTPVOChange"));
}

void TAxDravik::cPrixVenteChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cPrixVenteChange"));
}

void TAxDravik::cPrixRepriseChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cPrixRepriseChange"));
}

void TAxDravik::cPrixGarantieChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cPrixGarantieChange"));
}

void TAxDravik::cVNMontantAchatChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNMontantAchatChange"));
}

void TAxDravik::cVNDateAchatChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNDateAchatChange"));
}

void TAxDravik::cVNSituationAchatChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNSituationAchatChange"));
}

void TAxDravik::cVNTypeFinancementChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNTypeFinancementChange"));
}

void TAxDravik::cVNDestinationChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNDestinationChange"));
}

void TAxDravik::cVNDateOrdreChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNDateOrdreChange"));
}

void TAxDravik::cVNMECChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNMECChange"));
}

void TAxDravik::cVNTypeFinancementDelaiChange(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNTypeFinancementDelaiChange"));
}

void TAxDravik::cVNDateEch(QWidget *Sender)
{
    ReactAs(Sender, QStringLiteral("cVNDateEcheanceChange"));
}
