#pragma once

#include <QDateTime>
#include <QString>

// Leaf name of the support log in the temporary folder.
inline constexpr char16_t kTraceLogName[] = u"TAXDravik.log";

// One support log line: "dd/mm/yyyy hh:mm:ss - message", without line end.
QString TraceLine(const QDateTime &when, const QString &message);

// Appends a line to the log at path, opening and closing the file. A missing log is only
// created, empty: the message of that call is not written. Lines are written in Latin-1 with
// CR LF. Answers false on an input/output error, which callers ignore: a log failure never
// stops the program.
bool AppendTraceLog(const QString &path, const QDateTime &when, const QString &message);
