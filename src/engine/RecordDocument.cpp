#include "engine/RecordDocument.h"

#include "engine/TextRules.h"

UserInfo readUserInfo(const TXml &recordDoc)
{
    const TXml user = selectElement(recordDoc, u"User");
    return {XmlGetText(user, u"UserConcession"), XmlGetText(user, u"UserSite"),
            XmlGetText(user, u"Name_"), XmlGetText(user, u"US1")};
}

void readOptionDates(const TXml &recordDoc, OptionDates &dates)
{
    const TXml opt = selectElement(recordDoc, u"OptDates");
    dates.ServerNow = parseDate(XmlGetText(opt, u"Now"));
    if (dates.OptLimiteDateDeb.isValid())
        return;
    dates.OptLimiteDateDeb = parseDate(XmlGetText(opt, u"Opt_LimiteDateDeb"));
    dates.OptLimiteDateDebFrevo = parseDate(XmlGetText(opt, u"Opt_LimiteDateDebFrevo"));
    dates.OptLimiteDateDebClarim = parseDate(XmlGetText(opt, u"Opt_LimiteDateDebClarim"));
    dates.OptLimiteDateVerrouVNVO = parseDate(XmlGetText(opt, u"Opt_LimiteDateVerrouVNVO"));
    dates.OptNow = dates.ServerNow;
    // A null date counts as 0: it is later than nothing, and every date is later than it.
    auto later = [&](const QDate &limit) {
        return limit.isValid() && (!dates.OptNow.isValid() || limit > dates.OptNow);
    };
    if (later(dates.OptLimiteDateDeb) || later(dates.OptLimiteDateDebFrevo)
        || later(dates.OptLimiteDateDebClarim)) {
        dates.OptLimiteDateDeb = dates.OptLimiteDateDebFrevo = dates.OptLimiteDateDebClarim
                = dates.OptLimiteDateVerrouVNVO = dates.OptNow = QDate();
    }
}

RecordHead readRecordHead(const TXml &recordElement)
{
    RecordHead head;
    XmlGet(recordElement, u"Frevo", head.Frevo);
    XmlGet(recordElement, u"idVO", head.RecordId);
    XmlGet(recordElement, u"idtVO", head.RecordId);
    XmlGet(recordElement, u"Concession", head.Concession);
    return head;
}

VehicleCursor positionVehicleCursor(const TXml &customerDoc, int vehicleIndex)
{
    VehicleCursor v;
    v.cursor = selectElement(customerDoc, u"TVehS");
    v.VehicleFound = XmlNext(v.cursor, u"TVeh") ? 1 : 0;
    for (int i = 0; i < vehicleIndex; ++i) {
        if (!XmlNext(v.cursor, u"TVeh"))
            break;
    }
    if (vehicleIndex == -1)
        v.VehicleFound = -1;
    return v;
}

TXml selectElement(const TXml &doc, QStringView element)
{
    TXml x = doc;
    XmlOpen(x, element);
    return x;
}
