#include "editing/UserRights.h"

#include "engine/RecordDocument.h"
#include "engine/RecordKind.h"
#include "engine/TextRules.h"
#include "gateway/TXml.h"

#include <algorithm>

QStringList groupTokens(const TXml &recordDoc)
{
    QStringList tokens;
    TXml groups = selectElement(recordDoc, u"GNames");
    while (XmlNext(groups, u"GName")) {
        // A list item's value is the item itself.
        QString name = asciiUpper(groups.item());
        name.remove(QLatin1String("USER_"), Qt::CaseInsensitive);
        // An empty name would give ";;", the list of untagged fields, which nobody may edit.
        if (!name.isEmpty())
            tokens << QLatin1Char(';') + name + QLatin1Char(';');
    }
    return tokens;
}

bool GetDataRights(const TXml &recordDoc, bool flagRights, const QString &groupList)
{
    if (!flagRights)
        return false;
    const QStringList tokens = groupTokens(recordDoc);
    return std::any_of(tokens.begin(), tokens.end(),
                       [&](const QString &token) { return groupList.contains(token); });
}

RecordRights computeRecordRights(const TXml &recordDoc, const TXml &recordElement,
                                 const RightsInput &in)
{
    RecordRights r;
    r.RecordSite = asciiUpper(XmlGetText(recordElement, u"Site"));
    r.RecordOwner = asciiUpper(XmlGetText(recordElement, u"idOwner"));

    r.FlagSiteAccess = in.UserSite == QLatin1String("#")
            || occurs(r.RecordSite, asciiUpper(in.UserSite))
            // Nobody owns a record through an empty id.
            || (!r.RecordOwner.isEmpty() && r.RecordOwner == in.idUser);
    const bool customer = in.RecordKind == RecordKinds::Customer;
    r.FlagModifiable = r.FlagSiteAccess || customer || in.FlagNewEnreg;

    if (!customer && r.FlagSiteAccess && !in.FlagNewEnreg) {
        const QDate delivered = parseDate(XmlGetText(recordElement, u"DateLivraison"));
        r.LockedByDate = delivered.isValid() && in.OptLimiteDateVerrouVNVO.isValid()
                && delivered < in.OptLimiteDateVerrouVNVO;
        if (r.LockedByDate)
            r.FlagModifiable = false;
        r.NomImage = XmlGetText(recordElement, u"NomImage");
    }
    r.FlagRights = in.FlagNewEnreg || (customer ? r.FlagSiteAccess : r.FlagModifiable);

    r.RightCompta = GetDataRights(recordDoc, r.FlagRights, QStringLiteral(";COMPTA;"));
    r.RightClarim = GetDataRights(recordDoc, r.FlagRights, QStringLiteral(";CLARIM;"));
    r.RightAdmin = GetDataRights(recordDoc, r.FlagRights, QStringLiteral(";SUPERADMINS;"))
            || GetDataRights(recordDoc, r.FlagRights, QStringLiteral(";ADMINS;"));
    return r;
}

bool guaranteeFieldsEnabled(bool rightCompta, bool svoRvo, const QString &validationDate)
{
    return rightCompta || (svoRvo && validationDate.isEmpty());
}
