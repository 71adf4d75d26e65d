#pragma once

#include <QString>

// Every text of the photo tab and the plate-blurring editor that the user sees.
namespace PhotoText {
inline const QString ColumnName = QStringLiteral("Nom du Cliché");
inline const QString ColumnDate = QStringLiteral("Date");
inline const QString ColumnDefault = QStringLiteral("***");
inline const QString DefaultMark = QStringLiteral("***");
inline const QString FolderTitle = QStringLiteral("Sélection du répertoire des Clichés");
inline const QString PathKey = QStringLiteral("PathImages");

inline const QString ReductionOf = QStringLiteral("Réduction & Transferts de : ");
inline const QString ReductionTo = QStringLiteral(" vers : ");
inline const QString BlurredSource = QStringLiteral("\"image floutée\"");
inline const QString TransferStep = QStringLiteral("...");
inline const QString TransferDone = QStringLiteral("...Transfert Terminé.");
inline const QString BlurCaption
        = QStringLiteral("Formulaire de Floutage pour la plaque minéralogique du ");
inline const QString NumberSign = QStringLiteral(" N°");

// Failures of the photo path, shown in the warning band and the memo.
inline const QString PhotoMissing = QStringLiteral("Cliché introuvable : ");
inline const QString PhotoUnreadable = QStringLiteral("Cliché illisible : ");
inline const QString PhotoTruncated = QStringLiteral("fichier JPEG incomplet");
inline const QString PhotoTooLarge = QStringLiteral("image trop grande pour la mémoire");
inline const QString JpegWriteFailed = QStringLiteral("Écriture JPEG impossible : ");
inline const QString FtpFailed = QStringLiteral("Erreur FTP : ");
inline const QString FtpNotConfigured
        = QStringLiteral("serveur FTP non configuré (FtpHost dans les options)");
inline const QString NoPhotoText = QStringLiteral("Pas de photo");

// The editor.
inline const QString Label1 = QStringLiteral("Facteur de Floutage :");
inline const QString Label2 = QStringLiteral("Taille Maximale de de la Zone :");
inline const QString BtnSave = QStringLiteral("Sauver et Transférer l'Image");
inline const QString BtnQuit = QStringLiteral("Quitter");
inline const QString BtnInversion = QStringLiteral("Inverser la Zone de Floutage");
inline const QString BtnLoadImage = QStringLiteral("Charger une Image");
inline const QString Instructions[] = {
        QStringLiteral("Pour le Floutage "),
        QStringLiteral("en 1 Cliquez-Relachez..."),
        QString(),
        QStringLiteral("Procédez comme suit :"),
        QStringLiteral("----------------------------"),
        QString(),
        QStringLiteral("->1<- cliquez en sélectionnant le coin "),
        QStringLiteral("supérieur de la plaque,"),
        QString(),
        QStringLiteral("->2 <- relachez la souris au dessus du coin "),
        QStringLiteral("inférieur..."),
        QString(),
        QStringLiteral("C'est Fait !!!"),
        QString(),
        QString(),
        QStringLiteral("Ajustez ensuite éventuellement "),
        QStringLiteral("le facteur de floutage "),
        QStringLiteral("& la taille de la zone..."),
};
inline const char *const NotRgb24 = "GBlur only works for 24-bit bitmaps";
} // namespace PhotoText
