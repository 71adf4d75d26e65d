// The photo path's two heavy steps, each against a reference measured in the same run:
// - the reduction of a 12-megapixel photo (read, decode, two stretches, two encodes and
//   file writes) against libjpeg's own full decode of the same file plus the two encodes;
// - the blur of a 640 x 480 zone at radius 10 against a separable float blur written here.
#include "photos/Blur.h"
#include "photos/JpegCodec.h"
#include "photos/Reduction.h"

#include "support/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include <jpeglib.h>

namespace {

QImage scene(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    std::mt19937 random(7);
    for (int y = 0; y < h; ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int noise = int(random() % 24);
            row[3 * x] = uchar((x * 255 / w + noise) & 0xff);
            row[3 * x + 1] = uchar((y * 255 / h + noise) & 0xff);
            row[3 * x + 2] = uchar(((x + y) % 256 + noise) & 0xff);
        }
    }
    return image;
}

struct Files
{
    QTemporaryDir dir;
    QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    Files()
    {
        QFile file(photo);
        if (file.open(QIODevice::WriteOnly))
            file.write(encodeJpeg(scene(4000, 3000)));
    }
};

Files &files()
{
    static Files f;
    return f;
}

void BM_Reduction(benchmark::State &state)
{
    const QString big = files().dir.filePath(QStringLiteral("N0000042-01.jpg"));
    const QString mini = files().dir.filePath(QStringLiteral("N0000042-01m.jpg"));
    for (auto _ : state) {
        QFile file(files().photo);
        file.open(QIODevice::ReadOnly);
        const ReducedPhoto photo = decodeJpegReduced(fileBytes(file), {kPhotoSize, kMiniatureSize});
        benchmark::DoNotOptimize(writeJpeg(photo.pictures.value(0), big));
        benchmark::DoNotOptimize(writeJpeg(photo.pictures.value(1), mini));
    }
}
BENCHMARK(BM_Reduction)->Unit(benchmark::kMillisecond);

// libjpeg alone: the full decode into one buffer, then the two encodes into memory.
void BM_LibjpegDecodeAndEncodes(benchmark::State &state)
{
    QFile file(files().photo);
    file.open(QIODevice::ReadOnly);
    const QByteArray data = file.readAll();
    const QImage source = decodeJpeg(data).image;
    const QImage pictures[2]
            = {reducedPicture(source, kPhotoSize), reducedPicture(source, kMiniatureSize)};
    std::vector<uchar> pixels;
    for (auto _ : state) {
        jpeg_decompress_struct in;
        jpeg_error_mgr inErrors;
        in.err = jpeg_std_error(&inErrors);
        jpeg_create_decompress(&in);
        jpeg_mem_src(&in, reinterpret_cast<const uchar *>(data.constData()), data.size());
        jpeg_read_header(&in, TRUE);
        in.out_color_space = JCS_RGB;
        jpeg_start_decompress(&in);
        const size_t stride = size_t(in.output_width) * 3;
        pixels.resize(stride * in.output_height);
        while (in.output_scanline < in.output_height) {
            JSAMPROW row = pixels.data() + stride * in.output_scanline;
            jpeg_read_scanlines(&in, &row, 1);
        }
        jpeg_finish_decompress(&in);
        jpeg_destroy_decompress(&in);
        for (const QImage &picture : pictures) {
            jpeg_compress_struct out;
            jpeg_error_mgr outErrors;
            out.err = jpeg_std_error(&outErrors);
            jpeg_create_compress(&out);
            unsigned char *buffer = nullptr;
            unsigned long size = 0;
            jpeg_mem_dest(&out, &buffer, &size);
            out.image_width = JDIMENSION(picture.width());
            out.image_height = JDIMENSION(picture.height());
            out.input_components = 3;
            out.in_color_space = JCS_RGB;
            jpeg_set_defaults(&out);
            jpeg_set_quality(&out, 90, TRUE);
            jpeg_start_compress(&out, TRUE);
            while (out.next_scanline < out.image_height) {
                JSAMPROW row = const_cast<uchar *>(picture.constScanLine(int(out.next_scanline)));
                jpeg_write_scanlines(&out, &row, 1);
            }
            jpeg_finish_compress(&out);
            jpeg_destroy_compress(&out);
            benchmark::DoNotOptimize(size);
            std::free(buffer);
        }
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_LibjpegDecodeAndEncodes)->Unit(benchmark::kMillisecond);

const QImage &zone()
{
    static const QImage z = scene(640, 480);
    return z;
}

void BM_BlurZone(benchmark::State &state)
{
    for (auto _ : state) {
        QImage work = zone().copy();
        BlurBitmap(work, 10);
        benchmark::DoNotOptimize(work.constBits());
    }
}
BENCHMARK(BM_BlurZone)->Unit(benchmark::kMillisecond);

// A separable float blur as one would write it for speed: the same weights, rows then columns,
// edge pixels repeated, each pass over contiguous floats.
void floatBlur(QImage &image, const std::vector<float> &w, int s)
{
    const int width = image.width(), height = image.height();
    const size_t n = size_t(width) * 3;
    std::vector<float> plane(n * size_t(height)), padded((size_t(width) + 2 * size_t(s)) * 3),
            sums(n);
    for (int y = 0; y < height; ++y) {
        const uchar *row = image.constScanLine(y);
        for (int i = 0; i < width + 2 * s; ++i)
            for (int c = 0; c < 3; ++c)
                padded[size_t(i) * 3 + size_t(c)] = row[3 * std::clamp(i - s, 0, width - 1) + c];
        float *out = plane.data() + n * size_t(y);
        std::fill(out, out + n, 0.0f);
        for (int k = 0; k <= 2 * s; ++k) {
            const float weight = w[size_t(k)];
            const float *from = padded.data() + size_t(2 * s - k) * 3;
            for (size_t j = 0; j < n; ++j)
                out[j] += weight * from[j];
        }
    }
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (int k = 0; k <= 2 * s; ++k) {
            const float weight = w[size_t(k)];
            const float *from = plane.data() + n * size_t(std::clamp(y + s - k, 0, height - 1));
            for (size_t j = 0; j < n; ++j)
                sums[j] += weight * from[j];
        }
        uchar *row = image.scanLine(y);
        for (size_t j = 0; j < n; ++j)
            row[j] = uchar(std::clamp(sums[j], 0.0f, 255.0f));
    }
}

void BM_FloatBlurReference(benchmark::State &state)
{
    const BlurKernel kernel = BuildBlurKernel(10);
    for (auto _ : state) {
        QImage work = zone().copy();
        floatBlur(work, kernel.weights, kernel.size);
        benchmark::DoNotOptimize(work.constBits());
    }
}
BENCHMARK(BM_FloatBlurReference)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (loadPhotoFile(files().photo).image.size() != QSize(4000, 3000)) {
        std::fprintf(stderr, "the 12-megapixel photo could not be made\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double reduction = reporter.ratio("BM_Reduction", "BM_LibjpegDecodeAndEncodes");
    const double blur = reporter.ratio("BM_BlurZone", "BM_FloatBlurReference");
    if (reduction <= 0 || blur <= 0)
        return 1;
    printRatio("photos: reduction of 12 MP / libjpeg decode and two encodes", reduction, "<= 1.3");
    printRatio("photos: blur of 640 x 480 at radius 10 / separable float blur", blur, "<= 1.5");
    return 0;
}
