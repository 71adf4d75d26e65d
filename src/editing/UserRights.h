#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

struct TXml;

// The user's group tokens from "GNames": ";" + the upper-cased "GName" with every "USER_"
// removed + ";". A name that comes out empty gives no token.
QStringList groupTokens(const TXml &recordDoc);

// True when group rights are in force (flagRights) and one of the user's tokens occurs in the
// group list (";COMPTA;", ";SVO;RVO;"). The groups are read afresh from the document.
bool GetDataRights(const TXml &recordDoc, bool flagRights, const QString &groupList);

// What the rights of a record depend on besides the documents.
struct RightsInput
{
    QString UserSite; // the user's site list; "#" reaches every site
    QString idUser;
    QString RecordKind;
    bool FlagNewEnreg = false;
    QDate OptLimiteDateVerrouVNVO; // null: no lock date
};

struct RecordRights
{
    QString RecordSite; // "Site", upper-cased
    QString RecordOwner; // "idOwner", upper-cased
    QString NomImage; // read only for a reachable vehicle that is not new
    bool LockedByDate = false;
    bool FlagSiteAccess = false;
    bool FlagModifiable = false;
    bool FlagRights = false;
    bool RightCompta = false;
    bool RightClarim = false;
    bool RightAdmin = false;
};

// Site access, the delivery-date lock and the derived rights of one record. recordElement is a
// cursor with the record element selected; recordDoc holds "GNames".
RecordRights computeRecordRights(const TXml &recordDoc, const TXml &recordElement,
                                 const RightsInput &input);

// The guarantee fields, set after all fields: editable for accounting users, and for the SVO or
// RVO groups while the guarantee has no validation date.
bool guaranteeFieldsEnabled(bool rightCompta, bool svoRvo, const QString &validationDate);
inline const QString kGuaranteeGroups = QStringLiteral(";SVO;RVO;");
inline const QStringList kGuaranteeFields
        = {QStringLiteral("cTypeGarantie"), QStringLiteral("cDureeGarantie"),
           QStringLiteral("cPrixGarantie"), QStringLiteral("cMtComIntermediaire")};
