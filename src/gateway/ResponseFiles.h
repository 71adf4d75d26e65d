#pragma once

#include <QString>

// The server's endpoints and the response files they fill (leaf names in TempFolder).

namespace Endpoints {
inline const QString InfoVO = QStringLiteral("AxInfoVO"); // a vehicle record
inline const QString InfoCL = QStringLiteral("AxInfoCL"); // a customer and its vehicles
inline const QString InfoEquip = QStringLiteral("AxInfoEquip"); // the choice lists
inline const QString InfoStruct = QStringLiteral("AxInfoStruct"); // the tabs' structure
inline const QString Insert = QStringLiteral("AxInsert"); // statements carrying ":NewID"
inline const QString Update = QStringLiteral("AxUpdate"); // updates, deletions, list entries
} // namespace Endpoints

namespace ResponseFiles {
inline const QString Vehicle = QStringLiteral("XmlVO.xml"); // answer of AxInfoVO
inline const QString Customer = QStringLiteral("XmlCL.xml"); // answer of AxInfoCL
inline const QString Struct = QStringLiteral("XmlStruct.xml"); // answer of AxInfoStruct
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
