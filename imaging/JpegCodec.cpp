#include "imaging/JpegCodec.h"

#include <algorithm>
#include <cstdint>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace ostrel {
namespace {

// Same limits as the BMP reader: refuse before allocating a picture no desktop can hold.
constexpr std::uint64_t kMaxPixels = 400'000'000;

// A progressive file goes over the whole picture's coefficients once per
// scan, and a scan costs its file a dozen bytes: beyond this many scans (the
// usual encoders write about ten) the work no longer follows the file's size.
constexpr int kMaxScans = 100;

// libjpeg reports fatal errors through error_exit, which must not return. It
// jumps back into the small phase functions below; the frames it skips are
// libjpeg's own and the stream callbacks, none of which own C++ objects.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void onFatalError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }

void discardMessage(j_common_ptr) {}

void countScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        onFatalError(cinfo);
}

// Feeds libjpeg from a ReadStream one block at a time.
struct StreamSource {
    jpeg_source_mgr pub;
    ReadStream* in;
    JOCTET* buffer;
    std::size_t capacity;
    bool ranOut;        // the file ended before libjpeg was done with it
    std::uint64_t fed;  // bytes handed to libjpeg so far
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<StreamSource*>(cinfo->src);
    std::size_t n = src->in->read(src->buffer, src->capacity);
    if (n == 0) {
        if (src->in->failed()) ERREXIT(cinfo, JERR_FILE_READ);
        // As libjpeg's own sources do: an end marker lets it finish what it has.
        src->ranOut = true;
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
        WARNMS(cinfo, JWRN_JPEG_EOF);
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    src->fed += n;
    return TRUE;
}

// Damaged data (a marker where data should be, a lost restart, a progression
// out of order) leaves libjpeg to go on over the rest of the declared picture,
// with nothing more to decode where the scan was cut. For a damaged photo that
// is the work its own size would take anyway, and it is decoded as other
// programs decode it; for a few hundred bytes claiming 65500 x 65500 it is all
// the work of a size the file never paid for. So damage is borne only while
// the bytes read so far could plausibly hold the declared picture (the
// cheapest real encoding, flat grey, takes about a byte for 60 pixels). A file
// that ends before its picture does is refused outright, as before.
constexpr std::uint64_t kPixelsPerByteBorne = 256;

std::uint64_t bytesConsumed(j_decompress_ptr cinfo) {
    const auto* src = reinterpret_cast<const StreamSource*>(cinfo->src);
    return src->fed - src->pub.bytes_in_buffer;
}

void stopOnCorruptData(j_common_ptr cinfo, int level) {
    if (level >= 0 || !cinfo->is_decompressor) return;  // trace messages
    const auto d = reinterpret_cast<j_decompress_ptr>(cinfo);
    switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF: onFatalError(cinfo); break;
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
        if (std::uint64_t{d->image_width} * d->image_height > kPixelsPerByteBorne * bytesConsumed(d))
            onFatalError(cinfo);
        break;
    default: break;  // extraneous bytes between markers and the like: harmless
    }
}

void skipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    auto* src = reinterpret_cast<StreamSource*>(cinfo->src);
    std::size_t left = static_cast<std::size_t>(count);
    while (left > src->pub.bytes_in_buffer) {
        left -= src->pub.bytes_in_buffer;
        fillInput(cinfo);
        if (src->ranOut) return;  // past the end: leave the fake end marker to be read
    }
    src->pub.next_input_byte += left;
    src->pub.bytes_in_buffer -= left;
}

enum class Output { Bgr, Cmyk };

#ifdef JCS_EXTENSIONS
constexpr J_COLOR_SPACE kBgrSpace = JCS_EXT_BGR;  // rows land straight in the picture's layout
constexpr bool kSwapRedBlue = false;
#else
constexpr J_COLOR_SPACE kBgrSpace = JCS_RGB;
constexpr bool kSwapRedBlue = true;
#endif

