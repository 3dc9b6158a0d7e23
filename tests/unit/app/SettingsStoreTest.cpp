#include "app/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "app/ProgramRemoval.h"
#include "fakes/FakeRegistry.h"
#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"

namespace ostrel {
namespace {

using testing::FakeRegistry;
using testing::TempDir;
using testing::TestFileSystem;
using Values = std::map<std::string, std::string>;
constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;
const std::string kData = "C:\\Docs\\Ostrel Wallpapers";

// clang-format off
const std::vector<std::string> kSaveOrder = {
    "shufle", "addvlist", "playstat", "prop", "TimeInterval", "secund", "selected", "kolprokr", "intime1", "intime2",
    "wid", "hei", "left", "TimeFrom", "TimeTo", "TimeRandom", "loadnew", "onload", "onwinload", "InTimeCh", "downfoad",
    "where", "lastopen", "PathToSelected", "lastsave"};
// clang-format on

TEST(ParseSettingIntegerTest, OptionalSignAndDigitsFittingThirtyTwoBits) {
    // clang-format off
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"257", 257}, {"-5", -5}, {"+7", 7}, {"007", 7}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"2147483648", {}}, {"-2147483649", {}}, {"99999999999", {}}, {"", {}}, {"-", {}}, {"+", {}}, {"abc", {}},
        {" 5", {}}, {"5 ", {}}, {"1.5", {}}, {"--5", {}}, {"0x10", {}}};
    // clang-format on
    for (const auto& [text, value] : cases) EXPECT_EQ(parseSettingInteger(text), value) << '"' << text << '"';
}

struct SettingsStoreTest : ::testing::Test {
    Settings read() {
        Settings s = store.readAll(kData);
        store.readDownloadFolder(s, kData);
        return s;
    }
    // Every value as the store writes it back after reading: all 25 at once, as text.
    Values readAndSave() {
        FakeRegistry out;
        EXPECT_TRUE(SettingsStore(out, files).saveoptions(read(), {1920, 1080}));
        return out.values(HKCU, "RZ");
    }
    FakeRegistry reg;
    TestFileSystem files;
    SettingsStore store{reg, files};
};

// Documents folders around the lengths where the data folder (from 83) and the
// download folder "walls" in it (from 77) no longer fit in 100 characters.
struct LongDocumentsTest : SettingsStoreTest, ::testing::WithParamInterface<std::size_t> {};

