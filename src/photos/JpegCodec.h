#pragma once

// JPEG files of the photo path, by libjpeg: decoding into a 24-bit picture (upright when the
// file carries an EXIF orientation) and baseline encoding at quality 90. Errors come back as
// texts; the library never ends the program.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

class QFile;

inline constexpr int kJpegQuality = 90;
// Larger pictures are refused before any memory is taken for them.
inline constexpr qint64 kMaxPhotoPixels = 120'000'000;

struct DecodedPhoto
{
    QImage image; // Format_RGB888; null on failure
    QString error; // empty on success
    int orientation = 1; // the EXIF orientation found (1: none)
};

DecodedPhoto decodeJpeg(const QByteArray &data);

struct ReducedPhoto
{
    QList<QImage> pictures; // one a frame, as reducedPicture draws them; empty on failure
    QString error;
    int orientation = 1;
};
// The photo drawn into each frame, decoded a row at a time: a photo of any size is reduced
// without being held whole (unless its orientation asks for it to be turned first).
ReducedPhoto decodeJpegReduced(const QByteArray &data, const QList<QSize> &frames);
// The EXIF orientation (1 to 8) of a JPEG's APP1 segment data, 1 when absent or unreadable.
int exifOrientation(const QByteArray &app1);
// The picture turned as orientation says, so that it stands upright.
QImage applyOrientation(const QImage &image, int orientation);
// Baseline JPEG of a 24-bit picture, into memory; empty with error set on failure.
QByteArray encodeJpeg(const QImage &image, QString *error = nullptr);
// Encodes and writes path in one replace; answers the error text, empty on success.
QString writeJpeg(const QImage &image, const QString &path);

struct LoadedPhoto
{
    bool exists = false;
    QImage image; // 24-bit; null when missing or unreadable
    QString error; // why a file that exists gave no picture
};
// A picture file, its format chosen by its extension: JPEG by libjpeg, the other standard
// formats by Qt's readers.
LoadedPhoto loadPhotoFile(const QString &path);
// The bytes of an open file, mapped when the system allows it.
QByteArray fileBytes(QFile &file);
