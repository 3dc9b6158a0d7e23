#include "imaging/PictureLoader.h"

#include <random>

#include <gtest/gtest.h>

#include "changer/FitToScreen.h"
#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/Resample.h"
#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"
#include "fakes/TestImages.h"
#include "platform/posix/PosixFileSystem.h"

namespace ostrel {
namespace {

using testing::Bgr;
using testing::JpegFlavour;

// Collects what loadPictureRows hands over.
struct CollectedRows final : PictureRows {
    void begin(ImageSize size) override {
        ++begun;
        picture = Image{size.width, size.height, {}};
    }
    void row(const std::uint8_t* bgr) override {
        picture.pixels.insert(picture.pixels.end(), bgr, bgr + picture.rowOffset(1));
    }
    int begun = 0;
    Image picture;
};

struct PictureLoader : ::testing::Test {
    std::string bmpFile(const std::string& name, const Image& picture) {
        return dir.write(name, testing::bmpBytes(picture));
    }

    testing::TempDir dir;
    PosixFileSystem fs;
};

Image noisyImage(int width, int height) {
    std::mt19937 random(5);
    return testing::makeImage(width, height, [&](int x, int y) {
        auto n = static_cast<std::uint8_t>(random() % 64);
        return Bgr{static_cast<std::uint8_t>(x + n), static_cast<std::uint8_t>(y + n), n};
    });
}

// The fitted path resamples each row as the decoder hands it over; the pixels
// must be exactly those of decoding first and resampling after.
TEST_F(PictureLoader, FittedJpegIsDecodedThenResampledToTheFittedSize) {
    const struct {
        ImageSize picture;
        ScreenSize screen;
        JpegFlavour flavour;
    } cases[] = {{{640, 480}, {300, 200}, JpegFlavour::Colour},         // decoded at 4/8, then resampled
                 {{640, 480}, {1280, 1024}, JpegFlavour::Progressive},  // enlarged
                 {{640, 480}, {160, 120}, JpegFlavour::Colour},         // decoded at 2/8, already the fitted size
                 {{640, 480}, {200, 150}, JpegFlavour::Grayscale},      // grey, decoded at 3/8 and resampled
                 {{333, 500}, {1024, 768}, JpegFlavour::Cmyk},
                 {{1600, 1200}, {1024, 768}, JpegFlavour::Colour}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.picture.width) + " on " + std::to_string(c.screen.width));
        const std::string bytes = testing::encodeJpeg(noisyImage(c.picture.width, c.picture.height), 90, c.flavour);
        auto picture = loadWallpaperPicture(fs, dir.write("p.jpg", bytes), true, c.screen);
        ASSERT_TRUE(picture);
        const ImageSize target = xyforscreen(c.picture, c.screen);
        ASSERT_EQ(picture->size(), target);
        testing::MemoryReadStream in(bytes);
        auto decoded = decodeJpeg(in, target);
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(picture->pixels == resample(*decoded, target).pixels);
        CollectedRows rows;  // the same handed over row by row
        ASSERT_TRUE(loadWallpaperRows(fs, dir.path() + "/p.jpg", true, c.screen, rows));
        EXPECT_EQ(rows.begun, 1);
        EXPECT_EQ(rows.picture.size(), target);
        EXPECT_TRUE(rows.picture.pixels == picture->pixels);
    }
}

// Halfway through the rows the decoder gives up; the rows it did hand over
// must not come out as a picture.
TEST_F(PictureLoader, FitFailsCleanlyWhenTheDecoderStopsHalfway) {
    const std::string bytes = testing::encodeJpeg(noisyImage(1600, 1200), 90);
    const std::size_t cut = bytes.size() / 2;
    {
        testing::MemoryReadStream in(bytes, cut);
        JpegRowDecoder decoder(in);
        ASSERT_TRUE(decoder.readHeader());
        Image picture = testing::solidImage(1600, 1200, {});
        ASSERT_EQ(decoder.chooseScale(std::nullopt), picture.size());
        int rows = 0;
        EXPECT_FALSE(decoder.decodeInto(picture, [&](int n) { return (rows = n), true; }));
        ASSERT_GT(rows, 0);
        ASSERT_LT(rows, 1200);
    }
    testing::TestFileSystem failing;
    const std::string path = dir.write("p.jpg", bytes);
    failing.readFailsAfter[path] = cut;
    EXPECT_FALSE(loadWallpaperPicture(failing, path, true, {1024, 768}));
    EXPECT_FALSE(loadWallpaperPicture(fs, dir.write("cut.jpg", bytes.substr(0, cut)), true, {1024, 768}));
    CollectedRows rows;
    EXPECT_FALSE(loadWallpaperRows(failing, path, true, {1024, 768}, rows));
    EXPECT_GT(rows.picture.pixels.size(), 0u);  // rows went out before the break
}

// Without fitting a picture keeps its size; the kind probe, not the name,
// chooses the decoder; a thin picture keeps at least one pixel when fitted.
TEST_F(PictureLoader, LoadsByKindAtItsOwnOrTheFittedSize) {
    const Image original = testing::gradientImage(31, 17);
    auto picture = loadWallpaperPicture(fs, bmpFile("really-a-bitmap.jpg", original), false, {1024, 768});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixels, original.pixels);
    const std::string jpeg = dir.write("really-a-jpeg.bmp", testing::encodeJpeg(original));
    picture = loadWallpaperPicture(fs, jpeg, false, {1024, 768});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), original.size());
    picture = loadWallpaperPicture(fs, bmpFile("line.bmp", testing::gradientImage(4000, 1)), true, {1024, 768});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), (ImageSize{1024, 1}));
    // Handed over by rows, whole pictures too.
    for (const bool fit : {false, true}) {
        CollectedRows rows;
        ASSERT_TRUE(loadWallpaperRows(fs, jpeg, fit, {62, 34}, rows));
        EXPECT_TRUE(rows.picture.pixels == loadWallpaperPicture(fs, jpeg, fit, {62, 34})->pixels) << fit;
    }
    CollectedRows none;
    EXPECT_FALSE(loadWallpaperRows(fs, dir.write("junk.jpg", "junk"), true, {62, 34}, none));
    EXPECT_EQ(none.begun, 0);
}

// A file that is no picture costs its headers, and a bitmap no more than its
// pixels: a film that found its way into the list must not be read whole.
TEST_F(PictureLoader, ReadsNoMoreThanTheHeadersDeclare) {
    const std::string junk(8 << 20, 'v');
    testing::TestFileSystem counting;
    EXPECT_FALSE(loadWallpaperPicture(counting, dir.write("film.jpg", "RIFF" + junk), false, {1024, 768}));
    EXPECT_LE(counting.counts().bytesRead, 5 + kBmpHeaderBytes);

    const std::string bitmap = testing::bmpBytes(testing::gradientImage(64, 32));
    testing::TestFileSystem counting2;
    auto picture = loadWallpaperPicture(counting2, dir.write("tail.bmp", bitmap + junk), false, {1024, 768});
    EXPECT_TRUE(picture && picture->size() == (ImageSize{64, 32}));
    EXPECT_LE(counting2.counts().bytesRead, 5 + bitmap.size());
}

}  // namespace
}  // namespace ostrel
