// The real program and launcher against a running copy played by this test: a second start
// raises the running window and ends; the launcher writes its keys and asks for a reload.
#include "app/SingleInstance.h"
#include "ui/WindowHarness.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

QString binary(const char *name)
{
    return QStringLiteral(DRAVIK_APP_DIR "/") + QLatin1String(name);
}

// A running copy: the window of the harness listening under the user name of the harness.
struct RunningCopy
{
    explicit RunningCopy(WindowHarness &h)
        : user(QStringLiteral("dravik-test-%1").arg(QCoreApplication::applicationPid()))
        , instance(SingleInstance::keyFor(user), QDir::tempPath())
    {
        h.env.vars[QStringLiteral("USER")] = user;
        window = h.makeWindow();
        EXPECT_TRUE(instance.acquire());
        QObject::connect(&instance, &SingleInstance::messageReceived, window.get(),
                         &TAxDravik::OnInstanceMessage);
    }
    QString user;
    SingleInstance instance;
    std::unique_ptr<TAxDravik> window;
};

QProcessEnvironment childEnvironment(const WindowHarness &h, const QString &user)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("USER"), user);
    env.insert(QStringLiteral("APPDATA"), h.appData());
    env.insert(QStringLiteral("TEMP"), h.temp());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

// Runs a child to its end while this process keeps answering on the local socket.
int runToEnd(QProcess &child)
{
    child.start();
    EXPECT_TRUE(child.waitForStarted(5000));
    const bool ended
            = QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, 20000);
    if (!ended) {
        child.kill();
        child.waitForFinished();
        return -1;
    }
    return child.exitCode();
}

} // namespace

TEST(ProgramEntry, SecondStartRaisesTheFirstAndEnds)
{
    WindowHarness h;
    RunningCopy running(h);
    running.window->showMinimized();
    QSignalSpy raised(running.window.get(), &TAxDravik::raisedByAnotherStart);
    QProcess second;
    second.setProgram(binary("dravik"));
    second.setProcessEnvironment(childEnvironment(h, running.user));
    EXPECT_EQ(runToEnd(second), 0);
    EXPECT_TRUE(raised.count() > 0 || raised.wait(5000));
    EXPECT_FALSE(running.window->isMinimized());
}

TEST(ProgramEntry, LauncherWritesKeysAndReloadsTheRunningCopy)
{
    WindowHarness h;
    h.writeSettings({{QStringLiteral("idTVO"), QStringLiteral("12")},
                     {QStringLiteral("PathImages"), QStringLiteral("/photos")}});
    RunningCopy running(h);
    TAxDravik &w = *running.window;
    ASSERT_EQ(w.LbIdTVO->text(), QStringLiteral("12"));
    QProcess launcher;
    launcher.setProgram(binary("dravik-launch"));
    launcher.setArguments(
            {QStringLiteral("idTVO=77"), QStringLiteral("WhereClause=a='1,2'; b=\"c\"")});
    launcher.setProcessEnvironment(childEnvironment(h, running.user));
    EXPECT_EQ(runToEnd(launcher), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.LbIdTVO->text() == QStringLiteral("77"); }, 5000));
    EXPECT_EQ(w.WhereClause, QStringLiteral("a='1,2'; b=\"c\""));
    EXPECT_EQ(w.GetTagRegistry(QStringLiteral("PathImages")), QStringLiteral("/photos"));

    QProcess bad;
    bad.setProgram(binary("dravik-launch"));
    bad.setArguments({QStringLiteral("idTVO")});
    bad.setProcessEnvironment(childEnvironment(h, running.user));
    EXPECT_EQ(runToEnd(bad), 2);
}
