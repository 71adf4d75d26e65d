#include "photos/PhotoNames.h"

#include "gateway/SqlText.h"

#include <QRegularExpression>

namespace {

// The insert travels in a form field, not in an address: quotes doubled, nothing encoded.
QString quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''"))
            + QLatin1Char('\'');
}

} // namespace

QString photoName(const QString &concession, const QString &vehicleId, int number)
{
    return concession.left(1) + vehicleId.rightJustified(7, QLatin1Char('0')) + QLatin1Char('-')
            + QString::number(number).rightJustified(2, QLatin1Char('0'));
}

QString miniatureName(const QString &photoFile)
{
    QString name = photoFile;
    static const QRegularExpression jpg(QStringLiteral("\\.jpg"),
                                        QRegularExpression::CaseInsensitiveOption);
    return name.replace(jpg, QStringLiteral("m.jpg"));
}

QString photoDateText(const QDateTime &at)
{
    return at.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString listDateText(const QDateTime &at)
{
    return at.toString(QStringLiteral("dd/MM/yy hh:mm:ss"));
}

QString linkInsertStatement(const QString &vehicleId, int number, const QString &name,
                            const QString &date)
{
    return QStringLiteral("INSERT INTO [tVO - Liens Images] (idImage, idVO, NumImage, NomImage, "
                          "DateImage) VALUES (:NewID, ")
            + vehicleId + QStringLiteral(", ") + QString::number(number) + QStringLiteral(", ")
            + quoted(name) + QStringLiteral(", ") + quoted(date) + QLatin1Char(')');
}

QString defaultPhotoStatement(const QString &vehicleId, const QString &name)
{
    return QStringLiteral("Update tVehicles set NomImage=")
            + (name.isEmpty() ? QStringLiteral("NULL") : SqlText(name))
            + QStringLiteral(" where idVO=") + vehicleId;
}

QString linkDeleteStatement(const QString &vehicleId, const QString &name)
{
    return QStringLiteral("Delete * From [tVO - Liens Images] where idVO=") + vehicleId
            + QStringLiteral(" and NomImage=") + SqlText(name);
}

QString defaultAfterDeletion(const QStringList &captions, const QString &deleted)
{
    for (const QString &caption : captions) {
        if (caption != deleted)
            return caption;
    }
    return QString();
}

int photoNumber(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : 0;
}
