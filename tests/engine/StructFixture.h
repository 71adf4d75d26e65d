#pragma once

#include "gateway/TXml.h"

#include <QMap>
#include <QString>

#include <initializer_list>
#include <utility>

// Builds "axStruct" entries as the server writes them (every element present, some empty).
inline QString structEntry(std::initializer_list<std::pair<const char *, const char *>> values)
{
    static const char *const names[]
            = {"descInfo", "idNum", "txtInfo", "vInfo",   "tag",      "defval",
               "width",    "left",  "top",     "height",  "length",   "tInfo",
               "tControl", "color", "notNull", "enabled", "fieldInfo"};
    QMap<QString, QString> given;
    for (const auto &[name, value] : values)
        given[QString::fromLatin1(name)] = QString::fromUtf8(value);
    QString item = QStringLiteral("<axStruct>");
    for (const char *name : names) {
        const QString n = QString::fromLatin1(name);
        item += QStringLiteral("<%1>%2</%1>").arg(n, given.value(n));
    }
    return item + QStringLiteral("</axStruct>");
}

inline TXml structDoc(const QString &entries)
{
    return TXml(QStringLiteral("<document><axStructS>") + entries
                + QStringLiteral("</axStructS></document>"));
}
