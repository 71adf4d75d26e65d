#include "app/IniFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(IniFile, ValuesReadBackUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TAXDravik.ini"));
    const QStringList values = {
            QStringLiteral("Where (Marque='VW', \"x\"; y) and a=b"),
            QStringLiteral("'quoted'"),
            QStringLiteral("\"double\""),
            QStringLiteral(";not a comment"),
            QStringLiteral("[not a section]"),
            QStringLiteral("é à ç €"),
            QString(),
    };
    for (const QString &value : values) {
        QString error;
        ASSERT_TRUE(WriteIniValues(path, QStringLiteral("Options"),
                                   {{QStringLiteral("WhereClause"), value}}, &error))
                << error.toStdString();
        IniFile ini(path);
        ASSERT_TRUE(ini.load());
        EXPECT_EQ(ini.value(QStringLiteral("Options"), QStringLiteral("WhereClause")), value);
    }
}

TEST(IniFile, ProfileSemantics)
{
    IniFile ini;
    ini.setText(QStringLiteral(
            "; launcher file\r\n[Other]\r\nKey=other\r\n[options]\r\n  Trace = 1 \r\n"
            "idTVO=12\nBaseHRef=http://h/x?a=b\n[Last]\nk=v"));
    EXPECT_EQ(ini.value(QStringLiteral("Options"), QStringLiteral("trace")), QStringLiteral("1"));
    EXPECT_EQ(ini.value(QStringLiteral("OPTIONS"), QStringLiteral("BaseHRef")),
              QStringLiteral("http://h/x?a=b"));
    EXPECT_EQ(ini.value(QStringLiteral("Options"), QStringLiteral("Key")), QString());
    EXPECT_EQ(ini.value(QStringLiteral("Options"), QStringLiteral("Missing"), QStringLiteral("d")),
              QStringLiteral("d"));

    ini.setValue(QStringLiteral("Options"), QStringLiteral("IDTVO"), QStringLiteral("13"));
    ini.setValue(QStringLiteral("Options"), QStringLiteral("New"), QStringLiteral("n"));
    ini.setValue(QStringLiteral("Fresh"), QStringLiteral("A"), QStringLiteral("line1\r\nline2"));
    EXPECT_EQ(ini.text(),
              QStringLiteral(
                      "; launcher file\r\n[Other]\r\nKey=other\r\n[options]\r\n  Trace = 1 \r\n"
                      "IDTVO=13\r\nBaseHRef=http://h/x?a=b\r\nNew=n\r\n[Last]\r\nk=v\r\n"
                      "\r\n[Fresh]\r\nA=line1 line2\r\n"));
}

TEST(IniFile, MissingFileReadsEmpty)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_FALSE(ini.load());
    EXPECT_EQ(ini.value(QStringLiteral("Options"), QStringLiteral("Trace")), QString());
}

TEST(IniFile, WriteKeepsOtherKeysAndReadsLatin1Files)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TAXDravik.ini"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Options]\r\nUserSite=Cr\xe9teil\r\nsvText1=abc\r\n");
    f.close();
    ASSERT_TRUE(WriteIniValues(path, QStringLiteral("Options"),
                               {{QStringLiteral("svText1"), QStringLiteral("xyz")}}));
    IniFile ini(path);
    ini.load();
    EXPECT_EQ(ini.value(QStringLiteral("Options"), QStringLiteral("UserSite")),
              QStringLiteral("Créteil"));
    EXPECT_EQ(ini.value(QStringLiteral("Options"), QStringLiteral("svText1")),
              QStringLiteral("xyz"));
}

TEST(IniFile, FailedWriteNamesThePathAndLosesNothing)
{
    QTemporaryDir dir;
    // A folder that cannot exist: its parent is a file.
    const QString blocker = dir.filePath(QStringLiteral("file"));
    QFile(blocker).open(QIODevice::WriteOnly);
    const QString path = blocker + QStringLiteral("/Dravik/TAXDravik.ini");
    QString error;
    EXPECT_FALSE(WriteIniValues(path, QStringLiteral("Options"),
                                {{QStringLiteral("a"), QStringLiteral("b")}}, &error));
    EXPECT_EQ(error, QStringLiteral("Impossible d'écrire dans ") + path);

    // A settings "file" that cannot be read is never replaced by a fresh one.
    const QString folderInstead = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkdir(folderInstead));
    EXPECT_FALSE(WriteIniValues(folderInstead, QStringLiteral("Options"),
                                {{QStringLiteral("a"), QStringLiteral("b")}}, &error));
    EXPECT_EQ(error, QStringLiteral("Impossible d'écrire dans ") + folderInstead);
    EXPECT_TRUE(QFileInfo(folderInstead).isDir());
}