// One libjpeg decompressor over a stream. Each phase that calls into libjpeg
// sets its own jump target and holds nothing but plain values.
class Decompressor {
public:
    Decompressor(ReadStream& in, std::size_t blockSize, std::uint64_t memoryLimit)
        : buffer_(blockSize), memoryLimit_(memoryLimit) {
        cinfo_.err = jpeg_std_error(&err_.pub);
        err_.pub.error_exit = onFatalError;
        err_.pub.output_message = discardMessage;
        err_.pub.emit_message = stopOnCorruptData;
        src_.pub.init_source = initSource;
        src_.pub.fill_input_buffer = fillInput;
        src_.pub.skip_input_data = skipInput;
        src_.pub.resync_to_restart = jpeg_resync_to_restart;
        src_.pub.term_source = termSource;
        src_.pub.bytes_in_buffer = 0;
        src_.pub.next_input_byte = nullptr;
        src_.in = &in;
        src_.buffer = buffer_.data();
        src_.capacity = buffer_.size();
        src_.ranOut = false;
        src_.fed = 0;
        progress_.progress_monitor = countScans;
    }
    ~Decompressor() {
        if (created_) jpeg_destroy_decompress(&cinfo_);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    bool readHeader() {
        if (setjmp(err_.jump)) return false;
        created_ = true;
        jpeg_create_decompress(&cinfo_);
        cinfo_.src = &src_.pub;
        cinfo_.progress = &progress_;
        jpeg_read_header(&cinfo_, TRUE);
        return cinfo_.image_width > 0 && cinfo_.image_height > 0;
    }

    ImageSize headerSize() const {
        return {static_cast<int>(cinfo_.image_width), static_cast<int>(cinfo_.image_height)};
    }

    // Picks the output colour space and the scale; libjpeg does no decoding yet.
    bool choose(const ImageSize* atLeast) {
        if (setjmp(err_.jump)) return false;
        // An arithmetic coder can spend a fraction of a bit on a block, so no
        // file size bounds the work of its picture. Few programs write such
        // files and Windows itself does not read them.
        if (cinfo_.arith_code) return false;
        switch (cinfo_.jpeg_color_space) {
        case JCS_CMYK:
        case JCS_YCCK:
            output_ = Output::Cmyk;
            cinfo_.out_color_space = JCS_CMYK;
            break;
        default:
            output_ = Output::Bgr;
            cinfo_.out_color_space = kBgrSpace;
            break;
        }
        // Reduced sizes use libjpeg-turbo's scaled IDCTs, which have no fast
        // variant, so the accurate integer method costs nothing extra there.
        cinfo_.dct_method = JDCT_ISLOW;
        cinfo_.scale_num = 8;
        cinfo_.scale_denom = 8;
        if (atLeast) {
            for (unsigned num = 1; num <= 8; ++num) {
                cinfo_.scale_num = num;
                jpeg_calc_output_dimensions(&cinfo_);
                if (cinfo_.output_width >= static_cast<unsigned>(atLeast->width) &&
                    cinfo_.output_height >= static_cast<unsigned>(atLeast->height))
                    break;
            }
        }
        // A reduced picture is resampled again afterwards, so the plain (merged)
        // chroma upsampling loses nothing visible and saves a pass.
        if (cinfo_.scale_num < cinfo_.scale_denom) cinfo_.do_fancy_upsampling = FALSE;
        jpeg_calc_output_dimensions(&cinfo_);
        return static_cast<std::uint64_t>(cinfo_.output_width) * cinfo_.output_height <= kMaxPixels &&
               wholeImageBytes() <= memoryLimit_;
    }

    // What libjpeg keeps for the whole picture: a file of several scans has
    // every component's coefficients at full size (2 bytes each, one per
    // pixel of the component), as libjpeg's coefficient controller asks for
    // them, whatever the output's scale. A single-scan file keeps rows only.
    std::uint64_t wholeImageBytes() const {
        if (!jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&cinfo_))) return 0;
        std::uint64_t bytes = 0;
        for (int c = 0; c < cinfo_.num_components; ++c) {
            const jpeg_component_info& comp = cinfo_.comp_info[c];
            const auto roundUp = [](std::uint64_t v, std::uint64_t to) { return (v + to - 1) / to * to; };
            // jpeg_read_header refused sampling factors outside 1..4.
            const auto across = static_cast<std::uint64_t>(comp.h_samp_factor);
            const auto down = static_cast<std::uint64_t>(comp.v_samp_factor);
            bytes += roundUp(comp.width_in_blocks, across) * roundUp(comp.height_in_blocks, down) * sizeof(JBLOCK);
        }
        return bytes;
    }

    Output output() const { return output_; }
    ImageSize outputSize() const {
        return {static_cast<int>(cinfo_.output_width), static_cast<int>(cinfo_.output_height)};
    }

    // A progressive file is read whole here. held: what the caller keeps
    // meanwhile (the picture being filled); libjpeg may use the rest of the
    // limit and fails rather than take more.
    bool begin(std::uint64_t held) {
        if (held > memoryLimit_ || wholeImageBytes() > memoryLimit_ - held) return false;
        if (setjmp(err_.jump)) return false;
        // At least 1: 0 would mean no limit at all.
        cinfo_.mem->max_memory_to_use = static_cast<long>(
            std::max<std::uint64_t>(1, std::min<std::uint64_t>(memoryLimit_ - held, std::numeric_limits<long>::max())));
        jpeg_start_decompress(&cinfo_);
        return cinfo_.output_components == (output_ == Output::Cmyk ? 4 : 3);
    }

    // rows holds one pointer per output row; each batch of finished rows is
    // reported through rowsDone, which answers false to stop.
    template <typename RowsDone>
    bool readAll(JSAMPROW* rows, RowsDone& rowsDone) {
        if (setjmp(err_.jump)) return false;
        while (cinfo_.output_scanline < cinfo_.output_height) {
            JDIMENSION done = cinfo_.output_scanline;
            if (jpeg_read_scanlines(&cinfo_, rows + done, cinfo_.output_height - done) == 0) return false;
            if (!rowsDone(static_cast<int>(done), static_cast<int>(cinfo_.output_scanline))) return false;
        }
        return !src_.ranOut;
    }

    // Rows into a strip of stripRows rows; stripDone hears how many it holds.
    template <typename StripDone>
    bool readStrips(JSAMPROW* strip, int stripRows, StripDone& stripDone) {
        if (setjmp(err_.jump)) return false;
        while (cinfo_.output_scanline < cinfo_.output_height) {
            const JDIMENSION n = jpeg_read_scanlines(&cinfo_, strip, static_cast<JDIMENSION>(stripRows));
            if (n == 0) return false;
            stripDone(static_cast<int>(n));
        }
        return !src_.ranOut;
    }

    // CMYK comes one row at a time through cmykRow and is converted into image.
    template <typename RowsDone>
    bool readAllCmyk(JSAMPROW cmykRow, Image* image, RowsDone& rowsDone) {
        if (setjmp(err_.jump)) return false;
        const bool inverted = cinfo_.saw_Adobe_marker;
        while (cinfo_.output_scanline < cinfo_.output_height) {
            int y = static_cast<int>(cinfo_.output_scanline);
            if (jpeg_read_scanlines(&cinfo_, &cmykRow, 1) != 1) return false;
            convertCmyk(cmykRow, image->row(y), image->width, inverted);
            if (!rowsDone(y, y + 1)) return false;
        }
        return !src_.ranOut;
    }

    bool invertedCmyk() const { return cinfo_.saw_Adobe_marker; }

    // Adobe files store inverted CMYK (255 = no ink), which libjpeg hands over as is.
    static void convertCmyk(const JSAMPLE* in, std::uint8_t* out, int width, bool inverted) {
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            unsigned c = in[0], m = in[1], y = in[2], k = in[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            out[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
            out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
            out[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
        }
    }

private:
    jpeg_decompress_struct cinfo_{};
    ErrorManager err_{};
    StreamSource src_{};
    std::vector<JOCTET> buffer_;
    std::uint64_t memoryLimit_;
    jpeg_progress_mgr progress_{};
    bool created_ = false;
    Output output_ = Output::Bgr;
};

}  // namespace

