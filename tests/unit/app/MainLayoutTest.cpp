#include "app/MainLayout.h"

#include <gtest/gtest.h>

#include <tuple>

#include "app/PreviewFrame.h"
#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"
#include "fakes/TestImages.h"
#include "platform/ReadsWhileWanted.h"

namespace ostrel {
namespace {

using testing::Bgr;
using testing::pixelAt;

TEST(MainLayout, ThePreviewKeepsFourToThreeAndThePanelFollowsIt) {
    // Dragging the list's edge 101 pixels right: 301 wide, 225 high (truncated).
    const FaceLayout dragged = layOutFace(413);
    EXPECT_EQ(dragged.preview, (Box{84, 116, 301, 225}));
    EXPECT_EQ(dragged.panelLeft, (Box{83, 365, 2, 113}));
    EXPECT_EQ(dragged.panelMiddle, (Box{85, 365, 102, 113}));
    EXPECT_EQ(dragged.panelRight, (Box{187, 365, 199, 113}));
    EXPECT_EQ(dragged.toolBar2, (Box{85 + 150 - 88, 379, 176, 41}));  // centred under the preview
    EXPECT_EQ(dragged.toolBar1, (Box{85 + 150 - 88, 365 + 72, 177, 25}));
}

TEST(MainLayout, TheListsLimitsComeFromTheWindowSize) {
    const ListBounds designed = listBounds(904, 570, 516, 312);
    EXPECT_EQ(std::tuple(designed.minWidth, designed.maxWidth, designed.height, designed.minHeight),
              std::tuple(904 - 560 + 115, 590, 524, 524));
    EXPECT_EQ(listBounds(515, 900, 800, 311).minWidth, 200);  // never below 200
    // Where the list stands: the width asked for, held within the limits, with
    // the right edge 4 pixels inside the window.
    const struct {
        int windowWidth, windowHeight, left, placedLeft, placedWidth;
    } placed[] = {
        {904, 570, 312, 312, 588},  // the designed size
        {800, 472, 311, 310, 486},  // the limits meet
        {904, 570, 400, 400, 500},  // dragged, within the limits
        {904, 570, 500, 441, 459},  // too narrow: the minimum
        {904, 570, 250, 310, 590},  // too wide: the maximum
    };
    for (const auto& c : placed) {
        const ListBounds b = listBounds(c.windowWidth, c.windowHeight, 516, c.left);
        EXPECT_EQ(std::tuple(b.left, b.width), std::tuple(c.placedLeft, c.placedWidth)) << c.left;
    }
}

TEST(MainLayout, PaintFillsTheFrameAndMirrorsTheShadow) {
    const FaceLayout f = layOutFace(312);
    EXPECT_EQ(backgroundFills(f, 312, 570), (std::array<Box, 6>{{{284, 97, 28, 19},
                                                                 {284, 116, 28, 174},
                                                                 {83, 266, 201, 24},
                                                                 {285, 290, 27, 280},
                                                                 {0, 266, 83, 280},
                                                                 {83, 403, 202, 167}}}));
    const auto frame = shadowFrame(f.preview);
    // The right side mirrors its source and its destination: 292..284 from 8..0.
    EXPECT_EQ(std::tuple(frame[0].dl, frame[0].dr), std::tuple(292, 284));
    EXPECT_EQ(std::tuple(frame[4].dl, frame[4].dr), std::tuple(95, 74));  // top left corner: X + 11 to X - 10
    EXPECT_EQ(frame[7].db, 266);  // bottom right: its bottom edge on the preview's
}

TEST(MainLayout, TheHandAndHintOnlyStrictlyInsideThePreviewAndMenusFromTheWindowsCorner) {
    const FaceLayout f = layOutFace(312);
    // Its corners inside, then its border on each side.
    for (auto [x, y, inside] : {std::tuple{85, 117, true},
                                {283, 265, true},
                                {84, 150, false},
                                {284, 150, false},
                                {150, 116, false},
                                {150, 266, false}})
        EXPECT_EQ(f.preview.strictlyContains(x, y), inside) << x << "," << y;
    EXPECT_EQ(addMenuAt(100, 50, f), (Point{100 + 97 + 5, 50 + 362 + 7}));
    EXPECT_EQ(listMenuAt(100, 50, f), (Point{100 + 97 + 87 + 5, 50 + 362 - 35}));
    EXPECT_EQ(folderChooserAt(100, 50, f), (Point{250, 290 + 50 - 200}));
}

TEST(PreviewFrame, PicturesAreLetterboxedOrFillTheFrame) {
    const struct {
        ImageSize picture;
        FramePlacement place;
    } cases[] = {
        {{1024, 768}, {0, 0, 200, 150}}, {{1600, 1200}, {0, 0, 200, 150}},  // fw = 200 equals W
        {{1000, 200}, {0, 55, 200, 40}},                                    // fh = 40 at top Round(110 / 2)
        {{800, 800}, {25, 0, 150, 150}},                                    // fw = 150 < 199: bands of 25
        {{201, 150}, {0, 0, 200, 150}},                                     // within a pixel: the whole frame
        {{197, 150}, {2, 0, 197, 150}},                                     // (200 - 197) / 2 = 1.5: to even
        {{200, 0}, {0, 0, 0, 0}},                                           // no picture: only the background
    };
    for (const auto& c : cases)
        EXPECT_EQ(placeInFrame(c.picture, 200, 150), c.place) << c.picture.width << "x" << c.picture.height;
}

TEST(PreviewFrame, TheFramedPictureIsDecodedAtItsPlacesSize) {
    testing::TempDir dir;
    testing::TestFileSystem fs;
    auto bmp = [&](const char* name, int width, int height) {
        return dir.write(name, testing::bmpBytes(testing::solidImage(width, height, {0, 0, 255})));
    };
    const Bgr red{0, 0, 255}, background{249, 247, 245};
    auto framed = previewFrame(fs, bmp("red.bmp", 800, 800), {200, 150});
    ASSERT_TRUE(framed);
    EXPECT_EQ(framed->size(), (ImageSize{200, 150}));
    EXPECT_EQ(std::tuple(pixelAt(*framed, 24, 75), pixelAt(*framed, 25, 75), pixelAt(*framed, 175, 75)),
              std::tuple(background, red, background));
    EXPECT_FALSE(previewFrame(fs, dir.file("missing.jpg"), {200, 150}));
    // A big picture is kept at twice its place, enough to follow the frame a
    // while as the list's edge is dragged; a place that rounds to nothing
    // leaves the background alone.
    auto source = loadPreviewSource(fs, bmp("big.bmp", 2000, 1500), {200, 150});
    ASSERT_TRUE(source);
    EXPECT_EQ(source->picture.size(), (ImageSize{400, 300}));
    EXPECT_TRUE(sourceCovers(*source, {400, 300}));
    EXPECT_FALSE(sourceCovers(*source, {404, 303}));
    EXPECT_EQ(pixelAt(frameFrom(*source, {300, 225}), 299, 224), red);
    source->own = {1, 1000};
    EXPECT_EQ(pixelAt(frameFrom(*source, {200, 150}), 100, 75), background);
    // The placeholder comes from memory the same way.
    auto placeholder = previewSourceOfBytes(testing::encodeJpeg(testing::solidImage(200, 100, {0, 255, 0})));
    ASSERT_TRUE(placeholder);
    EXPECT_EQ(pixelAt(frameFrom(*placeholder, {200, 150}), 100, 10), background);
}

// A decode the user has moved past (another row selected) stops at its
// next read rather than taking a core to the end of a large picture.
TEST(PreviewFrame, ADecodeNoLongerWantedStopsAtItsNextRead) {
    testing::TempDir dir;
    const std::string jpeg = testing::encodeJpeg(testing::makeImage(1200, 900, [](int x, int y) {
        const auto v = static_cast<std::uint8_t>((x * 7919 + y * 104729) ^ (x * y));
        return Bgr{v, static_cast<std::uint8_t>(v * 3), static_cast<std::uint8_t>(v * 5)};
    }));
    ASSERT_GT(jpeg.size(), 300000u);
    const std::string path = dir.write("big.jpg", jpeg);
    for (const int wantedFor : {1000000, 3}) {
        testing::TestFileSystem fs;
        int asks = 0;
        auto source = loadPreviewSource(ReadsWhileWanted(fs, [&] { return ++asks <= wantedFor; }), path, {200, 150});
        EXPECT_EQ(source.has_value(), wantedFor > 3);
        if (wantedFor > 3)
            EXPECT_GE(fs.counts().bytesRead, jpeg.size());
        else
            EXPECT_LT(fs.counts().bytesRead, jpeg.size() / 2);
    }
    // Nor does unwanted work look for files: on a share that is off, a look waits too.
    testing::TestFileSystem fs;
    EXPECT_FALSE(ReadsWhileWanted(fs, [] { return false; }).fileExists(path));
    EXPECT_EQ(fs.counts().fileExists, 0);
}

}  // namespace
}  // namespace ostrel
