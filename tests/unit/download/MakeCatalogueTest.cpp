#include "tools/make-catalogue/CatalogueMaker.h"
#include "tools/make-catalogue/DemoPictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "download/CatalogueIndex.h"
#include "download/LocalName.h"
#include "fakes/TempDir.h"
#include "fakes/TestImages.h"
#include "imaging/JpegCodec.h"

namespace ostrel::catalogue {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::tm day(int d, int m, int y) {
    std::tm t{};
    t.tm_mday = d;
    t.tm_mon = m - 1;
    t.tm_year = y - 1900;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return t;
}

fs::file_time_type fileTime(std::tm local) {
    const auto sys = std::chrono::system_clock::from_time_t(std::mktime(&local));
    return fs::file_time_type::clock::from_sys(sys);
}

std::string smallJpeg(std::uint8_t shade) { return testing::encodeJpeg(testing::solidImage(16, 8, {shade, 80, 200})); }

void put(const TempDir& dir, const std::string& name, const std::string& bytes, fs::file_time_type modified) {
    fs::last_write_time(dir.write(name, bytes), modified);
}

std::string pictureName(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "p%03d.jpg", number);
    return name;
}

ImageSize decodedSize(const std::string& jpeg) {
    testing::MemoryReadStream in(jpeg);
    auto image = decodeJpeg(in);
    return image ? image->size() : ImageSize{};
}

TEST(MakeCatalogueTest, DatesHaveAOneOrTwoDigitDayAndTwoDigitMonthAndYear) {
    EXPECT_EQ(indexDate(day(1, 1, 2006)), "1-01-06");
    EXPECT_EQ(indexDate(day(12, 1, 2006)), "12-01-06");
    EXPECT_EQ(indexDate(day(31, 12, 1999)), "31-12-99");
    EXPECT_EQ(indexDate(fileTime(day(5, 3, 2024))), "5-03-24");
}

TEST(MakeCatalogueTest, NamesLoseTheirSpacesAndUnsafeOrNonAsciiNamesAreRefused) {
    EXPECT_EQ(publishedName("sea view 2.jpg"), "sea_view_2.jpg");
    EXPECT_EQ(publishedName("plain.JPEG"), "plain.JPEG");
    for (const char* refused : {"CON.jpg", "lpt1.jpeg", "a:b.jpg", "a\\b.jpg", "tab\t.jpg", "mor\xc3\xa9.jpg", "x?.jpg",
                                "a#b.jpg", "100%25.jpg"})
        EXPECT_EQ(publishedName(refused), std::nullopt) << refused;
}

TEST(MakeCatalogueTest, PreviewsFitTheSlotKeepingProportions) {
    const std::pair<ImageSize, ImageSize> cases[] = {
        {{4000, 1000}, {138, 35}}, {{500, 2000}, {30, 121}}, {{1920, 1080}, {138, 78}}, {{138, 121}, {138, 121}},
        {{100, 50}, {100, 50}},    {{276, 242}, {138, 121}}, {{1, 5000}, {1, 121}},     {{139, 10}, {138, 10}},
    };
    for (const auto& [source, preview] : cases)
        EXPECT_EQ(previewSize(source), preview) << source.width << "x" << source.height;
    for (int w = 50; w <= 5000; w += 97)
        for (int h = 40; h <= 4000; h += 131) {
            const ImageSize p = previewSize({w, h});
            ASSERT_TRUE(p.width <= 138 && p.height <= 121 && p.width >= 1 && p.height >= 1) << w << "x" << h;
            if (w > 138 || h > 121) {
                EXPECT_TRUE(p.width == 138 || p.height == 121) << w << "x" << h;
            }
            if (p.width == 138 && w > 138) {
                EXPECT_LE(std::abs(p.height - 138.0 * h / w), p.height == 1 ? 1.0 : 0.5) << w << "x" << h;
            } else if (p.height == 121 && h > 121) {
                EXPECT_LE(std::abs(p.width - 121.0 * w / h), p.width == 1 ? 1.0 : 0.5) << w << "x" << h;
            }
        }
}

TEST(MakeCatalogueTest, PreviewsAreBaselineJpegsOfThePreviewSize) {
    const auto wide = makePreview(testing::encodeJpeg(testing::gradientImage(4000, 1000)));
    const auto tall =
        makePreview(testing::encodeJpeg(testing::gradientImage(500, 2000), 90, testing::JpegFlavour::Progressive));
    ASSERT_TRUE(wide && tall);
    EXPECT_EQ(decodedSize(*wide), (ImageSize{138, 35}));
    EXPECT_EQ(decodedSize(*tall), (ImageSize{30, 121}));
    for (const std::string* preview : {&*wide, &*tall}) {
        EXPECT_NE(preview->find("\xFF\xC0"), std::string::npos);  // SOF0: baseline
        EXPECT_EQ(preview->find("\xFF\xC2"), std::string::npos);  // SOF2: progressive
    }
    EXPECT_EQ(makePreview("not a picture"), std::nullopt);
}

