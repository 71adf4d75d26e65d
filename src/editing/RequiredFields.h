#pragma once

#include "editing/FieldText.h"
#include "editing/TsLine.h"

#include <QDate>
#include <QString>

#include <optional>

// The required-field and consistency checks saving runs before it sends anything. A failure
// moves the focus and shows no message.

// Which flag a failed check answers as the result of the save.
enum class CheckAnswer { FlagNewEnreg, FlagNewVehicle };

struct RequiredFailure
{
    QString control; // control to put the focus into; empty: none (actions cell or no field)
    int actionRow = -1; // the actions grid cell to select (grid row, column), when row >= 0
    int actionColumn = 0;
    CheckAnswer answer = CheckAnswer::FlagNewEnreg;
};

// The save's answer after a failed check: the flag the check names.
inline bool checkAnswer(CheckAnswer answer, bool FlagNewEnreg, bool FlagNewVehicle)
{
    return answer == CheckAnswer::FlagNewEnreg ? FlagNewEnreg : FlagNewVehicle;
}

// Control-name prefix of a vehicle kind caption ("VO" "c", "VD" "cVD", "VN" "cVN").
QString vehiclePrefix(const QString &kindCaption);

// Vehicle records: stock number not 0, site, brand; model and type-version for orders; for used
// vehicles a destination once ordered, and a first registration not after the entry date
// (unreadable dates count as today).
std::optional<RequiredFailure> checkVehicleFields(const QString &kindCaption, const FieldText &text,
                                                  const QDate &today);

struct CustomerCheckInput
{
    int shownPage = 0; // page index of the shown tab
    bool ActionInsertMode = false;
    const TsLine *actionRow0 = nullptr; // element of grid row 0 of the actions grid, if any
    int vehicleRows = 0; // rows of the customer-vehicles grid
    QString customerId; // caption of LbIDCustomer
};

// Customer records: on the customer page the site, salesperson and name, then a new action's
// dates and comment; on the customer-vehicles page with rows, a saved customer and the
// vehicle's brand and model.
std::optional<RequiredFailure> checkCustomerFields(const CustomerCheckInput &in,
                                                   const FieldText &text);