class JpegRowDecoder::Impl : public Decompressor {
public:
    using Decompressor::Decompressor;
};

std::optional<ImageSize> jpegSize(ReadStream& in) {
    // Headers are usually within the first few KiB; a large Exif block is skipped block by block.
    Decompressor d(in, 16 * 1024, 0);  // headers only: no limit is ever asked for
    if (!d.readHeader()) return std::nullopt;
    return d.headerSize();
}

JpegRowDecoder::JpegRowDecoder(ReadStream& in, std::uint64_t memoryLimit)
    : d_(std::make_unique<Impl>(in, 64 * 1024, memoryLimit)) {}
JpegRowDecoder::~JpegRowDecoder() = default;

std::optional<ImageSize> JpegRowDecoder::readHeader() {
    if (!d_->readHeader()) return std::nullopt;
    return d_->headerSize();
}

std::optional<ImageSize> JpegRowDecoder::chooseScale(std::optional<ImageSize> atLeast) {
    if (atLeast && (atLeast->width <= 0 || atLeast->height <= 0)) atLeast.reset();
    if (!d_->choose(atLeast ? &*atLeast : nullptr)) return std::nullopt;
    return d_->outputSize();
}

bool JpegRowDecoder::decodeInto(Image& picture, const std::function<bool(int)>& rowsDone) {
    const ImageSize size = d_->outputSize();
    if (size.width <= 0 || size.height <= 0) return false;
    const std::uint64_t bytes = pictureBytes(size.width, size.height);
    try {
        // Checked before the picture is made: it counts against the limit too.
        if (!d_->begin(bytes)) return false;
        picture = Image{size.width, size.height, {}};
        picture.pixels.resize(static_cast<std::size_t>(bytes));
        auto finished = [&](int from, int to) {
            if constexpr (kSwapRedBlue)
                for (std::uint8_t *p = picture.row(from), *end = picture.row(to); p != end; p += 3)
                    std::swap(p[0], p[2]);
            return rowsDone(to);
        };
        if (d_->output() == Output::Cmyk) {
            std::vector<JSAMPLE> cmykRow(static_cast<std::size_t>(picture.width) * 4);
            return d_->readAllCmyk(cmykRow.data(), &picture, finished);
        }
        std::vector<JSAMPROW> rows(static_cast<std::size_t>(picture.height));
        for (int y = 0; y < picture.height; ++y) rows[static_cast<std::size_t>(y)] = picture.row(y);
        return d_->readAll(rows.data(), finished);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool JpegRowDecoder::decodeRows(const std::function<void(const std::uint8_t*)>& row) {
    const ImageSize size = d_->outputSize();
    if (size.width <= 0 || size.height <= 0) return false;
    try {
        // Rows are asked for 16 at a time; libjpeg gives as many as it has
        // ready, up to that, whatever the scale and sampling.
        constexpr int kStripRows = 16;
        const bool cmyk = d_->output() == Output::Cmyk;
        const std::size_t rowBytes = static_cast<std::size_t>(size.width) * (cmyk ? 4 : 3);
        if (!d_->begin(rowBytes * kStripRows)) return false;
        std::vector<JSAMPLE> strip(rowBytes * kStripRows);
        std::vector<std::uint8_t> bgr(cmyk ? static_cast<std::size_t>(size.width) * 3 : 0);
        JSAMPROW rows[kStripRows];
        for (int i = 0; i < kStripRows; ++i) rows[i] = strip.data() + static_cast<std::size_t>(i) * rowBytes;
        auto stripDone = [&](int n) {
            for (int i = 0; i < n; ++i) {
                std::uint8_t* p = rows[i];
                if (cmyk) {
                    Decompressor::convertCmyk(p, bgr.data(), size.width, d_->invertedCmyk());
                    p = bgr.data();
                } else if constexpr (kSwapRedBlue) {
                    for (std::uint8_t *q = p, *end = p + rowBytes; q != end; q += 3) std::swap(q[0], q[2]);
                }
                row(p);
            }
        };
        return d_->readStrips(rows, kStripRows, stripDone);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::optional<Image> decodeJpeg(ReadStream& in, std::optional<ImageSize> atLeast, std::uint64_t memoryLimit) {
    try {
        JpegRowDecoder decoder(in, memoryLimit);
        if (!decoder.readHeader() || !decoder.chooseScale(atLeast)) return std::nullopt;
        Image image;
        if (!decoder.decodeInto(image, [](int) { return true; })) return std::nullopt;
        return image;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace ostrel
