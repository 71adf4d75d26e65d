#include "platform/FileVersion.h"
#include "platform/PeBuilder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <random>

TEST(FileVersion, ReadsThroughTheFirstTranslation)
{
    const struct
    {
        QByteArray image;
        QString version;
    } cases[] = {
            {pe::image(
                     pe::versionBlock(QStringLiteral("1.2.0.5"), QStringLiteral("040c04e4"), true)),
             QStringLiteral("1.2.0.5")},
            // Table keys compare without case.
            {pe::image(pe::versionBlock(QStringLiteral("3.1"), QStringLiteral("040C04E4"), true)),
             QStringLiteral("3.1")},
            // The translation names a table the file does not have.
            {pe::image(pe::versionBlock(QStringLiteral("3.1"), QStringLiteral("040904b0"), true)),
             QString()},
            // Without translation only a root "FileVersion" would do.
            {pe::image(pe::versionBlock(QStringLiteral("3.1"), QStringLiteral("040c04e4"), false)),
             QString()},
            // A resource that is no version block.
            {pe::image(pe::versionBlock(QStringLiteral("3.1"), QStringLiteral("040c04e4"), true),
                       3),
             QString()},
            {QByteArray("MZ not a pe file"), QString()},
            {QByteArray(), QString()},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const auto &c : cases) {
        const QString path = dir.filePath(QStringLiteral("comp%1.ocx").arg(++n));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.image);
        f.close();
        EXPECT_EQ(ReadFileVersion(path), c.version) << n;
    }
    EXPECT_EQ(ReadFileVersion(dir.filePath(QStringLiteral("missing.ocx"))), QString());
}

TEST(FileVersion, DamagedImagesNeverCrash)
{
    const QByteArray good = pe::image(
            pe::versionBlock(QStringLiteral("1.2.0.5"), QStringLiteral("040c04e4"), true));
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bad = good;
        if (round % 3 == 0) {
            bad.truncate(std::uniform_int_distribution<qsizetype>(0, good.size())(rng));
        } else {
            for (int i = 0; i < 4; ++i)
                bad[std::uniform_int_distribution<qsizetype>(0, good.size() - 1)(rng)]
                        = char(rng());
        }
        const QByteArray block = PeVersionBlock(bad);
        (void)FileVersionOfBlock(block);
    }
    EXPECT_EQ(FileVersionOfBlock(PeVersionBlock(good)), QStringLiteral("1.2.0.5"));
}
