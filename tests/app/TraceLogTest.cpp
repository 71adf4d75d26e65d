#include "app/TraceLog.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

TEST(TraceLog, FirstCallOnlyCreatesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TAXDravik.log"));
    const QDateTime when(QDate(2026, 12, 8), QTime(10, 31, 5));
    ASSERT_TRUE(AppendTraceLog(path, when, QStringLiteral("lost")));
    QFile f(path);
    ASSERT_TRUE(f.exists());
    EXPECT_EQ(f.size(), 0);
    ASSERT_TRUE(AppendTraceLog(path, when, QStringLiteral("HttpExecute : é")));
    ASSERT_TRUE(AppendTraceLog(path, when.addSecs(1), QStringLiteral("two\r\nlines")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("08/12/2026 10:31:05 - HttpExecute : \xe9\r\n"
                         "08/12/2026 10:31:06 - two\r\nlines\r\n"));
}

TEST(TraceLog, UnwritableLogIsReportedNotThrown)
{
    QTemporaryDir dir;
    EXPECT_FALSE(AppendTraceLog(dir.filePath(QStringLiteral("missing/folder/TAXDravik.log")),
                                QDateTime::currentDateTime(), QStringLiteral("x")));
}
