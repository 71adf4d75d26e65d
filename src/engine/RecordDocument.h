#pragma once

#include "gateway/TXml.h"

#include <QDate>
#include <QString>

// What a load reads from the record document besides the field values.

// The "User" element; an absent element empties its field.
struct UserInfo
{
    QString UserConcession, UserSite, UserName, UserUS1;
};
UserInfo readUserInfo(const TXml &recordDoc);

// The option dates and the server date; a null date stands for 0 (no limit).
struct OptionDates
{
    QDate OptLimiteDateDeb, OptLimiteDateDebFrevo, OptLimiteDateDebClarim;
    QDate OptLimiteDateVerrouVNVO, OptNow, ServerNow;
};

// ServerNow follows the "Now" of every record document. The option dates are read only until
// they have been accepted (OptLimiteDateDeb not 0); they are rejected, all four and OptNow set
// to 0 to be read again at the next load, when a start limit lies after "Now".
void readOptionDates(const TXml &recordDoc, OptionDates &dates);

// Head of the record element: the cost summary, the record id ("idVO", then "idtVO" when
// present) and the record's company.
struct RecordHead
{
    QString Frevo, RecordId, Concession;
};
RecordHead readRecordHead(const TXml &recordElement);

// The customer vehicle shown on tab 8: the cursor on the vehicleIndex-th "TVeh" item (the last
// one when there are fewer), and VehicleFound: 1 with vehicles, 0 without, -1 while a new one
// is entered (vehicleIndex -1).
struct VehicleCursor
{
    TXml cursor;
    int VehicleFound = 0;
};
VehicleCursor positionVehicleCursor(const TXml &customerDoc, int vehicleIndex);

// A copy of doc with element selected.
TXml selectElement(const TXml &doc, QStringView element);
