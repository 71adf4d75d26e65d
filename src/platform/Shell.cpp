#include "platform/Shell.h"

#include <QProcess>

bool DesktopShell::open(const QString &address)
{
    QString program = qEnvironmentVariable("BROWSER");
    if (program.isEmpty())
        program = QStringLiteral("xdg-open");
    return QProcess::startDetached(program, {address});
}

bool DesktopShell::start(const QString &program, const QString &parameter)
{
    return !program.isEmpty() && QProcess::startDetached(program, {parameter});
}
