// Photos of the demo vehicles: a drawn car in front of a sky, written as baseline JPEG files
// of the two sizes the client uploads (640 x 480 and the 120 x 90 miniature).

#include "seed/SeedData.h"

#include <jpeglib.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace dravik::seed::detail {

namespace {

struct Rgb
{
    unsigned char r, g, b;
};

// The picture at unit coordinates (x, y in 0..1): sky, road, a car body, windows, wheels and
// a white plate. The body colour comes from the seed.
Rgb pixel(double x, double y, Rgb body)
{
    const auto inEllipse = [&](double cx, double cy, double rx, double ry) {
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
    if (inEllipse(0.30, 0.74, 0.075, 0.10) || inEllipse(0.72, 0.74, 0.075, 0.10))
        return inEllipse(0.30, 0.74, 0.035, 0.047) || inEllipse(0.72, 0.74, 0.035, 0.047)
                ? Rgb {170, 170, 175}
                : Rgb {25, 25, 28};
    if (x > 0.44 && x < 0.58 && y > 0.66 && y < 0.71)
        return {245, 245, 245}; // plate
    if (x > 0.15 && x < 0.87 && y > 0.52 && y < 0.74)
        return body;
    if (x > 0.28 && x < 0.72 && y > 0.36 && y <= 0.52) {
        const bool window = y > 0.39 && ((x > 0.32 && x < 0.49) || (x > 0.51 && x < 0.68));
        return window ? Rgb {150, 190, 215} : body;
    }
    if (y > 0.70)
        return {95, 95, 100}; // road
    const auto blue = static_cast<unsigned char>(150 + 90 * y);
    return {static_cast<unsigned char>(110 + 80 * y), static_cast<unsigned char>(160 + 60 * y),
            blue};
}

void writeJpeg(const std::string &path, int width, int height, Rgb body)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr jerr {};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> line(static_cast<size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const double y = (cinfo.next_scanline + 0.5) / height;
        for (int i = 0; i < width; ++i) {
            const Rgb p = pixel((i + 0.5) / width, y, body);
            line[static_cast<size_t>(i) * 3] = p.r;
            line[static_cast<size_t>(i) * 3 + 1] = p.g;
            line[static_cast<size_t>(i) * 3 + 2] = p.b;
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool closed = std::fclose(file) == 0;
    if (!closed)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

void writePhoto(const std::string &photoDir, const std::string &name, int seed)
{
    static const std::vector<Rgb> bodies
            = {{200, 30, 35},   {30, 60, 140}, {235, 235, 230}, {40, 40, 45},
               {150, 155, 160}, {60, 110, 70}, {190, 150, 60}};
    std::filesystem::create_directories(photoDir);
    const Rgb body = bodies[static_cast<size_t>(seed) % bodies.size()];
    const std::filesystem::path dir(photoDir);
    writeJpeg((dir / (name + ".jpg")).string(), 640, 480, body);
    writeJpeg((dir / (name + "m.jpg")).string(), 120, 90, body);
}

} // namespace dravik::seed::detail
