#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

struct TXml;

// The toolbar commands on a whole record: new, delete, sweep, tab detail, and the lock.

// The warning of a record that may not be modified: the delivery-date lock when the user reaches
// the record by site, the plain refusal otherwise.
QString lockMessage(bool FlagSiteAccess, const QDate &OptLimiteDateVerrouVNVO);

// Page a new record of the kind caption opens on: "VO" 0, "VD" 1, "VN" 2, "CL" 6; -1 otherwise.
int newRecordPage(const QString &kindCaption);

// Customer id caption of a new customer.
inline const QString kNewCustomerId = QStringLiteral("-2");

// Site box of the kind caption: cSite, cVDSite, cVNSite or aSite.
QString siteControl(const QString &kindCaption);

struct SitePreselection
{
    int index = -1; // entry to select, -1: none
    QString value; // the entry upper-cased, the site field's CurrentValue
};

// The site offered for a new record: the entry equal to UserUS1 (ignoring case) when UserUS1 is
// set; otherwise, unless UserSite is "#", the entry found first within UserSite (the earlier
// entry on a tie).
SitePreselection preselectSite(const QStringList &entries, const QString &UserUS1,
                               const QString &UserSite);

// GetIdVO / GetIdClient: "idVO" of "tVO", "idClient" of "TVC"; empty when absent.
QString GetIdVO(const TXml &recordDoc);
QString GetIdClient(const TXml &recordDoc);

// The id a deletion may use: a positive whole number of a record that exists on the server.
// A new record shows an empty form over the previous record's document, so it has none.
QString deletionId(const QString &id, bool FlagNewEnreg);

// The three deletions of a vehicle, in order: photo links, costs, the vehicle. Each is sent
// only after the previous one succeeded.
QStringList vehicleDeleteStatements(const QString &idVO);
QString customerDeleteStatement(const QString &idClient);

// Cancelled new-vehicle orders without a buyer.
QString sweepStatement();

// Addresses of the record documents; the customer id travels as "&idClient=", added by the
// request itself.
QString infoVOAddress(const QString &BaseHRef, const QString &vehicleId, const QString &idUser);
QString infoCLAddress(const QString &BaseHRef, const QString &idUser);

// Whether the record a reload shows is still new: the customer id decides when it is set, else
// the vehicle id; 0, negative or unreadable is new. A new record typed after a reload must still
// be inserted, never sent as an update that matches no row.
bool reloadsAsNew(const QString &vehicleId, const QString &customerId);

// Detail a page loads the first time it is shown after a record load.
enum class PageDetail { None, Reservation, Costs, Photos, Actions, Vehicles };
PageDetail pageDetail(int pageIndex);
