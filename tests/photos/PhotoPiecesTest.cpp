// The pure pieces of the photo path: kernel, band, reduction geometry, names, list order and
// JPEG files, each checked on what a user would see in the pictures and the lists.
#include "photos/Blur.h"
#include "photos/JpegCodec.h"
#include "photos/ListSort.h"
#include "photos/PhotoNames.h"
#include "photos/PhotoTexts.h"
#include "photos/Reduction.h"

#include <QColor>

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

QImage checker(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, (x + y) % 2 ? QColor(250, 240, 230) : QColor(5, 10, 20));
    return image;
}

QImage twoHalves(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, x < w / 2 ? Qt::red : Qt::blue);
    return image;
}

} // namespace

TEST(BlurKernel, SizesAndWeights)
{
    const struct
    {
        int radius;
        int taps;
    } cases[] = {{2, 11}, {5, 29}, {10, 61}, {0, 5}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.radius);
        const BlurKernel k = BuildBlurKernel(c.radius);
        ASSERT_EQ(int(k.weights.size()), c.taps);
        EXPECT_NEAR(std::accumulate(k.weights.begin(), k.weights.end(), 0.0), 1.0, 1e-6);
        for (int j = 1; j <= k.size; ++j) {
            EXPECT_FLOAT_EQ(k.at(j), k.at(-j));
            EXPECT_LT(k.at(j), k.at(j - 1));
        }
        // Trimmed where the tails first reach half a grey level: one tap more on each side
        // would keep them under it.
        const double r = c.radius ? c.radius : 1;
        double all = 0, beyond = 0, beyondNext = 0;
        for (int j = -100; j <= 100; ++j) {
            const double w = std::exp(-(j / r) * (j / r) / 2);
            all += w;
            beyond += std::abs(j) > k.size ? w : 0;
            beyondNext += std::abs(j) > k.size + 1 ? w : 0;
        }
        EXPECT_GE(beyond / all, 1.0 / 510);
        EXPECT_LT(beyondNext / all, 1.0 / 510);
    }
}

TEST(BlurKernel, FlatPictureStaysFlatAndEdgesSoften)
{
    // Sums are truncated: a flat colour may lose a level or two, never more.
    const auto near = [](const QColor &a, const QColor &b) {
        return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2
                && std::abs(a.blue() - b.blue()) <= 2;
    };
    for (const int radius : {2, 5, 10}) {
        QImage flat(50, 20, QImage::Format_RGB888);
        flat.fill(QColor(90, 120, 200));
        BlurBitmap(flat, radius);
        EXPECT_TRUE(near(flat.pixelColor(25, 10), QColor(90, 120, 200))) << radius;
        EXPECT_TRUE(near(flat.pixelColor(0, 0), QColor(90, 120, 200))) << radius;

        QImage edge = twoHalves(60, 10);
        BlurBitmap(edge, radius);
        EXPECT_TRUE(near(edge.pixelColor(0, 5), Qt::red)) << radius; // far from the edge
        EXPECT_GT(edge.pixelColor(30, 5).red(), 40);
        EXPECT_GT(edge.pixelColor(30, 5).blue(), 40);
    }

    QImage wrongFormat(10, 10, QImage::Format_ARGB32);
    EXPECT_THROW(BlurBitmap(wrongFormat, 3), std::invalid_argument);
}

// A 200 x 40 zone: the blurred pixels of each column form one run between the two lines;
// everything else is exactly the unblurred picture.
TEST(BlurPlateBand, BandFollowsTheDiagonal)
{
    const struct
    {
        bool leftToRight;
        int band;
        int topAtLeft; // first blurred row of column 0
        int topAtRight; // of column 199
        int height; // blurred rows per column (at least)
    } cases[] = {
            {true, 30, 0, 9, 30},
            {false, 30, 9, 0, 30},
            {true, 10, 0, 29, 10},
            {true, 60, 0, 0, 40}, // larger than the zone: all of it
    };
    const QImage plain = checker(200, 40);
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.leftToRight << " " << c.band);
        QImage work = plain;
        BlurPlateBand(plain, work, c.leftToRight, c.band, 2);
        for (int x = 0; x < 200; ++x) {
            int first = -1, count = 0, last = -1;
            for (int y = 0; y < 40; ++y) {
                if (work.pixelColor(x, y) != plain.pixelColor(x, y)) {
                    if (first < 0)
                        first = y;
                    last = y;
                    ++count;
                }
            }
            ASSERT_EQ(count, last - first + 1) << "column " << x << " not one run";
            EXPECT_GE(count, c.height) << "column " << x;
            EXPECT_LE(count, std::min(40, c.band + 1)) << "column " << x;
            if (x == 0) {
                EXPECT_EQ(first, c.topAtLeft);
            }
            if (x == 199) {
                EXPECT_EQ(first, c.topAtRight);
            }
        }
    }
}

