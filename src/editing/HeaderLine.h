#pragma once

#include "editing/FieldText.h"

#include <QDate>
#include <QString>

#include <optional>

// The header line above the tabs and the titles that follow the record kind. Each header
// function answers the new text of its edit, or nothing when the kind leaves it unchanged.

struct HeaderInput
{
    QString RecordKind; // "_TVO", "_TVD", "_TVN", "_TCL"
    FieldText text; // texts of the form's controls
    PhoneFormat FormatPhone;
    QDate today; // unreadable dates count as today
    QDate ServerNow; // end of the stock period of a vehicle not yet ordered
    bool FlagLoading = false; // the day counts are not computed while a tab is filled
};

std::optional<QString> infoNVOText(const HeaderInput &in); // setInfoNVO
std::optional<QString> infoTitreText(const HeaderInput &in); // setInfoTitre
std::optional<QString> infoField1Text(const HeaderInput &in); // setInfoField1
std::optional<QString> infoField2Text(const HeaderInput &in); // setInfoField2
std::optional<QString> infoField3Text(const HeaderInput &in); // setInfoField3

// "Dravik - " + kind + " N°" + stock number + " - " + title.
QString windowCaption(const QString &RecordKind, const QString &infoNVO, const QString &infoTitre);

QString applicationTitle(const QString &RecordKind);

// Icon resource of the kind: "ICOCLARIM" for customers, "ICODRAVIK" otherwise.
QString iconName(const QString &RecordKind);

// Font size of xcInfoField1: 12, or for customers by the length of the e-mail shown.
int emailFontSize(const QString &RecordKind, const QString &email);

// Whole days between the entry date and the order date, or the server date while not ordered;
// 0 without an entry date. Unreadable dates count as today; the count is never negative.
int daysInStock(const QString &entryText, const QString &orderText, const QDate &ServerNow,
                const QDate &today);

// Whole days between the order date (today when unreadable) and the invoice date, else the
// first registration, each read with the order date as fallback.
int daysToDelivery(const QString &orderText, const QString &invoiceText, const QString &mecText,
                   const QDate &today);

// "n jours".
QString daysText(int days);