TEST(MakeCatalogueTest, TheNewestHundredReadBackThroughBothIndexReaders) {
    TempDir pictures, catalogue;
    std::vector<std::string> expectedFields, expectedFullPaths;
    for (int i = 0; i < 102; ++i) {      // written oldest-name-first so that listing order is no help
        const int age = (i * 37) % 102;  // a permutation of 0..101
        const std::string name = pictureName(age);
        put(pictures, name, age == 0 ? "broken" : smallJpeg(static_cast<std::uint8_t>(age)),
            fileTime(day(101 - age, 1, 2006)));  // mktime normalises days past the month's end
    }
    for (int age = 1; age <= 100; ++age) {  // the dates' form is the test above's
        const std::string name = pictureName(age);
        expectedFields.insert(expectedFields.end(),
                              {"images/" + name, "small/" + name, indexDate(fileTime(day(101 - age, 1, 2006)))});
        expectedFullPaths.push_back("images/" + name);
    }

    std::ostringstream log;
    const Outcome outcome = makeCatalogue(pictures.path(), catalogue.path(), log);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.published, 100u);
    EXPECT_NE(log.str().find("p000.jpg"), std::string::npos);

    const std::string index = TempDir::read(catalogue.file("rz.txt"));
    const CatalogueIndex read = loadwalls(index);
    EXPECT_EQ(read.pageCount, kCataloguePages);
    EXPECT_EQ(read.fields, expectedFields);
    EXPECT_EQ(loadwall(index), expectedFullPaths);
    EXPECT_NE(index.find(" 1-01-06\n"), std::string::npos);  // both date shapes occur
    EXPECT_NE(index.find(" 12-01-06\n"), std::string::npos);

    for (std::size_t r = 0; r < 100; r += 33) {
        const auto record = catalogueRecord(read, r);
        ASSERT_TRUE(record);
        const std::string name = localName(record->previewPath, 6);
        EXPECT_EQ(localName(record->fullPath, 7), name);
        EXPECT_EQ(TempDir::read(catalogue.file(record->fullPath)), TempDir::read(pictures.file(name)));
        EXPECT_EQ(decodedSize(TempDir::read(catalogue.file(record->previewPath))), (ImageSize{16, 8}));
    }
    EXPECT_FALSE(fs::exists(catalogue.file("images/p101.jpg")));
    EXPECT_FALSE(fs::exists(catalogue.file("rz.txt.part")));
}

TEST(MakeCatalogueTest, FewPicturesAreAllPublishedUnderSafeNamesAndTheRestReported) {
    TempDir pictures, catalogue;
    const auto t = [](int d) { return fileTime(day(d, 2, 2010)); };
    put(pictures, "sea view.jpg", smallJpeg(1), t(20));
    put(pictures, "sea_view.jpg", smallJpeg(2), t(19));  // older: loses the shared name
    put(pictures, "Big.JPEG", smallJpeg(3), t(3));
    put(pictures, "CON.jpg", smallJpeg(4), t(21));
    put(pictures, "mor\xc3\xa9.jpg", smallJpeg(5), t(22));
    put(pictures, "notes.txt", "text", t(23));
    fs::create_directory(pictures.file("folder.jpg"));

    std::ostringstream log;
    const Outcome outcome = makeCatalogue(pictures.path(), catalogue.path(), log);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.published, 2u);
    EXPECT_EQ(outcome.skipped, 3u);
    const std::string index = TempDir::read(catalogue.file("rz.txt"));
    EXPECT_EQ(index, "images/sea_view.jpg small/sea_view.jpg 20-02-10\nimages/Big.JPEG small/Big.JPEG 3-02-10\n");
    EXPECT_EQ(loadwalls(index).pageCount, 0);  // the browser's rule for fewer than 100
    EXPECT_EQ(TempDir::read(catalogue.file("images/sea_view.jpg")), smallJpeg(1));
    for (const char* reported : {"CON.jpg", "mor\xc3\xa9.jpg", "sea_view.jpg"})
        EXPECT_NE(log.str().find(reported), std::string::npos) << reported;
    EXPECT_EQ(log.str().find("notes.txt"), std::string::npos);
}

TEST(MakeCatalogueTest, DemoPicturesAreDistinctFullSizeAndNewestFirstByNumber) {
    TempDir pictures, catalogue;
    std::ostringstream log;
    ASSERT_TRUE(writeDemoPictures(pictures.path(), 3, log)) << log.str();
    const std::string first = TempDir::read(pictures.file("demo-001.jpg"));
    EXPECT_EQ(decodedSize(first), kDemoSize);
    EXPECT_NE(first, TempDir::read(pictures.file("demo-002.jpg")));
    ASSERT_TRUE(makeCatalogue(pictures.path(), catalogue.path(), log).ok);
    EXPECT_EQ(loadwall(TempDir::read(catalogue.file("rz.txt"))),
              (std::vector<std::string>{"images/demo-001.jpg", "images/demo-002.jpg", "images/demo-003.jpg"}));
    EXPECT_EQ(decodedSize(TempDir::read(catalogue.file("small/demo-002.jpg"))), (ImageSize{138, 78}));
}

}  // namespace
}  // namespace ostrel::catalogue
