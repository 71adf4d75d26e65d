#include "photos/JpegCodec.h"

#include "photos/PhotoTexts.h"
#include "photos/Reduction.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QTransform>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to
// the caller with the message kept; warnings only mark a file that ends early.
struct ErrorManager
{
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

void jumpOnError(j_common_ptr info)
{
    auto *e = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, e->message);
    std::longjmp(e->jump, 1);
}

void noteWarning(j_common_ptr info, int level)
{
    auto *e = reinterpret_cast<ErrorManager *>(info->err);
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        e->truncated = true;
}

void installErrors(ErrorManager &e, j_common_ptr info)
{
    info->err = jpeg_std_error(&e.mgr);
    e.mgr.error_exit = jumpOnError;
    e.mgr.emit_message = noteWarning;
    e.message[0] = 0;
    e.truncated = false;
}

quint32 readNumber(const uchar *p, int bytes, bool little)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= quint32(p[little ? i : bytes - 1 - i]) << (8 * i);
    return v;
}

// Rows handed to samplers as they are decoded, instead of a whole picture held.
struct Streaming
{
    QList<QSize> frames;
    std::vector<RowSampler> samplers;
    std::vector<uchar> row;
    bool used = false;
};

// The decoding proper; kept free of objects with destructors between setjmp and longjmp (they
// live in the caller). A photo that must be turned is decoded whole even when streaming.
bool decodeInto(const QByteArray &data, DecodedPhoto &out, ErrorManager &e, Streaming *stream)
{
    jpeg_decompress_struct info;
    installErrors(e, reinterpret_cast<j_common_ptr>(&info));
    if (setjmp(e.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1)
            out.orientation = exifOrientation(QByteArray::fromRawData(
                    reinterpret_cast<const char *>(m->data), int(m->data_length)));
    }
    info.out_color_space = JCS_RGB;
    if (stream && out.orientation == 1) {
        jpeg_start_decompress(&info);
        const QSize size(int(info.output_width), int(info.output_height));
        for (const QSize &frame : stream->frames)
            stream->samplers.emplace_back(size, frame);
        stream->row.resize(size_t(info.output_width) * 3);
        stream->used = true;
        while (info.output_scanline < info.output_height) {
            const int y = int(info.output_scanline);
            JSAMPROW row = stream->row.data();
            jpeg_read_scanlines(&info, &row, 1);
            for (RowSampler &sampler : stream->samplers)
                sampler.feed(y, row);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        return true;
    }
    if (qint64(info.image_width) * info.image_height > kMaxPhotoPixels) {
        jpeg_destroy_decompress(&info);
        out.error = PhotoText::PhotoTooLarge;
        return false;
    }
    jpeg_start_decompress(&info);
    out.image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (out.image.isNull() || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        out.error = PhotoText::PhotoTooLarge;
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[8];
        int count = 0;
        for (; count < 8 && info.output_scanline + unsigned(count) < info.output_height; ++count)
            rows[count] = out.image.scanLine(int(info.output_scanline) + count);
        jpeg_read_scanlines(&info, rows, JDIMENSION(count));
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

struct Encoded
{
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    ~Encoded() { std::free(buffer); }
};

bool encodeInto(const QImage &image, Encoded &out, ErrorManager &e)
{
    jpeg_compress_struct info;
    installErrors(e, reinterpret_cast<j_common_ptr>(&info));
    if (setjmp(e.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out.buffer, &out.size);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kJpegQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar *>(image.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

int exifOrientation(const QByteArray &app1)
{
    const auto *d = reinterpret_cast<const uchar *>(app1.constData());
    const qsizetype n = app1.size();
    if (n < 14 || !app1.startsWith(QByteArray("Exif\0\0", 6)))
        return 1;
    const uchar *tiff = d + 6;
    const qsizetype size = n - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
        return 1;
    const quint32 ifd = readNumber(tiff + 4, 4, little);
    if (ifd + 2 > quint64(size))
        return 1;
    const quint32 entries = readNumber(tiff + ifd, 2, little);
    for (quint32 i = 0; i < entries; ++i) {
        const quint64 at = quint64(ifd) + 2 + quint64(i) * 12;
        if (at + 12 > quint64(size))
            break;
        if (readNumber(tiff + at, 2, little) == 0x0112
            && readNumber(tiff + at + 2, 2, little) == 3) {
            const int value = int(readNumber(tiff + at + 8, 2, little));
            return value >= 1 && value <= 8 ? value : 1;
        }
    }
    return 1;
}

QImage applyOrientation(const QImage &image, int orientation)
{
    const auto turned = [&](int degrees) {
        return image.transformed(QTransform().rotate(degrees));
    };
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return turned(90).mirrored(true, false);
    case 6:
        return turned(90);
    case 7:
        return turned(90).mirrored(false, true);
    case 8:
        return turned(270);
    default:
        return image;
    }
}

namespace {

DecodedPhoto decodeWith(const QByteArray &data, Streaming *stream)
{
    DecodedPhoto out;
    ErrorManager e;
    if (!decodeInto(data, out, e, stream)) {
        out.image = QImage();
        if (out.error.isEmpty())
            out.error = QString::fromLocal8Bit(e.message);
        return out;
    }
    if (e.truncated) {
        out.image = QImage();
        out.error = PhotoText::PhotoTruncated;
        return out;
    }
    if (out.orientation != 1)
        out.image = applyOrientation(out.image, out.orientation);
    return out;
}

} // namespace

DecodedPhoto decodeJpeg(const QByteArray &data)
{
    return decodeWith(data, nullptr);
}

ReducedPhoto decodeJpegReduced(const QByteArray &data, const QList<QSize> &frames)
{
    Streaming stream;
    stream.frames = frames;
    const DecodedPhoto decoded = decodeWith(data, &stream);
    ReducedPhoto out;
    out.error = decoded.error;
    out.orientation = decoded.orientation;
    if (!out.error.isEmpty())
        return out;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        out.pictures << (stream.used ? stream.samplers[size_t(i)].take()
                                     : reducedPicture(decoded.image, frames[i]));
    }
    return out;
}

QByteArray encodeJpeg(const QImage &image, QString *error)
{
    const QImage rgb = image.format() == QImage::Format_RGB888
            ? image
            : image.convertToFormat(QImage::Format_RGB888);
    Encoded encoded;
    ErrorManager e;
    if (rgb.isNull() || !encodeInto(rgb, encoded, e)) {
        if (error)
            *error = rgb.isNull() ? PhotoText::PhotoTooLarge : QString::fromLocal8Bit(e.message);
        return {};
    }
    return QByteArray(reinterpret_cast<const char *>(encoded.buffer), qsizetype(encoded.size));
}

QString writeJpeg(const QImage &image, const QString &path)
{
    QString error;
    const QByteArray data = encodeJpeg(image, &error);
    if (data.isEmpty())
        return PhotoText::JpegWriteFailed + path + QStringLiteral(" (") + error + QLatin1Char(')');
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return PhotoText::JpegWriteFailed + path + QStringLiteral(" (") + file.errorString()
                + QLatin1Char(')');
    return QString();
}

QByteArray fileBytes(QFile &file)
{
    // Mapped rather than copied: a camera photo is several megabytes.
    if (uchar *mapped = file.map(0, file.size()))
        return QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), file.size());
    return file.readAll();
}

LoadedPhoto loadPhotoFile(const QString &path)
{
    LoadedPhoto out;
    QFile file(path);
    out.exists = QFileInfo(path).isFile();
    if (!out.exists)
        return out;
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = file.errorString();
        return out;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        DecodedPhoto decoded = decodeJpeg(fileBytes(file));
        out.image = decoded.image;
        out.error = decoded.error;
        return out;
    }
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        out.error = reader.errorString();
    else
        out.image = image.convertToFormat(QImage::Format_RGB888);
    return out;
}
