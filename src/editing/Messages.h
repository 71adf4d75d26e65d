#pragma once

#include <QString>

// Every text the editing subsystem shows to the user, and the small builders that assemble the
// composed ones. Q in the comments stands for one double-quote character.
namespace EditingText {

inline const QChar Q = QLatin1Char('"');

// Message box titles.
inline const QString DateCheckTitle = QStringLiteral("Contrôle de la date saisie");
inline const QString DeleteTitle = QStringLiteral("Confirmation de Suppression");
inline const QString AddTitle = QStringLiteral("Confirmation d'Ajout "); // trailing space kept
inline const QString DeleteDoneTitle = QStringLiteral("Fin de Suppression");
inline const QString AddDoneTitle = QStringLiteral("Fin d'Ajout");
inline const QString CancelledTitle = QStringLiteral("Action Annulée");

// Notices.
inline const QString DeleteDone = QStringLiteral("Suppression terminée");
inline const QString AddDone = QStringLiteral("Ajout terminé");
inline const QString VehicleIdMissing
        = QStringLiteral("L'identifiant du véhicule demandé n'a pas pu être restitué... ");
inline const QString CustomerIdMissing
        = QStringLiteral("L'identifiant du client demandé n'a pas pu être restitué... ");
inline const QString SweepQuestion
        = QStringLiteral("Veuillez confirmer la suppression des VN annulés sans CTM  ");

// Warning band texts.
inline const QString NotModifiable = QStringLiteral("Enregistrement non modifiable");
inline const QString NotModifiableByDate
        = QStringLiteral("Enregistrement non modifiable, Date Livraison antérieure au ");
// A save that got no id back for the record it created.
inline const QString NewIdMissing
        = QStringLiteral("L'identifiant du nouvel enregistrement n'a pas pu être restitué... ");

// The status line: what became of the data.
inline const QString Saved = QStringLiteral("Enregistré");
inline const QString NotAnswered
        = QStringLiteral("le serveur n'a pas répondu : l'enregistrement a peut-être été fait");
inline QString notSaved(const QString &reason)
{
    return QStringLiteral("Non enregistré : ") + reason;
}
inline QString required(const QString &label)
{
    return QStringLiteral("le champ ") + Q + label + Q + QStringLiteral(" est obligatoire");
}

// Leaving a record with changes not saved.
inline const QString PendingTitle = QStringLiteral("Modifications non enregistrées");
inline const QString PendingQuestion = QStringLiteral(
        "Des modifications n'ont pas été enregistrées. Voulez-vous les enregistrer ?");

// Header line and titles.
inline const QString CaptionPrefix = QStringLiteral("Dravik - ");
inline const QString CaptionNumber = QStringLiteral(" N°");
inline const QString TitleSeparator = QStringLiteral(" - ");
inline const QString HorsePower = QStringLiteral(" cv - ");
inline const QString Kilometres = QStringLiteral(" kms");
inline const QString Days = QStringLiteral(" jours");
inline const QString AppTitleDravik = QStringLiteral("Saisie des Fiches Dravik");
inline const QString AppTitleClarim = QStringLiteral("Saisie des Fiches Clarim");

// "La valeur du champ " + Q + label + Q + " ": the start of every field message.
inline QString fieldValue(const QString &label)
{
    return QStringLiteral("La valeur du champ ") + Q + label + Q + QLatin1Char(' ');
}

inline QString quoted(const QString &text)
{
    return Q + text + Q;
}

// The refusal of a date outside its limits; dates written "dd/mm/yyyy", an empty one meaning
// no limit on that side.
inline QString dateOutOfLimits(const QString &label, const QString &lower, const QString &upper)
{
    QString text = fieldValue(label);
    if (!lower.isEmpty() && !upper.isEmpty())
        text += QStringLiteral("doit être comprise entre le ") + quoted(lower)
                + QStringLiteral(" et le ") + quoted(upper);
    else if (!upper.isEmpty())
        text += QStringLiteral("doit être inférieure au ") + quoted(upper);
    else if (!lower.isEmpty())
        text += QStringLiteral("doit être supérieure au ") + quoted(lower);
    return text;
}

// A value that cannot be written for its field (a date typed half-way, a number with letters).
inline QString invalidValue(const QString &label)
{
    return fieldValue(label) + QStringLiteral("n'est pas valide");
}

inline QString vehicleDeleteQuestion(const QString &kindCaption, const QString &stockNumber)
{
    return QStringLiteral("Veuillez confirmer la suppression du ") + kindCaption
            + QStringLiteral(" n°") + stockNumber;
}

inline QString customerDeleteQuestion(const QString &name, const QString &firstName)
{
    return QStringLiteral("Veuillez confirmer la suppression du client ")
            + quoted(name + QLatin1Char(' ') + firstName);
}

// "la valeur '" + text + "' pour le champ '" + list + "'".
inline QString listValueDescription(const QString &text, const QString &listName)
{
    return QStringLiteral("la valeur '") + text + QStringLiteral("' pour le champ '") + listName
            + QLatin1Char('\'');
}

inline QString listDeleteQuestion(const QString &description)
{
    return QStringLiteral("Veuillez confirmer la suppression de ") + description;
}

inline QString listAddQuestion(const QString &description)
{
    return QStringLiteral("Veuillez confirmer l'ajout de ") + description;
}

} // namespace EditingText
