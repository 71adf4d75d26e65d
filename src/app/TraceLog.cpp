#include "app/TraceLog.h"

#include <QFile>

QString TraceLine(const QDateTime &when, const QString &message)
{
    return when.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")) + QStringLiteral(" - ") + message;
}

bool AppendTraceLog(const QString &path, const QDateTime &when, const QString &message)
{
    QFile file(path);
    if (!file.exists())
        return file.open(QIODevice::WriteOnly);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray line = (TraceLine(when, message) + QStringLiteral("\r\n")).toLatin1();
    return file.write(line) == line.size();
}
