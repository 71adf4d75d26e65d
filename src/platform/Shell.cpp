#include "platform/Shell.h"

#include <QProcess>

bool DesktopShell::open(const QString &address)
{
    QString program = qEnvironmentVariable("BROWSER");
    if (program.isEmpty())
        program = QStringLiteral("xdg-open");
    return QProcess::startDetached(program, {address});
}
