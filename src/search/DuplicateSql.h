#pragma once

#include <QString>

// The duplicate counters: how many customers of the company already hold the name, the name
// and first name, the home telephone or the mobile being typed. Pure functions.

namespace DuplicateModes {
inline const QString Name = QStringLiteral("Nom");
inline const QString Identity = QStringLiteral("Ident");
inline const QString HomePhone = QStringLiteral("TelDom");
inline const QString Mobile = QStringLiteral("Mobile");
} // namespace DuplicateModes

struct DuplicateFields
{
    QString name;
    QString firstName;
    QString homePhone;
    QString mobile;
    QString concession;
};

// The counting statement of a mode; empty when the compared value is empty or the mode is
// unknown. Values are compared upper-cased (letters a to z only), quotes doubled. The count
// covers the customers of the user's company only, the ones a search of the same value lists.
QString duplicateCountSql(const QString &mode, const DuplicateFields &fields);

// The counter beside the field of a mode ("DblNom" ...), empty when the mode is unknown.
QString duplicateCounterName(const QString &mode);
