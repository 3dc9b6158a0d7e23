#include "imaging/ImageProbe.h"
#include "list/ResolutionText.h"

#include <gtest/gtest.h>

#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"
#include "fakes/TestImages.h"

namespace ostrel {
namespace {

struct ProbeCase {
    const char* name;
    const char* fileName;
    std::optional<std::string> bytes;  // nullopt: the file is not there
    const char* type;
    const char* stat;
};

std::vector<ProbeCase> probeCases() {
    const std::string jpeg = testing::encodeJpeg(testing::gradientImage(37, 21));
    const std::string pixels(112 * 21, '\0'), big(3000u * 1000, '\0');
    return {
        {"Jpeg", "a.jpg", jpeg, "Jpg", "37x21"},
        {"JpegNamedBmp", "a.bmp", jpeg, "Jpg", "37x21"},
        {"CorruptJpegHeader", "a.jpg", jpeg.substr(0, 2) + "\xFF\xC0\x00\x05garbage and more garbage", "Jpg", "0x0"},
        {"BigBmp", "a.bmp", testing::buildBmp({.width = 1000, .height = 1000, .pixels = big}), "Bmp", "1000x1000"},
        // Cut short after the headers: no size to show, as it cannot be installed.
        {"BmpCutAfterItsHeaders", "a.bmp",
         testing::buildBmp({.width = 1000, .height = 1000, .pixels = big}).substr(0, 54 + 2999 * 1000), "Bmp", "0x0"},
        {"BmpTheReaderRefuses", "a.bmp", testing::buildBmp({.width = 37, .height = 21, .bpp = 7, .pixels = pixels}),
         "Bmp", "0x0"},
        {"Png", "a.png", testing::pngBytes(), "Png", "0x0"},
        {"Gif87a", "a.gif", testing::gifBytes(false), "Gif", "0x0"},
        {"Gif89a", "a.gif", testing::gifBytes(true), "Gif89", "0x0"},
        {"TextNamedJpg", "a.jpg", "Hello, world", "NoImage", "0x0"},
        {"Empty", "a.bmp", "", "Bmp", "0x0"},
        {"FourByteGif", "a.gif", "GIF8", "Gif", "0x0"},
        {"ThreeByteGif", "a.gif", "GIF", "NoImage", "0x0"},
        {"SingleB", "a.bmp", "B", "NoImage", "0x0"},
        {"BmOnly", "a.bmp", "BM", "Bmp", "0x0"},
        {"JpegMarkerOnly", "a.jpg", "\xFF\xD8", "Jpg", "0x0"},
        {"PngPrefixShort", "a.png", "\x89PN", "NoImage", "0x0"},
        {"Missing", "none.jpg", std::nullopt, "NoImage", "0x0"},
        {"Folder", "", std::nullopt, "NoImage", "0x0"},
    };
}

TEST(ImageProbe, TypeFromTheFirstFiveBytesStatAndRetries) {
    for (const ProbeCase& c : probeCases()) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const std::string path = c.bytes ? dir.write(c.fileName, *c.bytes) : dir.file(c.fileName);
        testing::TestFileSystem fs, retried, once;
        EXPECT_EQ(GetImageType(fs, path), c.type);
        EXPECT_LE(std::max(fs.counts().bytesRead, fs.counts().largestRead), 5u);
        EXPECT_EQ(GetStat(fs, path), c.stat);
        // One opening for the kind and the size: on a share, the opening is what costs.
        EXPECT_EQ(GetStat(once, path), c.stat);
        EXPECT_LE(once.counts().opens, 1);
        EXPECT_TRUE(c.type != std::string("Bmp") || fs.counts().bytesRead < 1024u);  // the headers are enough
        // A file still being written may read as 0x0 at first: asked up to
        // three times, and whether it is there only once it gave no size.
        // A file that is not there is not tried again.
        const bool there = c.bytes.has_value();
        EXPECT_EQ(resolutionText(retried, path), there ? std::optional(padResolution(c.stat)) : std::nullopt);
        EXPECT_EQ(retried.counts().opens, c.stat == std::string("0x0") && there ? 3 : 1);
        EXPECT_EQ(retried.counts().fileExists, c.stat == std::string("0x0") ? 1 : 0);
    }
}

TEST(ImageProbe, PaddingPutsTheXAtColumnNineForWidthsUpToFourDigits) {
    const std::pair<const char*, const char*> cases[] = {{"0x0", "       0x0"},        {"800x600", "     800x600"},
                                                         {"1024x768", "    1024x768"}, {"12000x900", "   12000x900"},
                                                         {"123456x7", "   123456x7"},  {"none", "   none"}};
    for (const auto& [stat, padded] : cases) EXPECT_EQ(padResolution(stat), padded);
    EXPECT_EQ(screenResolutionText(640, 480), "     640x480");
}

}  // namespace
}  // namespace ostrel
