#pragma once

#include <QString>

// Texts of the report sheets and the test SMS, as the user and the server see them.
namespace ReportTexts {
inline const QString kCustomerReport = QStringLiteral("Fiche Clarim");
inline const QString kSalesReport = QStringLiteral(" - Fiche Commerciale");
inline const QString kMarginReport = QStringLiteral("VO - Feuille de Marge");
inline const QString kCustomerKey = QStringLiteral("idClient=");
inline const QString kVehicleKey = QStringLiteral("idVO=");

inline const QString kNoTicket
        = QStringLiteral("Rapport non ouvert : le serveur n'a pas délivré de ticket de rapport");
inline const QString kNoBrowser = QStringLiteral(
        "Rapport non ouvert : aucun navigateur n'a pu être lancé (commande BrowserCommand "
        "du fichier de paramètres ?)");

inline const QString kSmsNotConfigured = QStringLiteral(
        "SMS non envoyé : la passerelle (SmsGateway) ou le numéro de test (SmsTestNumber) "
        "manque dans le fichier de paramètres");
inline QString smsTooLong(qsizetype bytes)
{
    return QStringLiteral("SMS non envoyé : message trop long (%1 octets, 1023 au plus)")
            .arg(bytes);
}
inline const QString kSmsEmptyAnswer
        = QStringLiteral("SMS non confirmé : la passerelle n'a rien répondu");
inline const QString kSmsSuccess = QStringLiteral("telephonySmsSend successfull");
} // namespace ReportTexts
