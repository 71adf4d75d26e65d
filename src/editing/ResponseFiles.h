#pragma once

#include <QString>

// Endpoints of the write requests and the response files they fill (leaf names in TempFolder).

namespace Endpoints {
inline const QString Insert = QStringLiteral("AxInsert"); // statements carrying ":NewID"
inline const QString Update = QStringLiteral("AxUpdate"); // updates, deletions, list entries
} // namespace Endpoints

namespace ResponseFiles {
inline const QString Tab = QStringLiteral("XmlAXSQLVO.xml");
inline const QString Costs = QStringLiteral("XmlAXSQLFrevo.xml"); // also the fixed fee
inline const QString Actions = QStringLiteral("XmlAXSQLAction.xml");
inline const QString Delete = QStringLiteral("XmlAXDelete.xml"); // record and list deletions
inline const QString Insert = QStringLiteral("XmlAXInsert.xml"); // list additions
inline const QString Equip = QStringLiteral("XmlEquip.xml"); // cached choice lists
} // namespace ResponseFiles

inline const QString &endpointFor(bool insert)
{
    return insert ? Endpoints::Insert : Endpoints::Update;
}
