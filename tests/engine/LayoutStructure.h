#pragma once

#include "common/FormLayout.h"
#include "gateway/TXml.h"

#include <QString>

// The structure description the reference server derives from the form layout: tab entries
// from form-tabs.csv, field entries from the described rows, geometry in twips.

inline QString escaped(const std::string &raw)
{
    QString text = QString::fromStdString(raw);
    text.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    return text;
}

inline QString element(const char *name, const QString &value)
{
    return QStringLiteral("<%1>%2</%1>").arg(QString::fromLatin1(name), value);
}

inline QString twips(int pixels)
{
    return QString::number(pixels * 15);
}

inline TXml structureFromLayout()
{
    QString doc = QStringLiteral("<document><axStructS>");
    for (const dravik::TabRow &t : dravik::formTabs()) {
        doc += "<axStruct>" + element("descInfo", escaped(t.kind))
                + element("idNum", escaped(t.idNum)) + element("txtInfo", escaped(t.txtInfo))
                + element("vInfo", escaped(t.vInfo)) + element("tag", escaped(t.tag))
                + element("defval", escaped(t.defval)) + "</axStruct>";
    }
    for (const dravik::LayoutRow &r : dravik::formLayout()) {
        if (r.desc.empty())
            continue;
        doc += "<axStruct>" + element("descInfo", escaped(r.desc))
                + element("idNum", escaped(r.idNum)) + element("txtInfo", escaped(r.txtInfo))
                + element("vInfo", escaped(r.vInfo)) + element("tag", escaped(r.tag))
                + element("defval", escaped(r.defval)) + element("width", twips(r.width))
                + element("left", twips(r.left)) + element("top", twips(r.top + 35))
                + element("height", twips(r.height)) + element("length", escaped(r.length))
                + element("tInfo", escaped(r.tInfo)) + element("tControl", escaped(r.tControl))
                + element("color", escaped(r.color)) + element("notNull", escaped(r.notNull))
                + element("enabled", escaped(r.enabled))
                + element("fieldInfo", escaped(r.fieldInfo)) + "</axStruct>";
    }
    return TXml(doc + "</axStructS></document>");
}
