#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

namespace {

QString uniqueKey(const char *what)
{
    return SingleInstance::keyFor(QStringLiteral("test-%1-%2")
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(QLatin1String(what)));
}

QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "test_app";
    static char *argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

} // namespace

TEST(SingleInstance, SecondCopyTalksToTheFirst)
{
    app();
    QTemporaryDir dir;
    const QString key = uniqueKey("talk");
    SingleInstance first(key, dir.path());
    ASSERT_TRUE(first.acquire());
    SingleInstance second(key, dir.path());
    EXPECT_FALSE(second.acquire());

    QSignalSpy spy(&first, &SingleInstance::messageReceived);
    EXPECT_TRUE(second.send(SingleInstance::reloadMessage()));
    ASSERT_TRUE(spy.count() > 0 || spy.wait(3000));
    EXPECT_EQ(spy.at(0).at(0).toByteArray(), QByteArray("1024"));
}

TEST(SingleInstance, NoRunningCopyAnswersAtOnce)
{
    app();
    QTemporaryDir dir;
    SingleInstance lone(uniqueKey("lone"), dir.path());
    EXPECT_FALSE(lone.send(SingleInstance::showMessage(), 60000));
}

TEST(SingleInstance, LockOfADeadCopyIsTakenOver)
{
    app();
    QTemporaryDir dir;
    const QString key = uniqueKey("dead");
    // A lock file left by a process that no longer runs.
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    QFile lock(dir.filePath(key + QStringLiteral(".lock")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\ndravik\n" + QSysInfo::machineHostName().toUtf8()
               + "\n");
    lock.close();

    SingleInstance next(key, dir.path());
    EXPECT_TRUE(next.acquire());
}
