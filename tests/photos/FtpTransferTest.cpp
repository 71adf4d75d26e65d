// The FTP copy against a real FTP server (pyftpdlib on loopback): what reaches its folder.
#include "photos/FtpServer.h"

#include "photos/FtpTransfer.h"
#include "photos/PhotoTexts.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FtpTransfer, EndpointBehindAWebProxy)
{
    const FtpSettings s {QStringLiteral("ftp.example"), 2121, QStringLiteral("10.0.0.1:2100"),
                         QStringLiteral("account"), QStringLiteral("secret12")};
    const struct
    {
        const char *proxy;
        const char *host;
        int port;
        const char *user;
    } cases[] = {{"", "ftp.example", 2121, "account"},
                 {"proxy:8080", "10.0.0.1", 2100, "account@ftp.example"}};
    for (const auto &c : cases) {
        const FtpEndpoint e = chooseFtpEndpoint(s, QLatin1String(c.proxy));
        EXPECT_EQ(e.host, QLatin1String(c.host));
        EXPECT_EQ(e.port, c.port);
        EXPECT_EQ(e.user, QLatin1String(c.user));
        EXPECT_EQ(e.password, QStringLiteral("secret12"));
    }
}

TEST(FtpTransfer, WhatReachesThePhotoFolder)
{
    QTemporaryDir local;
    const QString photo = local.filePath(QStringLiteral("N0000042-01.jpg"));
    QByteArray bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += char(i * 7); // every byte value: a text transfer would alter some
    {
        QFile f(photo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const struct
    {
        const char *what;
        bool drop;
        const char *password;
        const char *folder;
        bool stored;
    } cases[] = {
            {"stored", false, "demo2009", "www/voimages", true},
            {"login refused", false, "wrong", "www/voimages", false},
            {"no such folder", false, "demo2009", "www/absent", false},
            {"connection dropped", true, "demo2009", "www/voimages", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FtpServer server(c.drop);
        ASSERT_GT(server.port(), 0) << server.error().toStdString();
        // Twice: an existing file of that name is replaced.
        for (int round = 0; round < 2; ++round) {
            FtpSession ftp({QStringLiteral("127.0.0.1"), server.port(), FtpServer::kUser,
                            QLatin1String(c.password)},
                           QLatin1String(c.folder), 10);
            const QString error = ftp.put(photo, QStringLiteral("N0000042-01.jpg"));
            EXPECT_EQ(error.isEmpty(), c.stored) << error.toStdString();
            if (!c.stored) {
                EXPECT_TRUE(error.startsWith(PhotoText::FtpFailed));
            }
        }
        QFile stored(server.photoFolder() + QStringLiteral("/N0000042-01.jpg"));
        EXPECT_EQ(stored.exists(), c.stored);
        if (c.stored) {
            ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
            EXPECT_EQ(stored.readAll(), bytes);
        }
    }
    FtpSession unconfigured({QString(), 21, QString(), QString()});
    EXPECT_TRUE(
            unconfigured.put(photo, QStringLiteral("x.jpg")).contains(PhotoText::FtpNotConfigured));
}
