#include "changer/PictureLoader.h"

#include <gtest/gtest.h>

#include "changer/BmpCodec.h"
#include "changer/FitToScreen.h"
#include "fakes/TempDir.h"
#include "fakes/TestImages.h"
#include "platform/posix/PosixFileSystem.h"

namespace ostrel {
namespace {

using testing::Bgr;

class PictureLoader : public ::testing::Test {
protected:
    std::string bmpFile(const std::string& name, const Image& picture) {
        testing::MemoryWriteStream out;
        EXPECT_TRUE(writeBmp24(picture, out));
        return dir.write(name, out.bytes);
    }

    testing::TempDir dir;
    PosixFileSystem fs;
};

struct FitCase {
    ImageSize picture;
    ScreenSize screen;
};

class PictureLoaderFit : public PictureLoader, public ::testing::WithParamInterface<FitCase> {};

TEST_P(PictureLoaderFit, JpegComesOutExactlyAtTheFittedSize) {
    const FitCase& c = GetParam();
    const Bgr colour{40, 120, 200};
    auto path = dir.write("p.jpg", testing::encodeJpeg(testing::solidImage(c.picture.width, c.picture.height, colour), 95));
    auto picture = loadWallpaperPicture(fs, path, true, c.screen);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), xyforscreen(c.picture, c.screen));
    Bgr middle = testing::pixelAt(*picture, picture->width / 2, picture->height / 2);
    EXPECT_NEAR(middle.b, colour.b, 3);
    EXPECT_NEAR(middle.g, colour.g, 3);
    EXPECT_NEAR(middle.r, colour.r, 3);
}

INSTANTIATE_TEST_SUITE_P(
    ShrinkAndEnlarge, PictureLoaderFit,
    ::testing::Values(FitCase{{640, 480}, {300, 200}},     // scaled decode at 3/8, then resampled
                      FitCase{{640, 480}, {1280, 1024}},   // enlarged
                      FitCase{{640, 480}, {160, 120}},     // exactly an eighth scale
                      FitCase{{333, 500}, {1024, 768}}));

TEST_F(PictureLoader, WithoutFitKeepsTheOriginalSize) {
    auto path = dir.write("p.jpg", testing::encodeJpeg(testing::gradientImage(123, 45)));
    auto picture = loadWallpaperPicture(fs, path, false, {1024, 768});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), (ImageSize{123, 45}));
}

TEST_F(PictureLoader, TheKindProbeNotTheNameChoosesTheDecoder) {
    Image original = testing::gradientImage(31, 17);
    auto asJpg = bmpFile("really-a-bitmap.jpg", original);
    auto picture = loadWallpaperPicture(fs, asJpg, false, {1024, 768});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixels, original.pixels);

    auto asBmp = dir.write("really-a-jpeg.bmp", testing::encodeJpeg(original));
    picture = loadWallpaperPicture(fs, asBmp, false, {1024, 768});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), original.size());
}

TEST_F(PictureLoader, FailsForWhatItCannotDecode) {
    EXPECT_FALSE(loadWallpaperPicture(fs, dir.write("p.png", testing::pngBytes()), true, {1024, 768}));
    EXPECT_FALSE(loadWallpaperPicture(fs, dir.write("g.gif", testing::gifBytes(true)), false, {1024, 768}));
    EXPECT_FALSE(loadWallpaperPicture(fs, dir.write("empty.bmp", ""), false, {1024, 768}));
    EXPECT_FALSE(loadWallpaperPicture(fs, dir.file("missing.jpg"), true, {1024, 768}));
    std::string jpeg = testing::encodeJpeg(testing::gradientImage(200, 100));
    EXPECT_FALSE(loadWallpaperPicture(fs, dir.write("cut.jpg", jpeg.substr(0, jpeg.size() / 2)), true, {1024, 768}));
    EXPECT_FALSE(loadWallpaperPicture(fs, dir.write("cut2.jpg", jpeg.substr(0, jpeg.size() / 2)), false, {1024, 768}));
}

TEST_F(PictureLoader, ThinPictureKeepsAtLeastOnePixel) {
    auto path = bmpFile("line.bmp", testing::gradientImage(4000, 1));
    auto picture = loadWallpaperPicture(fs, path, true, {1024, 768});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), (ImageSize{1024, 1}));
}

}  // namespace
}  // namespace ostrel
