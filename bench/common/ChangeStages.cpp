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
    : desktop_(desktop),
      dataFolder_(std::move(dataFolder)),
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

const StageName kStageNames[kStages] = {
    {"checks", "checks (exists, kind probe)"},          {"read", "read, 64 KiB blocks"},
    {"decode", "decode at the fitted scale, 1 thread"}, {"fit", "fit (resample) alone"},
    {"decode+fit", "decode + fit on one thread"},       {"write", "bitmap write + replace"},
    {"write_open", "  open the temporary file"},        {"write_data", "  write the bitmap"},
    {"write_commit", "  flush, close, move over"},      {"registry", "registry values"},
    {"change", "SetWall, whole, in process"},           {"change_64x48", "SetWall of a 64x48 JPEG"},
    {"libjpeg_same", "libjpeg alone, the same scale"},  {"floor", "floor: read + libjpeg 1/8"},
    {"preview", "preview in a 320x240 frame"}};

StageRound timeStages(FileSystem& files, Registry& registry, ChangeRig& rig, const std::string& path,
                      const std::string& tiny, int round) {
    StageRound r;
    double* ms = r.ms;
    bool& ok = r.ok;
    ms[Checks] = millis([&] { ok = checkStage(files, path); });
    ms[Read] = millis([&] { ok = ok && readStage(files, path, 64 * 1024) > 0; });
    Decoded decoded;
    const ScreenSize screen = rig.screen();
    ms[Decode] = millis([&] { decoded = decodeStage(files, path, screen); });
    Image fitted;
    ms[Fit] = millis([&] { fitted = fitStage(decoded, screen); });
    ms[Load] = millis([&] { fitted = loadStage(files, path, screen); });
    const auto written = writeStage(files, rig.bitmapPath(), fitted);
    ok = ok && written;
    if (written) {
        ms[Write] = written->total();
        ms[WriteOpen] = written->open;
        ms[WriteData] = written->write;
        ms[WriteCommit] = written->commit;
    }
    ms[RegistryValues] = millis([&] { ok = ok && registryStage(registry, rig.bitmapPath()); });
    for (int k = 0; k < 3; ++k) {
        switch ((round + k) % 3) {
        case 0: ms[Change] = millis([&] { ok = ok && rig.install(path); }); break;
        case 1: ms[LibjpegSame] = millis([&] { ok = ok && libjpegDecode(files, path, screen) > 0; }); break;
        default: ms[LibjpegFloor] = millis([&] { ok = ok && libjpegFloor(files, path) > 0; }); break;
        }
    }
    ms[ChangeTiny] = millis([&] { ok = ok && rig.install(tiny); });
    ms[Preview] = millis([&] { ok = ok && previewStage(files, path, kBenchPreviewFrame).width > 0; });
    return r;
}

bool registryStage(Registry& registry, const std::string& bitmapPath) {
    constexpr const char* kKey = "Control Panel\\desktop";
    return registry.writeString(RegistryRoot::CurrentUser, kKey, "Wallpaper", bitmapPath) &&
           registry.writeString(RegistryRoot::CurrentUser, kKey, "TileWallpaper", "0") &&
           registry.writeString(RegistryRoot::CurrentUser, kKey, "WallpaperStyle", "0");
}

namespace {

// The file fed to libjpeg as the change feeds it: through the same stream, in
// blocks of the same size into one buffer. Reading the file whole into memory
// first would make the yardstick pay for fresh memory the change never takes
// (on some machines a page fault costs more than decoding the page's bytes).
struct BlockSource {
    jpeg_source_mgr pub;
    ReadStream* in;
    std::vector<JOCTET> buffer;
};

boolean fillBlock(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<BlockSource*>(cinfo->src);
    const std::size_t n = src->in->read(src->buffer.data(), src->buffer.size());
    if (n == 0) std::abort();  // the benchmark's own pictures are whole
    src->pub.next_input_byte = src->buffer.data();
    src->pub.bytes_in_buffer = n;
    return TRUE;
}

void skipBlock(j_decompress_ptr cinfo, long count) {
    auto* src = reinterpret_cast<BlockSource*>(cinfo->src);
    auto left = static_cast<std::size_t>(count > 0 ? count : 0);
    while (left > src->pub.bytes_in_buffer) {
        left -= src->pub.bytes_in_buffer;
        fillBlock(cinfo);
    }
    src->pub.next_input_byte += left;
    src->pub.bytes_in_buffer -= left;
}

void noSourceStep(j_decompress_ptr) {}

// At the smallest eighths that cover the picture fitted to the screen, or 1/8
// without one; with the change's output (B G R rows, 16 asked for at a time).
int decodeWithLibjpeg(ReadStream& in, std::optional<ScreenSize> screen) {
    BlockSource source{{}, &in, std::vector<JOCTET>(64 * 1024)};
    source.pub.init_source = noSourceStep;
    source.pub.fill_input_buffer = fillBlock;
    source.pub.skip_input_data = skipBlock;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = noSourceStep;
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = [](j_common_ptr) { std::abort(); };  // the benchmark's own pictures
    jpeg_create_decompress(&cinfo);
    cinfo.src = &source.pub;
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
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
    constexpr int kStripRows = 16;
    const std::size_t rowBytes = static_cast<std::size_t>(cinfo.output_width) * 3;
    std::vector<unsigned char> strip(rowBytes * kStripRows);
    JSAMPROW rows[kStripRows];
    for (int i = 0; i < kStripRows; ++i) rows[i] = strip.data() + static_cast<std::size_t>(i) * rowBytes;
    while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, rows, kStripRows);
    const int width = static_cast<int>(cinfo.output_width);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return width;
}

int decodeFile(const FileSystem& files, const std::string& path, std::optional<ScreenSize> screen) {
    auto in = files.openRead(path);
    return in ? decodeWithLibjpeg(*in, screen) : 0;
}

}  // namespace

int libjpegDecode(const FileSystem& files, const std::string& path, ScreenSize screen) {
    return decodeFile(files, path, screen);
}

int libjpegFloor(const FileSystem& files, const std::string& path) { return decodeFile(files, path, std::nullopt); }

}  // namespace ostrel::bench
