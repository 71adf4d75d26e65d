#pragma once

#include "engine/RecordDocument.h"

#include <QDate>
#include <QString>

#include <optional>

// Date checks made when the user leaves a date field, and the date-driven texts of the
// new-vehicle order.

// Limits of a date; a null date means no limit on that side.
struct DateLimits
{
    QDate lower;
    QDate upper;
};

// The field being left, as TestDateChange sees it.
struct DateField
{
    QString text; // the control's text
    bool described = false; // the control carries a descriptor (tag not 0)
    QString LoadedValue;
    QString label; // fieldLabel() of the descriptor
};

struct DateDecision
{
    bool refused = false; // the focus goes back into the field
    QString message; // warning titled DateCheckTitle; empty: no box
    bool restoreLoaded = false; // the control's text goes back to LoadedValue
};

// TestDateChange's decision. The value as loaded always passes; a refused non-empty date of a
// described field gets the message and is put back; an emptied or unreadable date is refused
// by a lower limit without a message and stays as typed.
DateDecision TestDateChange(const DateField &field, const DateLimits &limits);

// Where the limits of a checked date field come from.
enum class LimitSource {
    None,
    ServerNow,
    OptLimiteDateDeb,
    OptNow,
    VehicleStart, // vDateOrdre, or vMEC when that is empty
    AdultBirth, // workstation today minus 18 years
};

struct DateLimitRule
{
    LimitSource lower = LimitSource::None;
    LimitSource upper = LimitSource::None;
};

// The limits of a date field checked on leaving it; none for other controls.
std::optional<DateLimitRule> dateLimitRule(const QString &controlName);

// What the limit sources read.
struct LimitDates
{
    OptionDates options; // OptLimiteDateDeb, OptNow, ServerNow
    QString vehicleOrderText; // text of vDateOrdre
    QString vehicleMecText; // text of vMEC
    QDate today; // workstation clock
};

DateLimits resolveLimits(const DateLimitRule &rule, const LimitDates &dates);

// The week label of a manufacturing date ("2024s01"): weeks start on Sunday and the days before
// the first Sunday are week 00. Empty text gives an empty label; unreadable text reads as
// 01/01/1900.
QString weekLabel(const QString &text);

// cVNDateFacture copies itself into cVNDateAchat when it is a valid date that differs.
std::optional<QString> purchaseDateFromInvoice(const QString &invoiceText,
                                               const QString &purchaseText);

// cVNControlChange: a field that differs from its loaded value stamps the order's update date
// with the server date.
std::optional<QString> orderUpdateStamp(const QString &LoadedValue, const QString &CurrentValue,
                                        const QDate &ServerNow);