TEST(BlurPlateBand, LineSideSigns)
{
    const BandLine line {{0, 10}, {100, 10}};
    const struct
    {
        QPoint p;
        int sign;
    } cases[] = {{{50, 0}, 1}, {{50, 20}, -1}, {{50, 10}, 0}};
    for (const auto &c : cases)
        EXPECT_EQ((LineSide(c.p, line) > 0) - (LineSide(c.p, line) < 0), c.sign);
    EXPECT_EQ(LineSide({3, 4}, {{5, 5}, {5, 5}}), 0.0);
}

TEST(Reduction, PictureFitsItsFrame)
{
    const struct
    {
        QSize source;
        QSize frame;
        QRect placed;
    } cases[] = {
            {{4000, 3000}, kPhotoSize, {0, 0, 640, 480}},
            {{4000, 3000}, kMiniatureSize, {0, 0, 120, 90}},
            {{2400, 3600}, kPhotoSize, {160, 0, 320, 480}},
            {{2400, 3600}, kMiniatureSize, {30, 0, 60, 90}},
            {{320, 240}, kPhotoSize, {0, 0, 640, 480}},
            {{1, 1}, kPhotoSize, {80, 0, 480, 480}},
            {{1000, 100}, kPhotoSize, {0, 208, 640, 64}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.source.width() << "x" << c.source.height());
        EXPECT_EQ(fittedRect(c.frame, c.source), c.placed);
        const QImage out = reducedPicture(twoHalves(c.source.width(), c.source.height()), c.frame);
        ASSERT_EQ(out.size(), c.frame);
        ASSERT_EQ(out.format(), QImage::Format_RGB888);
        if (c.placed.left() > 0) {
            EXPECT_EQ(out.pixelColor(0, c.frame.height() / 2), kFillColour);
            EXPECT_EQ(out.pixelColor(c.frame.width() - 1, c.frame.height() / 2), kFillColour);
        }
        if (c.placed.top() > 0) {
            EXPECT_EQ(out.pixelColor(c.frame.width() / 2, 0), kFillColour);
        }
        const int y = c.placed.center().y();
        if (c.source.width() > 1) {
            EXPECT_EQ(out.pixelColor(c.placed.left() + c.placed.width() / 4, y), QColor(Qt::red));
            EXPECT_EQ(out.pixelColor(c.placed.left() + 3 * c.placed.width() / 4, y),
                      QColor(Qt::blue));
        }
    }
}

TEST(PhotoNames, NamesDatesAndStatements)
{
    EXPECT_EQ(photoName(QStringLiteral("NORD"), QStringLiteral("42"), 1),
              QStringLiteral("N0000042-01"));
    EXPECT_EQ(photoName(QStringLiteral("NORD"), QStringLiteral("123456789"), 3),
              QStringLiteral("N123456789-03"));
    EXPECT_EQ(photoName(QStringLiteral("ZOLVARE"), QStringLiteral("7"), 123),
              QStringLiteral("Z0000007-123"));
    const std::pair<const char *, const char *> minis[] = {{"N0000042-01.jpg", "N0000042-01m.jpg"},
                                                           {"ABC.JPG", "ABCm.jpg"},
                                                           {"x.Jpg", "xm.jpg"},
                                                           {"noext", "noext"}};
    for (const auto &[file, mini] : minis)
        EXPECT_EQ(miniatureName(QLatin1String(file)), QLatin1String(mini));
    const QDateTime at(QDate(2009, 3, 7), QTime(14, 5, 9));
    EXPECT_EQ(photoDateText(at), QStringLiteral("2009-03-07 14:05:09"));
    EXPECT_EQ(listDateText(at), QStringLiteral("07/03/09 14:05:09"));
    EXPECT_EQ(linkInsertStatement(QStringLiteral("42"), 1, QStringLiteral("N0000042-01"),
                                  photoDateText(at)),
              QStringLiteral("INSERT INTO [tVO - Liens Images] (idImage, idVO, NumImage, "
                             "NomImage, DateImage) VALUES (:NewID, 42, 1, 'N0000042-01', "
                             "'2009-03-07 14:05:09')"));
    EXPECT_EQ(defaultPhotoStatement(QStringLiteral("42"), QString()),
              QStringLiteral("Update tVehicles set NomImage=NULL where idVO=42"));

    const struct
    {
        QStringList list;
        const char *deleted;
        const char *next;
    } defaults[] = {{{"A", "B", "C"}, "A", "B"},
                    {{"B", "A", "C"}, "A", "B"},
                    {{"A"}, "A", ""},
                    {{}, "A", ""}};
    for (const auto &c : defaults)
        EXPECT_EQ(defaultAfterDeletion(c.list, QLatin1String(c.deleted)), QLatin1String(c.next));
}

