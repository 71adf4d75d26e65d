#include "platform/Environment.h"

#include <QDir>
#include <QStandardPaths>

QString SystemEnvironment::variable(const QString &name) const
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QString SystemEnvironment::appData() const
{
    const QString value = variable(QStringLiteral("APPDATA"));
    if (!value.isEmpty())
        return value;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString SystemEnvironment::temp() const
{
    const QString value = variable(QStringLiteral("TEMP"));
    return value.isEmpty() ? QDir::tempPath() : value;
}

QString SystemEnvironment::windir() const
{
    return variable(QStringLiteral("Windir"));
}

QString SystemEnvironment::userName() const
{
    for (const char *name : {"USER", "LOGNAME", "USERNAME"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("user");
}
