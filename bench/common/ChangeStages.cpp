#include "ChangeStages.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "app/PreviewFrame.h"
#include "changer/FitToScreen.h"
#include "imaging/BmpCodec.h"
#include "imaging/ImageProbe.h"
#include "imaging/JpegCodec.h"
#include "imaging/Resample.h"

namespace ostrel::bench {

ChangeRig::ChangeRig(FileSystem& files, Registry& registry, Desktop& desktop, std::string dataFolder)
    : dataFolder_(std::move(dataFolder)),
      changer_({files, registry, desktop, random_, dialogs_}, list_, settings_.list, settings_.changer, view_,
               dataFolder_) {
    settings_.changer.fitToScreen = true;  // "Пропорционально"
    settings_.changer.wallpaperStyle = "0";
    list_.writeHeader();
}

bool ChangeRig::install(const std::string& path) {
    list_.setRowCount(2);
    list_.setCell(PathColumn, 1, path);
    const int placeholders = view_.placeholders;
    const int messages = dialogs_.messages;
    changer_.installEntry(1);
    return view_.placeholders == placeholders && dialogs_.messages == messages && settings_.list.currentPath == path;
}

bool checkStage(const FileSystem& files, const std::string& path) {
    return files.fileExists(path) && GetImageType(files, path) == "Jpg";
}

std::size_t readStage(const FileSystem& files, const std::string& path, std::size_t blockSize) {
    auto in = files.openRead(path);
    if (!in) return 0;
    std::vector<char> block(blockSize);
    std::size_t total = 0;
    while (std::size_t n = in->read(block.data(), block.size())) total += n;
    return total;
}

Decoded decodeStage(const FileSystem& files, const std::string& path, ScreenSize screen) {
    auto in = files.openRead(path);
    if (!in) std::abort();
    JpegRowDecoder decoder(*in);
    const auto own = decoder.readHeader();
    if (!own) std::abort();
    const auto size = decoder.chooseScale(xyforscreen(*own, screen));
    if (!size) std::abort();
    // Row by row, as the change decodes; the rows are kept for the fit stage.
    Decoded d{*own, {size->width, size->height, {}}};
    d.picture.pixels.reserve(static_cast<std::size_t>(size->width) * size->height * 3);
    const std::size_t rowBytes = static_cast<std::size_t>(size->width) * 3;
    const auto keep = [&](const std::uint8_t* row) {
        d.picture.pixels.insert(d.picture.pixels.end(), row, row + rowBytes);
    };
    if (!decoder.decodeRows(keep)) std::abort();
    return d;
}

Image fitStage(const Decoded& decoded, ScreenSize screen) {
    // The rows fed to the resampler one by one, as the change does as they are decoded.
    RowResampler resampler(decoded.picture.size(), xyforscreen(decoded.own, screen));
    for (int y = 0; y < decoded.picture.height; ++y) resampler.push(decoded.picture.row(y));
    return resampler.take();
}

Image loadStage(const FileSystem& files, const std::string& path, ScreenSize screen) {
    auto picture = loadWallpaperPicture(files, path, true, screen);
    if (!picture) std::abort();
    return std::move(*picture);
}

std::optional<WriteTimes> writeStage(FileSystem& files, const std::string& bitmapPath, const Image& picture) {
    WriteTimes t;
    std::unique_ptr<WriteStream> out;
    bool ok = false;
    t.open = millis([&] { out = files.openReplace(bitmapPath); });
    if (!out) return std::nullopt;
    t.write = millis([&] { ok = writeBmp24(picture, *out); });
    if (!ok) return std::nullopt;
    t.commit = millis([&] { ok = out->commit(); });
    if (!ok) return std::nullopt;
    return t;
}

Image previewStage(const FileSystem& files, const std::string& path, ImageSize frame) {
    auto framed = previewFrame(files, path, frame);
    if (!framed) std::abort();
    return std::move(*framed);
}

bool registryStage(Registry& registry, const std::string& bitmapPath) {
    constexpr const char* kKey = "Control Panel\\desktop";
    return registry.writeString(RegistryRoot::CurrentUser, kKey, "Wallpaper", bitmapPath) &&
           registry.writeString(RegistryRoot::CurrentUser, kKey, "TileWallpaper", "0") &&
           registry.writeString(RegistryRoot::CurrentUser, kKey, "WallpaperStyle", "0");
}

namespace {

std::vector<unsigned char> wholeFile(const FileSystem& files, const std::string& path) {
    std::vector<unsigned char> bytes;
    auto in = files.openRead(path);
    if (!in) return bytes;
    unsigned char block[1 << 16];
    while (std::size_t n = in->read(reinterpret_cast<char*>(block), sizeof block))
        bytes.insert(bytes.end(), block, block + n);
    return bytes;
}

// At the smallest eighths that cover the picture fitted to the screen, or 1/8 without one.
int decodeWithLibjpeg(const std::vector<unsigned char>& bytes, std::optional<ScreenSize> screen) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = [](j_common_ptr) { std::abort(); };  // the benchmark's own pictures
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_denom = 8;
    cinfo.scale_num = 1;
    const ImageSize atLeast =
        screen ? xyforscreen({static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)}, *screen)
               : ImageSize{};
    for (unsigned num = 1; screen && num <= 8; ++num) {
        cinfo.scale_num = num;
        jpeg_calc_output_dimensions(&cinfo);
        if (cinfo.output_width >= static_cast<unsigned>(atLeast.width) &&
            cinfo.output_height >= static_cast<unsigned>(atLeast.height))
            break;
    }
    cinfo.dct_method = JDCT_ISLOW;
    if (cinfo.scale_num < cinfo.scale_denom) cinfo.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&cinfo);
    std::vector<unsigned char> row(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components);
    JSAMPROW rows[1] = {row.data()};
    while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, rows, 1);
    const int width = static_cast<int>(cinfo.output_width);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return width;
}

}  // namespace

int libjpegDecode(const FileSystem& files, const std::string& path, ScreenSize screen) {
    const std::vector<unsigned char> bytes = wholeFile(files, path);
    return bytes.empty() ? 0 : decodeWithLibjpeg(bytes, screen);
}

int libjpegFloor(const FileSystem& files, const std::string& path) {
    const std::vector<unsigned char> bytes = wholeFile(files, path);
    return bytes.empty() ? 0 : decodeWithLibjpeg(bytes, std::nullopt);
}

}  // namespace ostrel::bench
