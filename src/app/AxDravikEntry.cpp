#include "app/AxDravikEntry.h"

#include "app/IniFile.h"
#include "app/Launch.h"
#include "app/SingleInstance.h"
#include "gateway/UnitTools.h"
#include "platform/Environment.h"
#include "ui/TAxDravik.h"
#include "ui/widgets/ToolkitTexts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

namespace {

SingleInstance *makeInstance(const Environment &env, QObject *parent)
{
    return new SingleInstance(SingleInstance::keyFor(env.userName()), QDir::tempPath(), parent);
}

} // namespace

int DravikProgramEntry(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(TAxDravik::kApplicationTitle);
    useFrenchToolkitTexts(app);
    SystemEnvironment env;
    SingleInstance *instance = makeInstance(env, &app);
    if (!instance->acquire()) {
        instance->send(SingleInstance::showMessage());
        return 0;
    }
    TAxDravik window(TAxDravikServices::system());
    QObject::connect(instance, &SingleInstance::messageReceived, &window,
                     &TAxDravik::OnInstanceMessage);
    window.show();
    return app.exec();
}

int DravikLaunchEntry(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<std::pair<QString, QString>> keys;
    QString bad;
    if (!ParseLaunchArguments(app.arguments().mid(1), keys, &bad)) {
        std::fprintf(stderr, "dravik-launch: argument invalide « %s » (attendu CLE=VALEUR)\n",
                     qPrintable(bad));
        return 2;
    }
    SystemEnvironment env;
    const QString path = GetSettingsPath(env);
    QDir().mkpath(QFileInfo(path).path());
    QString error;
    if (!WriteIniValues(path, kSettingsSection, keys, &error)) {
        std::fprintf(stderr, "dravik-launch: %s\n", qPrintable(error));
        return 1;
    }
    SingleInstance *instance = makeInstance(env, &app);
    if (instance->send(SingleInstance::reloadMessage(), 1500))
        return 0;
    const QString program
            = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("dravik"));
    if (!QProcess::startDetached(program, {})) {
        std::fprintf(stderr, "dravik-launch: impossible de démarrer %s\n", qPrintable(program));
        return 1;
    }
    return 0;
}