TEST_P(LongDocumentsTest, DerivedFoldersAreWholeAndSurviveASaveAndARead) {
    const std::string documents = "C:\\" + std::string(GetParam() - 3, 'd');
    reg.setShellFolder("Personal", documents);
    const std::string data = readDataFolder(reg);
    EXPECT_EQ(data, documents + "\\Ostrel Wallpapers");
    EXPECT_TRUE(removalAllowed(data));
    for (int run = 0; run < 2; ++run) {  // first start, then from what the first one saved
        Settings s = store.readAll(data);
        store.readDownloadFolder(s, data);
        EXPECT_EQ(s.download.downfoad, data + "\\walls\\") << "run " << run;
        EXPECT_EQ(s.list.lastopen, data);
        EXPECT_EQ(s.list.lastsave, data);
        ASSERT_TRUE(store.saveoptions(s, {1920, 1080}));
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongDocumentsTest, ::testing::Values(8, 76, 77, 82, 83, 97));

TEST_F(SettingsStoreTest, AStoredFolderThatMayHaveBeenCutTakesItsDefault) {
    TempDir temp;
    const std::string there = temp.path() + "/" + std::string(kFolderTextLimit - temp.path().size() - 1, 'e');
    ASSERT_TRUE(files.createDirectory(there));
    const std::string listFile = temp.write(std::string(kFolderTextLimit - temp.path().size() - 1, 'f'), "");
    const std::string gone = there.substr(0, there.size() - 1) + "x";
    // clang-format off
    const struct { const char* name; std::string stored, read; } cases[] = {
        {"downfoad", there, there + "\\"}, {"lastopen", there, there}, {"lastsave", listFile, listFile},
        {"downfoad", gone, kData + "\\walls\\"}, {"lastopen", gone, kData}, {"lastsave", gone, kData},
        // As the download folder was always stored: its 100 characters and a "\".
        {"downfoad", there + "\\", there + "\\"}, {"downfoad", gone + "\\", kData + "\\walls\\"},
    };
    // clang-format on
    for (const auto& c : cases) {
        reg.set(HKCU, "RZ", c.name, c.stored);
        const Settings s = read();
        const std::string& got = c.name[0] == 'd'   ? s.download.downfoad
                                 : c.name[4] == 'o' ? s.list.lastopen
                                                    : s.list.lastsave;
        EXPECT_EQ(got, c.read) << c.name << " of " << c.stored.size() << " characters";
        store.deleteAll();
    }
}

TEST_F(SettingsStoreTest, FirstStartReadsDefaultsWithoutWriting) {
    EXPECT_TRUE(store.open());
    EXPECT_TRUE(reg.keyExists(HKCU, "RZ"));
    // "shufle" and "playstat" are held inverted, so absent (off) reads as on.
    const Values saved = readAndSave();
    EXPECT_EQ(saved.at("shufle") + saved.at("playstat") + saved.at("left"), "11311");
    EXPECT_TRUE(reg.writes().empty());
}

TEST_F(SettingsStoreTest, StoredTextsReadWithFallbacksByteRuleAndLimits) {
    const std::string f150(150, 'f');
    // clang-format off
    const struct { const char* name; std::string stored, savedBack; } cases[] = {
        // Present but not a number: the fallback, which is not always the default.
        {"TimeInterval", "abc", "1"}, {"TimeInterval", "", "1"}, {"selected", "9x", "1"}, {"addvlist", "abc", "0"},
        {"onwinload", "x", "1"}, {"TimeRandom", "", "1"}, {"shufle", "abc", "1"},
        {"kolprokr", "257", "1"}, {"kolprokr", "-1", "255"}, {"intime1", "300", "44"},  // the low eight bits
        {"shufle", "1", "0"}, {"playstat", "0", "1"},  // inverted when read, not when saved
        {"where", "31", "3"}, {"where", "", "2"},      // the first character, or the default for none
        {"lastopen", f150, kData}, {"PathToSelected", f150, f150}, {"downfoad", f150, kData + "\\walls\\"},
        {"downfoad", "D:\\pics", "D:\\pics\\"}, {"downfoad", "D:\\p\\", "D:\\p\\"}, {"downfoad", "", "\\"},
    };
    // clang-format on
    for (const auto& c : cases) {
        reg.set(HKCU, "RZ", c.name, c.stored);
        EXPECT_EQ(readAndSave()[c.name], c.savedBack) << c.name << " = \"" << c.stored << '"';
        store.deleteAll();
    }
}

// What is read back is the fuzz target's round trip.
TEST_F(SettingsStoreTest, SavesEveryValueInItsOrderAndDeletesTheKey) {
    ASSERT_TRUE(store.saveoptions(Settings{}, {1024, 768}));
    EXPECT_EQ(reg.writtenNames(), kSaveOrder);
    store.deleteAll();
    EXPECT_FALSE(reg.keyExists(HKCU, "RZ"));
}

TEST_F(SettingsStoreTest, WindowLargerThanNineTenthsOfTheScreenIsSavedAsDefault) {
    // 9210 <= 9216 stays, 9220 > 9216 does not, exactly 0.9 stays; no overflow near the int limit.
    // clang-format off
    const struct { int size, screen; const char* width; const char* height; } cases[] = {
        {1000, 1024, "800", "472"}, {921, 1024, "921", "921"}, {922, 1024, "800", "472"}, {900, 1000, "900", "900"},
        {2000000000, 2000000000, "800", "472"}};
    // clang-format on
    for (const auto& c : cases) {
        Settings s;
        s.window.windowWidth = s.window.windowHeight = c.size;
        ASSERT_TRUE(store.saveoptions(s, {c.screen, c.screen}));
        EXPECT_EQ(reg.readString(HKCU, "RZ", "wid"), c.width) << c.size << " on " << c.screen;
        EXPECT_EQ(reg.readString(HKCU, "RZ", "hei"), c.height) << c.size << " on " << c.screen;
    }
}

TEST_F(SettingsStoreTest, SaveStopsAtTheFirstFailedWrite) {
    for (std::size_t k : {1u, 11u, 25u}) {
        FakeRegistry failing;
        failing.failWriteNumber(static_cast<int>(k));
        EXPECT_FALSE(SettingsStore(failing, files).saveoptions(Settings{}, {1024, 768}));
        EXPECT_EQ(failing.writes().size(), k);
        EXPECT_EQ(failing.writtenNames(), std::vector<std::string>(kSaveOrder.begin(), kSaveOrder.begin() + k - 1));
        EXPECT_FALSE(failing.readString(HKCU, "RZ", kSaveOrder[k - 1]).has_value()) << "write " << k;
    }
}

}  // namespace
}  // namespace ostrel
