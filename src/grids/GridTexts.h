#pragma once

#include <QDate>
#include <QString>

// What the grids say to the user.
namespace GridText {

inline const QString DeleteCostHint = QStringLiteral("pour supprimer ce Frevo");
inline const QString AddCostHint = QStringLiteral("pour ajouter un nouveau Frevo");
inline const QString DeleteActionHint = QStringLiteral("pour supprimer cette action");
inline const QString SaveActionHint = QStringLiteral("pour enregistrer cette nouvelle action");
inline const QString DeleteVehicleHint = QStringLiteral("pour supprimer ce véhicule");
inline const QString NewCostType = QStringLiteral("interne");

inline const QString CostDateTitle = QStringLiteral("Contrôle de la date Frevo");
inline const QString ActionDateTitle = QStringLiteral("Contrôle de la date Action");
inline const QString ReminderDateTitle = QStringLiteral("Contrôle de la date Relance");
inline const QString DeleteTitle = QStringLiteral("Confirmation de Suppression");

// A limit of 0 is written as no date at all.
inline QString limitText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

// La valeur du champ "DateFrevo" doit être comprise entre le "L" et le "U"
inline QString dateRange(const QString &field, const QDate &lower, const QDate &upper)
{
    return QStringLiteral(
                   "La valeur du champ \"%1\" doit être comprise entre le \"%2\" et le \"%3\"")
            .arg(field, limitText(lower), limitText(upper));
}

inline QString reminderAfter(const QDate &actionDate)
{
    return QStringLiteral("La valeur du champ \"DateRelance\" doit être supérieure au \"%1\"")
            .arg(limitText(actionDate));
}

inline QString deleteVehicle(const QString &plate, const QString &vehicle)
{
    return QStringLiteral("Veuillez confirmer la suppression de \"%1\" - \"%2\"")
            .arg(plate, vehicle);
}

// Said in the warning band when a reminder salesperson is missing from a new action.
inline const QString ReminderSalespersonMissing
        = QStringLiteral("Choisissez le vendeur de la relance avant d'enregistrer cette action");

} // namespace GridText
