#pragma once

// Names, dates and statements of the photos linked to a vehicle.

#include <QDateTime>
#include <QString>
#include <QStringList>

// Concession letter + vehicle id padded to 7 + "-" + number padded to 2 ("N0000042-01").
QString photoName(const QString &concession, const QString &vehicleId, int number);
// Every ".jpg" replaced by "m.jpg", in any letter case ("ABC.JPG" -> "ABCm.jpg").
QString miniatureName(const QString &photoFile);
// "yyyy-mm-dd hh:mm:ss": the date stored with the link.
QString photoDateText(const QDateTime &at);
// "dd/mm/yy hh:mm:ss": the date column of the lists.
QString listDateText(const QDateTime &at);

QString linkInsertStatement(const QString &vehicleId, int number, const QString &name,
                            const QString &date);
// An empty name writes NULL.
QString defaultPhotoStatement(const QString &vehicleId, const QString &name);
QString linkDeleteStatement(const QString &vehicleId, const QString &name);
// The default after a deletion: the first other caption in list order, empty when none.
QString defaultAfterDeletion(const QStringList &captions, const QString &deleted);
// "NumImage" read as an integer, 0 when it is not one.
int photoNumber(const QString &text);
