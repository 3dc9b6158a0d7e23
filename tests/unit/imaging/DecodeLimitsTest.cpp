// Pictures whose headers claim far more than their files hold, and the
// memory limits that stop them.
#include <gtest/gtest.h>

#include "fakes/Ceiling.h"
#include "fakes/TempDir.h"
#include "fakes/TestImages.h"
#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureLoader.h"
#include "platform/posix/PosixFileSystem.h"

namespace ostrel {
namespace {

using testing::BmpFile;
using testing::CeilingOutcome;

std::string rle8Claiming(int width, int height) {
    return testing::buildBmp({.width = width,
                              .height = height,
                              .bpp = 8,
                              .compression = 1,
                              .clrUsed = 1,
                              .palette = {0xFF0000},
                              .pixels = testing::hexBytes("0001")});
}

// Decoded whole (installing centred or stretched), fitted to the screen as
// it is decoded (installing, the viewer), or as the download browser's preview.
enum class Use { Whole, Fitted, Preview };

struct Bomb {
    std::string name;
    std::string bytes;
    Use use;
    friend void PrintTo(const Bomb& bomb, std::ostream* out) { *out << bomb.name; }
};

std::vector<Bomb> bombs() {
    using testing::jpegClaiming;
    return {
        {"Rle8Of20000Squared", rle8Claiming(20000, 20000), Use::Whole},
        {"Rle8Of20000SquaredAsPreview", rle8Claiming(20000, 20000), Use::Preview},
        // Within the memory limit, but 480 MB and seconds of work for 60 bytes.
        {"Rle8Of12000x14000", rle8Claiming(12000, 14000), Use::Whole},
        {"CoreHeader24BitOf20000x19500", testing::buildBmp({.infoSize = 12, .width = 20000, .height = 19500}),
         Use::Whole},
        {"Progressive16000Squared", jpegClaiming(16000, 16000), Use::Whole},
        {"Progressive16000SquaredAsPreview", jpegClaiming(16000, 16000), Use::Preview},
        {"Progressive65500SquaredAsPreview", jpegClaiming(65500, 65500), Use::Preview},
        // Within the limit of a picture, beyond that of a preview.
        {"Progressive6000SquaredAsPreview", jpegClaiming(6000, 6000), Use::Preview},
        // Rows only are kept, but libjpeg went over all 4 billion pixels' blocks.
        {"Baseline65500SquaredFitted", jpegClaiming(65500, 65500, testing::JpegFlavour::Colour), Use::Fitted},
    };
}

class DecompressionBomb : public ::testing::TestWithParam<Bomb> {};

// Refused before its memory is taken, and at once: the child running the
// decode is ended as soon as it grows by 64 MB or runs for 2 s.
TEST_P(DecompressionBomb, IsRefusedWithinMemoryAndTime) {
    const Bomb& bomb = GetParam();
    ASSERT_LT(bomb.bytes.size(), 1000u);
    testing::TempDir dir;
    PosixFileSystem fs;
    const std::string path = dir.write("bomb", bomb.bytes);
    const auto sizedTo = [](ImageSize size) { return [size](ImageSize) { return std::optional(size); }; };
    EXPECT_EQ(testing::underCeiling(
                  std::uint64_t{64} << 20, 2,
                  [&] {
                      switch (bomb.use) {
                      case Use::Whole: return loadPicture(fs, path).has_value();
                      case Use::Fitted: return loadPicture(fs, path, sizedTo({1280, 1024})).has_value();
                      case Use::Preview:
                          return loadPicture(fs, path, sizedTo({138, 121}), kPreviewMemoryLimit).has_value();
                      }
                      return true;
                  }),
              CeilingOutcome::False);
}

INSTANTIATE_TEST_SUITE_P(Pictures, DecompressionBomb, ::testing::ValuesIn(bombs()),
                         [](const auto& info) { return info.param.name; });

// The limit is what decides: the picture's bytes for a bitmap, and for a
// progressive JPEG the picture with the coefficients libjpeg keeps.
TEST(DecodeLimits, APictureAtTheLimitDecodesAndOneByteLessRefuses) {
    const std::string bmp = rle8Claiming(100, 100);
    EXPECT_TRUE(decodeBmp(bmp, 100 * 100 * 3));
    EXPECT_FALSE(decodeBmp(bmp, 100 * 100 * 3 - 1));

    const std::string jpeg =
        testing::encodeJpeg(testing::gradientImage(256, 256), 80, testing::JpegFlavour::Progressive);
    const std::uint64_t coefficients = (32 * 32 + 2 * 16 * 16) * 128, picture = 256 * 256 * 3;
    testing::MemoryReadStream refused(jpeg), decoded(jpeg);
    EXPECT_FALSE(decodeJpeg(refused, std::nullopt, coefficients + picture - 1));
    EXPECT_TRUE(decodeJpeg(decoded, std::nullopt, coefficients + picture + (1 << 20)));
}

// Damage that the data goes on after is decoded as other programs decode it,
// where the file is long enough for its picture: a few bad bytes, a stray
// marker. The picture is the file's up to the damage.
TEST(DecodeLimits, APhotoDamagedInTheMiddleStillDecodes) {
    const Image photo = testing::gradientImage(512, 512);
    const std::string clean = testing::encodeJpeg(photo, 90);
    const std::size_t scan = clean.find("\xFF\xDA"), middle = scan + (clean.size() - scan) / 2;
    std::string strayMarker = clean, badBytes = clean;
    strayMarker.insert(middle, "\xFF\xD3");
    for (std::size_t i = middle; i < middle + 8; ++i) badBytes[i] = static_cast<char>(badBytes[i] ^ 0x5A);
    for (const std::string* damaged : {&strayMarker, &badBytes}) {
        testing::MemoryReadStream in(*damaged);
        const auto image = decodeJpeg(in);
        ASSERT_TRUE(image) << (damaged == &strayMarker ? "stray marker" : "bad bytes");
        EXPECT_NEAR(testing::pixelAt(*image, 10, 10).r, testing::pixelAt(photo, 10, 10).r, 8);
    }
}

// Each scan goes over all the coefficients again; a file of more scans than
// a decode can afford is refused, its size still known.
TEST(DecodeLimits, AFileOfTooManyScansIsRefused) {
    const std::string jpeg = testing::encodeJpeg(testing::gradientImage(64, 64), 80, testing::JpegFlavour::ManyScans);
    testing::MemoryReadStream decoding(jpeg), sizing(jpeg);
    EXPECT_FALSE(decodeJpeg(decoding));
    EXPECT_EQ(jpegSize(sizing), (ImageSize{64, 64}));
}

}  // namespace
}  // namespace ostrel
