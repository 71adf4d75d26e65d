#pragma once

// Every text the server writes into a "LogItem" (French, as the user reads it), in one place.

#include <string>
#include <string_view>

namespace dravik::server::msg {

inline std::string join(std::string_view a, std::string_view b)
{
    return std::string(a) + std::string(b);
}

// Statement text
inline std::string emptyStatement()
{
    return "Instruction SQL vide";
}
inline std::string oneStatementOnly()
{
    return "Une seule instruction SQL est acceptée par requête";
}
inline std::string unterminatedString()
{
    return "Chaîne de caractères non terminée dans l'instruction SQL";
}
inline std::string unterminatedBracket()
{
    return "Nom entre crochets non terminé dans l'instruction SQL";
}
inline std::string unterminatedDate()
{
    return "Date entre # non terminée dans l'instruction SQL";
}
inline std::string unbalancedParens()
{
    return "Parenthèses non équilibrées dans l'instruction SQL";
}
inline std::string tooDeep()
{
    return "Instruction SQL trop imbriquée";
}
inline std::string badTop()
{
    return "Clause TOP non acceptée : un nombre entier de lignes est attendu";
}
inline std::string badNumber(std::string_view t)
{
    return join("Nombre mal formé : ", t);
}
inline std::string badDate(std::string_view t)
{
    return join("Date invalide : ", t);
}
inline std::string forbiddenCharacter(char c)
{
    return "Caractère non accepté dans l'instruction SQL : " + std::string(1, c);
}
inline std::string nulCharacter()
{
    return "Caractère nul non accepté dans l'instruction SQL";
}
inline std::string unknownParameter(std::string_view p)
{
    return join(join("Paramètre inconnu : ", p), " (seuls :NewID et :NewIDbis sont acceptés)");
}

// Endpoints and statement kinds
inline std::string missingParameter(std::string_view name)
{
    return join("Paramètre manquant : ", name);
}
inline std::string selectOnly()
{
    return "AxQuery n'exécute que des instructions SELECT";
}
inline std::string writeOnly()
{
    return "AxUpdate n'exécute que des instructions INSERT, UPDATE ou DELETE";
}
inline std::string insertOnly()
{
    return "AxInsert n'exécute que des instructions INSERT";
}
inline std::string newIdOnlyInInsert()
{
    return "Les paramètres :NewID et :NewIDbis ne sont acceptés que par AxInsert";
}
inline std::string newIdPlacement()
{
    return "Les paramètres :NewID et :NewIDbis doivent être des valeurs de la liste VALUES";
}
inline std::string badRequestKey()
{
    return "Clé de requête invalide : 32 chiffres hexadécimaux en minuscules sont attendus";
}
inline std::string returningRefused()
{
    return "La clause RETURNING n'est pas acceptée";
}
inline std::string unknownEndpoint(std::string_view path)
{
    return join("Adresse inconnue : ", path);
}
inline std::string requestLineTooLong()
{
    return "Adresse de requête trop longue : 1 Mo au plus";
}
inline std::string requestTooLarge()
{
    return "Requête trop volumineuse : 16 Mo au plus";
}
inline std::string tooManyConnections()
{
    return "Trop de connexions ouvertes depuis cette adresse : réessayez plus tard";
}
inline std::string internalError()
{
    return "Erreur interne du serveur";
}

// Refusals of the authorizer
inline std::string deniedWrite(std::string_view table)
{
    return join("Écriture refusée sur la table ", table);
}
inline std::string deniedRead(std::string_view table)
{
    return join("Lecture refusée de la table ", table);
}
inline std::string deniedWriteInQuery()
{
    return "AxQuery ne peut pas modifier la base de données";
}
inline std::string deniedAttach()
{
    return "ATTACH et DETACH sont refusés";
}
inline std::string deniedPragma()
{
    return "PRAGMA est refusé";
}
inline std::string deniedSchema()
{
    return "Modification du schéma refusée (CREATE, DROP, ALTER)";
}
inline std::string deniedTransaction()
{
    return "Les transactions sont gérées par le serveur";
}
inline std::string deniedOther()
{
    return "Opération SQL refusée";
}
inline std::string deniedFunction(std::string_view f)
{
    return join("Fonction SQL refusée : ", f);
}
inline std::string deniedSchemaName(std::string_view s)
{
    return join("Nom de base refusé dans l'instruction SQL : ", s);
}

// Refusals of the company confinement and of the locks (raised by the database's triggers;
// every one starts with "Refusé : ")
inline constexpr std::string_view kRefusedPrefix = "Refusé : ";
inline std::string otherCompanyInsert(std::string_view table)
{
    return join(kRefusedPrefix,
                join(table,
                     " : une ligne ne peut être créée que dans la "
                     "concession de l'utilisateur"));
}
inline std::string otherCompanyMove(std::string_view table)
{
    return join(kRefusedPrefix,
                join(table, " : une ligne ne peut pas passer dans une autre concession"));
}
inline std::string otherCompanyOwner(std::string_view table, std::string_view owner)
{
    return join(kRefusedPrefix,
                join(table,
                     join(" : la ligne doit appartenir à un ",
                          join(owner,
                               " de la concession de "
                               "l'utilisateur"))));
}
inline std::string lockedVehicle()
{
    return join(kRefusedPrefix,
                "tVehicles : un véhicule livré avant la date de verrouillage "
                "ne peut plus être modifié");
}
inline std::string otherSiteVehicle(std::string_view table)
{
    return join(kRefusedPrefix,
                join(table,
                     " : un véhicule d'un site que l'utilisateur n'atteint pas ne peut "
                     "être modifié que par son propriétaire"));
}
inline std::string lockedCost()
{
    return join(kRefusedPrefix,
                "tVO - Frevo : un frais portant un numéro comptable ne peut "
                "être modifié ou supprimé que par la comptabilité");
}
inline std::string vehicleDeleteNeedsAdmin()
{
    return join(kRefusedPrefix,
                "tVehicles : seuls les administrateurs peuvent supprimer un "
                "véhicule");
}

// Execution
inline std::string interrupted()
{
    return "Requête interrompue : durée d'exécution maximale dépassée";
}
inline std::string tempSpaceExceeded()
{
    return "Requête interrompue : espace temporaire maximal dépassé";
}
inline std::string valueTooLarge()
{
    return "Valeur trop longue : 2 Mo au plus";
}
inline std::string patternTooLong()
{
    return "Motif de recherche trop long (LIKE) : 250 caractères au plus";
}
inline std::string answerTooLarge()
{
    return "Réponse trop volumineuse : précisez la recherche";
}
inline std::string sqlError(std::string_view detail)
{
    return join("Erreur SQL : ", detail);
}
inline std::string noSuchTable(std::string_view t)
{
    return join("Table inconnue : ", t);
}
inline std::string noSuchColumn(std::string_view c)
{
    return join("Colonne inconnue : ", c);
}
inline std::string syntaxError(std::string_view near)
{
    return join("Erreur de syntaxe SQL près de ", near);
}
inline std::string duplicateValue(std::string_view c)
{
    return join("Valeur déjà existante pour ", c);
}
inline std::string missingValue(std::string_view c)
{
    return join("Valeur obligatoire manquante : ", c);
}
// The database server cannot be reached (stopped, restarting): nothing was written.
inline std::string databaseUnreachable()
{
    return "Base de données injoignable : réessayez dans un instant";
}
inline std::string databaseError(std::string_view d)
{
    return join("Erreur de la base de données : ", d);
}

// Sessions
inline std::string invalidSession()
{
    return "Session expirée ou invalide";
}
inline std::string userMismatch(std::string_view id)
{
    return join("L'utilisateur de la requête ne correspond pas à la session : ", id);
}
inline std::string concessionMismatch(std::string_view c)
{
    return join("La concession de la requête ne correspond pas à la session : ", c);
}
inline std::string badLogin()
{
    return "Identifiant ou mot de passe incorrect";
}
inline std::string tooManyLogins(long long seconds)
{
    return join("Trop de tentatives de connexion : réessayez dans ",
                std::to_string((seconds + 59) / 60) + " min");
}
inline std::string invalidTicket()
{
    return "Ticket de rapport expiré ou invalide";
}

// Records
inline std::string unknownUser(std::string_view id)
{
    return join("Utilisateur inconnu : ", id);
}
inline std::string vehicleNotFound(std::string_view id)
{
    return join("Véhicule introuvable : ", id);
}
inline std::string customerNotFound(std::string_view id)
{
    return join("Client introuvable : ", id);
}

// Photos
inline std::string missingPhotoFile()
{
    return "Fichier photo manquant dans l'envoi";
}
inline std::string badPhotoName(std::string_view n)
{
    return join("Nom de fichier photo refusé : ", n);
}
inline std::string notJpeg(std::string_view n)
{
    return join("Le fichier n'est pas une image JPEG : ", n);
}
inline std::string photoTooLarge(std::string_view n)
{
    return join("Fichier photo trop volumineux : ", n);
}
inline std::string photoWriteFailed(std::string_view n)
{
    return join("Écriture du fichier photo impossible : ", n);
}

// Reports
inline std::string unknownReport(std::string_view n)
{
    return join("Rapport inconnu : ", n);
}
inline std::string badReportSelection(std::string_view s)
{
    return join("Sélection de rapport invalide : ", s);
}
inline std::string reportFailed()
{
    return "La génération du rapport PDF a échoué";
}

// SMS gateway (its answer is a plain text, not a document)
inline std::string smsSuccess()
{
    return "telephonySmsSend successfull";
}
inline std::string smsBadRecipient(std::string_view d)
{
    return join("Erreur : destinataire invalide : ", d);
}
inline std::string smsEmptyText()
{
    return "Erreur : message vide";
}
inline std::string smsTooLong()
{
    return "Erreur : message trop long (1024 octets au plus)";
}
inline std::string smsRefused(std::string_view why)
{
    return join("Erreur : ", why);
}
inline std::string smsStoreFailed()
{
    return "Erreur : message non enregistré";
}

} // namespace dravik::server::msg
