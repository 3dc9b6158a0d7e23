#include "list/ImageProbe.h"

#include <gtest/gtest.h>

#include "fakes/TempDir.h"
#include "fakes/TestImages.h"
#include "platform/posix/PosixFileSystem.h"

namespace ostrel {
namespace {

using testing::BmpFile;

struct ProbeCase {
    const char* name;
    const char* fileName;
    std::string bytes;
    const char* type;
    const char* stat;
};

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }

std::string bmp37x21(std::int32_t height = 21) {
    return testing::buildBmp({.width = 37, .height = height, .pixels = std::string(112 * 21, '\0')});
}

std::vector<ProbeCase> probeCases() {
    const std::string jpeg = testing::encodeJpeg(testing::gradientImage(37, 21));
    std::string brokenJpeg = jpeg.substr(0, 2) + "\xFF\xC0\x00\x05garbage and more garbage";
    BmpFile core{.infoSize = 12, .width = 37, .height = 21, .pixels = std::string(112 * 21, '\0')};
    BmpFile bpp7{.width = 37, .height = 21, .bpp = 7, .pixels = std::string(112 * 21, '\0')};
    return {
        {"Jpeg", "a.jpg", jpeg, "Jpg", "37x21"},
        {"JpegNamedBmp", "a.bmp", jpeg, "Jpg", "37x21"},
        {"Bmp", "a.bmp", bmp37x21(), "Bmp", "37x21"},
        {"BmpTopDown", "a.bmp", bmp37x21(-21), "Bmp", "37x21"},
        {"BmpCoreHeader", "a.bmp", testing::buildBmp(core), "Bmp", "37x21"},
        {"BmpHeaderTheReaderRefuses", "a.bmp", testing::buildBmp(bpp7), "Bmp", "0x0"},
        {"Png", "a.png", testing::pngBytes(), "Png", "0x0"},
        {"Gif87a", "a.gif", testing::gifBytes(false), "Gif", "0x0"},
        {"Gif89a", "a.gif", testing::gifBytes(true), "Gif89", "0x0"},
        {"TextNamedJpg", "a.jpg", "Hello, world", "NoImage", "0x0"},
        {"CorruptJpegHeader", "a.jpg", brokenJpeg, "Jpg", "0x0"},
        {"Empty", "a.bmp", "", "Bmp", "0x0"},
        {"ThreeByteGif", "a.gif", "GIF", "NoImage", "0x0"},
        {"FourByteGif", "a.gif", "GIF8", "Gif", "0x0"},
        {"SingleB", "a.bmp", "B", "NoImage", "0x0"},
        {"BmOnly", "a.bmp", "BM", "Bmp", "0x0"},
        {"JpegMarkerOnly", "a.jpg", "\xFF\xD8", "Jpg", "0x0"},
        {"PngPrefixShort", "a.png", "\x89PN", "NoImage", "0x0"},
    };
}

class Probe : public ::testing::TestWithParam<ProbeCase> {
protected:
    testing::TempDir dir;
    testing::CountingFileSystem fs;
};

TEST_P(Probe, TypeFromTheFirstFiveBytesOnly) {
    auto path = dir.write(GetParam().fileName, GetParam().bytes);
    EXPECT_EQ(GetImageType(fs, path), GetParam().type);
    EXPECT_LE(fs.counts().bytesRead, 5u);
    EXPECT_LE(fs.counts().largestRead, 5u);
}

TEST_P(Probe, Stat) {
    auto path = dir.write(GetParam().fileName, GetParam().bytes);
    EXPECT_EQ(GetStat(fs, path), GetParam().stat);
}

INSTANTIATE_TEST_SUITE_P(Files, Probe, ::testing::ValuesIn(probeCases()),
                         [](const auto& info) { return info.param.name; });

TEST(ProbeMissing, MissingFile) {
    PosixFileSystem fs;
    testing::TempDir dir;
    EXPECT_EQ(GetImageType(fs, dir.file("none.jpg")), "NoImage");
    EXPECT_EQ(GetStat(fs, dir.file("none.jpg")), "0x0");
    EXPECT_EQ(GetImageType(fs, dir.path()), "NoImage");  // a folder is no file
}

TEST(ProbeStat, BmpSizeReadsOnlyTheHeaders) {
    testing::TempDir dir;
    testing::CountingFileSystem fs;
    auto path = dir.write("big.bmp", testing::buildBmp({.width = 1000, .height = 1000,
                                                        .pixels = std::string(3000u * 1000, '\0')}));
    EXPECT_EQ(GetStat(fs, path), "1000x1000");
    EXPECT_LT(fs.counts().bytesRead, 1024u);
}

class Pad : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(Pad, PutsTheXAtColumnNineForShortWidths) {
    EXPECT_EQ(padResolution(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Widths, Pad,
                         ::testing::Values(std::pair{"0x0", "       0x0"}, std::pair{"1x1", "       1x1"},
                                           std::pair{"800x600", "     800x600"},
                                           std::pair{"1024x768", "    1024x768"},
                                           std::pair{"12000x900", "   12000x900"},
                                           std::pair{"123456x7", "   123456x7"}, std::pair{"none", "   none"}));

TEST(ResolutionText, AsksUpToThreeTimesWhileTheAnswerIs0x0) {
    testing::TempDir dir;
    testing::CountingFileSystem unreadable;
    EXPECT_EQ(resolutionText(unreadable, dir.write("a.png", testing::pngBytes())), "       0x0");
    EXPECT_EQ(unreadable.counts().fileExists, 3);

    testing::CountingFileSystem readable;
    EXPECT_EQ(resolutionText(readable, dir.write("a.jpg", testing::encodeJpeg(testing::gradientImage(37, 21)))),
              "      37x21");
    EXPECT_EQ(readable.counts().fileExists, 1);
}

TEST(ResolutionText, Screen) {
    EXPECT_EQ(screenResolutionText(1024, 768), "    1024x768");
    EXPECT_EQ(screenResolutionText(640, 480), "     640x480");
}

}  // namespace
}  // namespace ostrel
