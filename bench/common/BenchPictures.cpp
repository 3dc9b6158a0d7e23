#include "BenchPictures.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace ostrel::bench {
namespace {

[[noreturn]] void encoderFailed(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, message);
    std::fprintf(stderr, "benchmark picture: %s\n", message);
    std::abort();
}

}  // namespace

void writeJpeg(const std::string& path, int width, int height, int quality, unsigned seed, int noise) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    err.error_exit = encoderFailed;
    jpeg_create_compress(&cinfo);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    unsigned state = seed;
    auto clamp = [](int v) { return static_cast<JSAMPLE>(v < 0 ? 0 : v > 255 ? 255 : v); };
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int n = static_cast<int>((state >> 24) % (2 * noise + 1)) - noise;
            row[3 * x] = clamp(40 + 180 * y / height + n);
            row[3 * x + 1] = clamp(60 + 120 * x / width + n);
            row[3 * x + 2] = clamp(200 - 150 * (x + y) / (width + height) + n);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(f);
}

}  // namespace ostrel::bench
