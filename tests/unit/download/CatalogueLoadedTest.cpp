// "loaded.txt": the record of downloaded pictures.
#include "download/LoadedRecord.h"

#include <gtest/gtest.h>

#include <thread>

#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"

namespace ostrel {
namespace {

using Texts = std::vector<std::string>;

struct CatalogueLoadedTest : ::testing::Test {
    testing::TempDir dir;
    testing::TestFileSystem fs;
    std::string folder = dir.path() + "/", record = dir.file("loaded.txt");
};

TEST_F(CatalogueLoadedTest, LinesAndTheExactNewPictureTest) {
    const std::pair<std::string, Texts> cases[] = {
        {"a/1.jpg\r\nb/2.jpg\r\n", {"a/1.jpg", "b/2.jpg"}},
        {"a/1.jpg\nb/2.jpg", {"a/1.jpg", "b/2.jpg"}},
        {"\r\n\r\na\r\n\n\r\nb\r", {"a", "b"}},
        {"a\rb\r\r\n", {"a\rb\r"}},  // only the CR right before the LF belongs to the line end
    };
    for (const auto& [bytes, lines] : cases) EXPECT_EQ(loadedLines(bytes), lines);
    const Texts loaded = {"dir001/Pic.jpg", "dir001/b.jpg"};
    EXPECT_FALSE(isNewPicture("dir001/Pic.jpg", loaded) || isNewPicture("dir001/b.jpg", loaded));
    for (const char* path : {"dir001/pic.jpg", "DIR001/Pic.jpg", "dir001/Pic.jpg ", "dir001/Pic"})
        EXPECT_TRUE(isNewPicture(path, loaded)) << path;
}

TEST_F(CatalogueLoadedTest, AppendCreatesThenAddsCrLfLines) {
    EXPECT_EQ(dospisokloaded(fs, folder), Texts{});  // missing: empty, not a failure
    ASSERT_TRUE(createLoadedIfMissing(fs, folder));
    EXPECT_TRUE(fs.fileExists(record));
    ASSERT_TRUE(appendLoaded(fs, folder, "dir001/a.jpg") && appendLoaded(fs, folder, "dir001/\xEE\xE1.jpg"));
    ASSERT_TRUE(createLoadedIfMissing(fs, folder));
    EXPECT_EQ(testing::TempDir::read(record), "dir001/a.jpg\r\ndir001/\xEE\xE1.jpg\r\n");
}

TEST_F(CatalogueLoadedTest, ARecordThatCannotBeReadIsNeverReplaced) {
    const std::string before = "dir001/a.jpg\r\n" + std::string(100000, 'x') + "\r\n";
    dir.write("loaded.txt", before);
    for (int failure = 0; failure < 3; ++failure) {
        testing::TestFileSystem failing;
        if (failure == 0) failing.unreadable.insert(record);
        if (failure == 1) failing.readFailsAfter[record] = 70000;
        if (failure == 2) failing.unwritable.insert(record);
        EXPECT_FALSE(appendLoaded(failing, folder, "dir001/b.jpg")) << failure;
        EXPECT_EQ(dospisokloaded(failing, folder).has_value(), failure == 2);
        EXPECT_TRUE(createLoadedIfMissing(failing, folder));
        EXPECT_EQ(testing::TempDir::read(record), before);
    }
}

TEST_F(CatalogueLoadedTest, AppendsFromSeveralThreadsLoseNoLine) {
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w)
        writers.emplace_back([&, w] {
            for (int i = 0; i < 10; ++i) EXPECT_TRUE(appendLoaded(fs, folder, std::to_string(w * 100 + i)));
        });
    for (auto& t : writers) t.join();
    EXPECT_EQ(dospisokloaded(fs, folder).value().size(), 40u);
}

}  // namespace
}  // namespace ostrel
