#pragma once

#include <QString>
#include <QStringList>

// What the search panel and the duplicate counters show, and the names they use on the wire.
namespace SearchTexts {
inline const QString LikeCaption = QStringLiteral("à rechercher :");
inline const QString ExactCaption = QStringLiteral("recherche exacte :");
inline const QString MoreRows = QStringLiteral(" premiers enregistrements");
inline const QString AllRows = QStringLiteral(" enregistrements trouvés");
inline const QString CounterUnknown = QStringLiteral("??");
// An answer that came but cannot be read as a list of rows.
inline const QString UnreadableAnswer
        = QStringLiteral("Réponse du serveur illisible : la recherche n'a pas abouti");
inline const QString UnreadableCount
        = QStringLiteral("Réponse du serveur illisible : le compte des doublons n'a pas abouti");
} // namespace SearchTexts

namespace SearchWire {
inline const QString Query = QStringLiteral("AxQuery");
inline const QString ResultsFile = QStringLiteral("XmlSInf.xml");
inline const QString DuplicatesFile = QStringLiteral("XmlSDbl.xml");
} // namespace SearchWire

// Keys of the settings file that keep the last search from one run to the next.
namespace SearchKeys {
inline const QString TypeVO = QStringLiteral("svTypeVO");
inline const QString Site = QStringLiteral("svSite");
inline const QString VehicleText = QStringLiteral("svText1");
inline const QString VehicleMode = QStringLiteral("svOpt1");
inline const QString CustomerText = QStringLiteral("svText2");
inline const QString CustomerMode = QStringLiteral("svOpt2");
} // namespace SearchKeys
