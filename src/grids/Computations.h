#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

// The amounts and dates the client computes from what the screen shows: the costs totals, the
// VAT and margins of a used vehicle, the balance and due dates of a new-vehicle order. Pure
// functions over texts; numbers are read with "." ("0" when unreadable), results written
// "0.00".

// A number as a field shows it; unreadable text counts as 0.
long double amountOf(const QString &text);
// "0.00", never "-0.00".
QString formatAmount(long double value);

// One cost as the grid holds it.
struct CostLine
{
    QString type; // TypeFrevo
    QString date; // DateFrevo, "dd/mm/yyyy"
    QString amount; // MontantHT
};

struct CostTotals
{
    long double all = 0, fixe = 0, interne = 0, externe = 0, prevision = 0;
    // Costs dated before the first day of the month after delivery.
    long double allFdm = 0, fixeFdm = 0, interneFdm = 0, externeFdm = 0, previsionFdm = 0;
};

// Without a delivery date, or for a cost without a date, now stands in.
CostTotals costTotals(const std::vector<CostLine> &costs, const QString &deliveryText,
                      const QDateTime &now);
// A total as its control shows it: empty when exactly 0.
QString totalText(long double total);

// VAT and margins of a used vehicle.
struct MarginInput
{
    QString sellingPrice, tradeInPrice, tpvo, guaranteePrice; // cPrixVente, cPrixReprise...
    QString costsTotal; // the costs total text, blanks allowed
    bool secondVatMode = false; // the second item of the VAT mode is selected
};
struct Margins
{
    QString totalCosts, vat, grossMargin, netMargin; // cTotFrevo, ccTVA, cMBrute, cMNette
};
Margins margins(const MarginInput &in);
// cTotFrevo alone, for a VAT mode without items.
QString costsTotalText(const QString &costsTotal);

// cVNSolde: price less financing, trade-in and deposit.
QString orderBalance(const QString &price, const QString &financing, const QString &tradeIn,
                     const QString &deposit);

// The order's dates (null: no date).
struct OrderDates
{
    QDate delivery, availability, declaredDelivery, due, purchase;
};
// cVNDateEchTresorerie; null when there is none.
QDate treasuryDueDate(const OrderDates &d);
// cVNDateEchReglement from the delivery (or availability) date, the financing type and its
// delay list ("TypeFinancementDelai" items, "CREDIT : 45"), and the destination ("GROUPE":
// 30 days, end of month); null without a delivery or availability date.
QDate settlementDueDate(const OrderDates &d, const QString &financingType,
                        const QStringList &delayItems, const QString &destination);

// The accounting panel folds to its caption line and unfolds, its bottom edge in place.
struct PanelGeometry
{
    int top = 0, height = 0;
};
PanelGeometry foldedOrUnfolded(PanelGeometry panel);
