#pragma once

#include "engine/TColor.h"

#include <QString>

struct TXml;

namespace RecordKinds {
inline const QString Used = QStringLiteral("_TVO");
inline const QString Demonstration = QStringLiteral("_TVD");
inline const QString NewOrder = QStringLiteral("_TVN");
inline const QString Customer = QStringLiteral("_TCL");
} // namespace RecordKinds

// The kind button's captions, the kind's short names.
namespace KindCaptions {
inline const QString Used = QStringLiteral("VO");
inline const QString Demonstration = QStringLiteral("VD");
inline const QString NewOrder = QStringLiteral("VN");
inline const QString Customer = QStringLiteral("CL");
} // namespace KindCaptions

// The tabs of the customer side, by number (pages 6, 7 and 8 of the window).
namespace TabNumbers {
constexpr int Customer = 7;
constexpr int CustomerVehicles = 8;
constexpr int PurchasePlans = 9;
} // namespace TabNumbers

struct RecordKindDecision
{
    QString RecordKind; // "_TVO", "_TVD", "_TVN" or "_TCL"
    QString RecordElement; // "tVO" for vehicles, "TVC" for customers
    QString TypeVO; // vehicle type of the record (empty for customers)
};

// A customer id makes a customer record; otherwise TypeVO "1" (or, when the record has none,
// idTypeVO 1) is a used vehicle, a record with a StatutVD opened with idTypeVO 3 a
// demonstration vehicle, anything else a new-vehicle order.
RecordKindDecision decideRecordKind(const TXml &recordDoc, const QString &customerId, int idTypeVO);

// "VO", "VD", "VN" or "CL": the kind button's caption and the kind's short name.
QString kindCaption(const QString &recordKind);

struct HeaderColors
{
    TColor background;
    TColor text; // -1 for customers: the edit's own disabled text colour
};

// Colours of the header line per record kind: blue for used vehicles, orders and customers,
// raspberry for demonstration vehicles.
HeaderColors headerColorsFor(const QString &recordKind);