TEST(ListSort, ComparesByKindWithTextFallback)
{
    const struct
    {
        SortKind kind;
        const char *a;
        const char *b;
        int sign;
    } cases[] = {
            {SortKind::Text, "abc", "abd", -1},
            {SortKind::Text, "B", "a", -1}, // ordinal: capitals first
            {SortKind::Integer, "10", "9", 1},
            {SortKind::Integer, "10", "x", -1}, // as text: "1" < "x"
            {SortKind::Decimal, "2.5", "10.25", -1},
            {SortKind::Date, "02/01/09", "31/12/08", 1},
            {SortKind::Time, "9:30", "10:00", -1},
            {SortKind::DateTime, "01/01/09 10:00:00", "01/01/09 09:30:00", 1},
            {SortKind::DateTime, "31/12/08 23:59:59", "01/01/09 00:00:00", -1},
            {SortKind::DateTime, "32/01/09 10:00:00", "01/01/09 10:00:00", 1}, // as text
            {SortKind::Date, "same", "same", 0},
    };
    for (const auto &c : cases) {
        const int got = compareListValues(c.kind, QLatin1String(c.a), QLatin1String(c.b));
        EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " / " << c.b;
    }
}

namespace {

QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray tiff("MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01", 18);
    tiff += char(0);
    tiff += char(orientation);
    tiff += QByteArray(6, '\0');
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xff\xe1");
    segment += char((body.size() + 2) >> 8);
    segment += char((body.size() + 2) & 0xff);
    return jpeg.left(2) + segment + body + jpeg.mid(2);
}

} // namespace

TEST(JpegFiles, GoodAndBadInput)
{
    QImage marked(40, 30, QImage::Format_RGB888);
    marked.fill(Qt::white);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            marked.setPixelColor(x, y, Qt::black); // top left corner
    const QByteArray good = encodeJpeg(marked);
    ASSERT_FALSE(good.isEmpty());
    const QByteArray big = [] {
        QImage picture(10000, 8000, QImage::Format_RGB888);
        picture.fill(Qt::gray);
        return encodeJpeg(picture);
    }();
    const struct
    {
        const char *what;
        QByteArray data;
        QSize size; // empty: refused
        QPoint dark; // a pixel of the black corner, upright
        const char *error;
    } cases[] = {
            {"plain", good, {40, 30}, {2, 2}, ""},
            {"turned by its orientation", withOrientation(good, 6), {30, 40}, {27, 2}, ""},
            {"upside down", withOrientation(good, 3), {40, 30}, {37, 27}, ""},
            {"one pixel", encodeJpeg(QImage(1, 1, QImage::Format_RGB888)), {1, 1}, {0, 0}, ""},
            {"ten thousand by eight", big, {10000, 8000}, {}, ""},
            {"truncated", good.left(good.size() / 2), {}, {}, ""},
            {"not a JPEG", QByteArray("GIF89a, named .jpg"), {}, {}, "Not a JPEG"},
            {"empty", QByteArray(), {}, {}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const DecodedPhoto photo = decodeJpeg(c.data);
        if (c.size.isEmpty()) {
            EXPECT_TRUE(photo.image.isNull());
            EXPECT_FALSE(photo.error.isEmpty());
            EXPECT_TRUE(photo.error.contains(QLatin1String(c.error))) << photo.error.toStdString();
            continue;
        }
        ASSERT_EQ(photo.image.size(), c.size) << photo.error.toStdString();
        if (c.size.width() == 40 || c.size.width() == 30) {
            EXPECT_LT(photo.image.pixelColor(c.dark).lightness(), 60);
        }
    }
    // Reduced while decoding: the same pictures as the reduction of the whole photo.
    for (const QByteArray &data : {good, withOrientation(good, 6), big}) {
        const ReducedPhoto reduced = decodeJpegReduced(data, {kPhotoSize, kMiniatureSize});
        const QImage whole = decodeJpeg(data).image;
        ASSERT_EQ(reduced.pictures.size(), 2);
        EXPECT_EQ(reduced.pictures[0], reducedPicture(whole, kPhotoSize));
        EXPECT_EQ(reduced.pictures[1], reducedPicture(whole, kMiniatureSize));
    }
    EXPECT_EQ(decodeJpegReduced(good.left(good.size() / 2), {kPhotoSize}).pictures.size(), 0);
    EXPECT_EQ(decodeJpeg(withOrientation(good, 6)).orientation, 6);
    EXPECT_EQ(decodeJpeg(good).orientation, 1);
}

TEST(JpegFiles, WriteErrorsAreReported)
{
    QImage picture(8, 8, QImage::Format_RGB888);
    picture.fill(Qt::green);
    EXPECT_TRUE(writeJpeg(picture, QStringLiteral("/nonexistent-folder/x.jpg"))
                        .startsWith(PhotoText::JpegWriteFailed));
    EXPECT_EQ(loadPhotoFile(QStringLiteral("/nonexistent-folder/x.jpg")).exists, false);
}
