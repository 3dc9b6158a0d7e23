#include "tools/make-catalogue/JpegWriter.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstdlib>

#include <jpeglib.h>

namespace ostrel::catalogue {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// error_exit must not return: back to encodeBaselineJpeg, which owns no C++
// object between setjmp and the jump.
void onFatalError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }

#ifdef JCS_EXTENSIONS
constexpr bool kBgrInput = true;  // rows go in as they are stored
#else
constexpr bool kBgrInput = false;
#endif

}  // namespace

std::optional<std::string> encodeBaselineJpeg(const Image& image, int quality) {
    if (image.width <= 0 || image.height <= 0) return std::nullopt;
    std::string row(static_cast<std::size_t>(image.width) * 3, '\0');
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    unsigned char* data = nullptr;
    unsigned long size = 0;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onFatalError;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(data);
        return std::nullopt;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &data, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
#ifdef JCS_EXTENSIONS
    cinfo.in_color_space = JCS_EXT_BGR;
#else
    cinfo.in_color_space = JCS_RGB;
#endif
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint8_t* src = image.row(static_cast<int>(cinfo.next_scanline));
        auto* out = reinterpret_cast<std::uint8_t*>(row.data());
        for (int x = 0; x < image.width; ++x) {
            out[3 * x] = src[3 * x + (kBgrInput ? 0 : 2)];
            out[3 * x + 1] = src[3 * x + 1];
            out[3 * x + 2] = src[3 * x + (kBgrInput ? 2 : 0)];
        }
        JSAMPROW rowPointer = out;
        jpeg_write_scanlines(&cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(data), size);
    jpeg_destroy_compress(&cinfo);
    std::free(data);
    return bytes;
}

}  // namespace ostrel::catalogue
