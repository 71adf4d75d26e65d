#include "editing/RecordCommands.h"

#include "editing/Messages.h"
#include "engine/RecordDocument.h"
#include "engine/RecordKind.h"
#include "engine/TextRules.h"
#include "gateway/ResponseFiles.h"

#include <QRegularExpression>

QString lockMessage(bool FlagSiteAccess, const QDate &OptLimiteDateVerrouVNVO)
{
    if (FlagSiteAccess)
        return EditingText::NotModifiableByDate + formatDate(OptLimiteDateVerrouVNVO);
    return EditingText::NotModifiable;
}

int newRecordPage(const QString &kindCaption)
{
    static const QStringList captions
            = {KindCaptions::Used, KindCaptions::Demonstration, KindCaptions::NewOrder};
    const int vehicle = int(captions.indexOf(kindCaption));
    if (vehicle >= 0)
        return vehicle;
    return kindCaption == KindCaptions::Customer ? TabNumbers::Customer - 1 : -1;
}

QString siteControl(const QString &kindCaption)
{
    if (kindCaption == KindCaptions::Customer)
        return QStringLiteral("aSite");
    if (kindCaption == KindCaptions::Demonstration)
        return QStringLiteral("cVDSite");
    if (kindCaption == KindCaptions::NewOrder)
        return QStringLiteral("cVNSite");
    return QStringLiteral("cSite");
}

SitePreselection preselectSite(const QStringList &entries, const QString &UserUS1,
                               const QString &UserSite)
{
    SitePreselection s;
    if (!UserUS1.isEmpty()) {
        const QString wanted = asciiUpper(UserUS1);
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (asciiUpper(entries[i]) == wanted) {
                s.index = int(i);
                break;
            }
        }
    } else if (UserSite != QLatin1String("#")) {
        const QString sites = asciiUpper(UserSite);
        qsizetype best = -1;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QString entry = asciiUpper(entries[i]);
            const qsizetype at = entry.isEmpty() ? -1 : sites.indexOf(entry);
            if (at >= 0 && (best < 0 || at < best)) {
                best = at;
                s.index = int(i);
            }
        }
    }
    if (s.index >= 0)
        s.value = asciiUpper(entries[s.index]);
    return s;
}

QString GetIdVO(const TXml &recordDoc)
{
    return XmlGetText(selectElement(recordDoc, u"tVO"), u"idVO");
}

QString GetIdClient(const TXml &recordDoc)
{
    return XmlGetText(selectElement(recordDoc, u"TVC"), u"idClient");
}

QString deletionId(const QString &id, bool FlagNewEnreg)
{
    // The id goes into "where id=" unquoted: anything but digits could widen the deletion.
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    if (FlagNewEnreg || !digits.match(id).hasMatch() || readInt(id) <= 0)
        return QString();
    return id;
}

QStringList vehicleDeleteStatements(const QString &idVO)
{
    return {QStringLiteral("Delete * From [tVO - Liens Images] where idVO=") + idVO,
            QStringLiteral("Delete * From [tVO - Frevo] where idVO=") + idVO,
            QStringLiteral("Delete * From [tVehicles] where idVO=") + idVO};
}

QString customerDeleteStatement(const QString &idClient)
{
    return QStringLiteral("Delete * From [tClients] where idClient=") + idClient;
}

QString sweepStatement()
{
    return QStringLiteral("DELETE * FROM tVehicles WHERE (((TypeVO)=2) AND ((Acheteur) Is Null) "
                          "AND ((DateAnnulation) Is Not Null));");
}

QString infoVOAddress(const QString &BaseHRef, const QString &vehicleId, const QString &idUser)
{
    return BaseHRef + Endpoints::InfoVO + QStringLiteral("?XMLC_OutputFormat=XML&idTVO=")
            + vehicleId + QStringLiteral("&UserID=") + idUser;
}

QString infoCLAddress(const QString &BaseHRef, const QString &idUser)
{
    return BaseHRef + Endpoints::InfoCL + QStringLiteral("?XMLC_OutputFormat=XML&UserID=") + idUser;
}

bool reloadsAsNew(const QString &vehicleId, const QString &customerId)
{
    const QString &id = customerId.isEmpty() ? vehicleId : customerId;
    return !id.isEmpty() && readInt(id) <= 0;
}

PageDetail pageDetail(int pageIndex)
{
    switch (pageIndex) {
    case 2:
        return PageDetail::Reservation;
    case 4:
        return PageDetail::Costs;
    case 5:
        return PageDetail::Photos;
    case 6:
        return PageDetail::Actions;
    case 7:
        return PageDetail::Vehicles;
    default:
        return PageDetail::None;
    }
}
