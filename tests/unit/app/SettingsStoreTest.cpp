#include "app/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "fakes/FakeRegistry.h"

namespace ostrel {
namespace {

using testing::FakeRegistry;
constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;
const std::string kData = "C:\\Docs\\Ostrel Wallpapers";

const std::vector<std::string> kSaveOrder = {
    "shufle",   "addvlist", "playstat", "prop",   "TimeInterval", "secund",     "selected",
    "kolprokr", "intime1",  "intime2",  "wid",    "hei",          "left",       "TimeFrom",
    "TimeTo",   "TimeRandom", "loadnew", "onload", "onwinload",   "InTimeCh",   "downfoad",
    "where",    "lastopen", "PathToSelected", "lastsave"};

struct IntCase {
    const char* text;
    std::optional<std::int32_t> value;
};

class ParseSettingIntegerTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(ParseSettingIntegerTest, Parses) {
    EXPECT_EQ(parseSettingInteger(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseSettingIntegerTest,
    ::testing::Values(IntCase{"257", 257}, IntCase{"-5", -5}, IntCase{"+7", 7}, IntCase{"007", 7},
                      IntCase{"2147483647", 2147483647}, IntCase{"-2147483648", INT32_MIN},
                      IntCase{"2147483648", std::nullopt}, IntCase{"-2147483649", std::nullopt},
                      IntCase{"99999999999", std::nullopt}, IntCase{"", std::nullopt},
                      IntCase{"-", std::nullopt}, IntCase{"+", std::nullopt}, IntCase{"abc", std::nullopt},
                      IntCase{" 5", std::nullopt}, IntCase{"5 ", std::nullopt}, IntCase{"1.5", std::nullopt},
                      IntCase{"--5", std::nullopt}, IntCase{"0x10", std::nullopt}));

TEST(ReadDataFolderTest, PersonalFolderPlusProgramFolderCutTo100) {
    FakeRegistry reg;
    EXPECT_EQ(readDataFolder(reg), "\\Ostrel Wallpapers");
    const std::string shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    reg.set(HKCU, shellFolders, "Personal", "C:\\Docs");
    EXPECT_EQ(readDataFolder(reg), kData);
    reg.set(HKCU, shellFolders, "Personal", "C:\\" + std::string(90, 'd'));
    EXPECT_EQ(readDataFolder(reg), "C:\\" + std::string(90, 'd') + "\\Ostrel");
    EXPECT_EQ(readDataFolder(reg).size(), 100u);
}

class SettingsStoreTest : public ::testing::Test {
protected:
    Settings read() {
        Settings s = store.readAll(kData);
        store.readDownloadFolder(s, kData);
        return s;
    }
    FakeRegistry reg;
    SettingsStore store{reg};
};

TEST_F(SettingsStoreTest, FirstStartGivesDefaults) {
    EXPECT_TRUE(store.open());
    EXPECT_TRUE(reg.keyExists(HKCU, "RZ"));
    const Settings s = read();
    EXPECT_TRUE(s.shuffle);  // held inverted until start-up flips it
    EXPECT_TRUE(s.playing);
    EXPECT_TRUE(s.addvlist);
    EXPECT_FALSE(s.fitToScreen);
    EXPECT_EQ(s.intervalValue, 5);
    EXPECT_EQ(s.intervalUnit, 2);
    EXPECT_EQ(s.currentIndex, 0);
    EXPECT_EQ(s.kolprokr, 1);
    EXPECT_EQ(s.dailyHour, 1);
    EXPECT_EQ(s.dailyMinute, 1);
    EXPECT_EQ(s.windowWidth, 800);
    EXPECT_EQ(s.windowHeight, 472);
    EXPECT_EQ(s.listLeft, 311);
    EXPECT_EQ(s.timeFromMs, 60000);
    EXPECT_EQ(s.timeToMs, 3600000);
    EXPECT_FALSE(s.randomInterval || s.loadnew || s.autorunChangeAndExit || s.autorunEnabled || s.dailyMode);
    EXPECT_EQ(s.downfoad, kData + "\\walls\\");
    EXPECT_EQ(s.wallpaperStyle, "2");
    EXPECT_EQ(s.lastopen, kData);
    EXPECT_EQ(s.lastsave, kData);
    EXPECT_EQ(s.currentPath, "");
    EXPECT_TRUE(reg.writes().empty());  // reading never writes
}

struct StoredCase {
    const char* name;
    const char* value;
    std::string stored;
    std::function<void(const Settings&)> check;
};

class StoredValueTest : public SettingsStoreTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValueTest, Reads) {
    reg.set(HKCU, "RZ", GetParam().value, GetParam().stored);
    GetParam().check(read());
}

const std::string k150(150, 'f');

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredValueTest,
    ::testing::Values(
        StoredCase{"IntervalInvalid", "TimeInterval", "abc", [](auto& s) { EXPECT_EQ(s.intervalValue, 1); }},
        StoredCase{"IntervalEmpty", "TimeInterval", "", [](auto& s) { EXPECT_EQ(s.intervalValue, 1); }},
        StoredCase{"KolprokrKeepsLowByte", "kolprokr", "257", [](auto& s) { EXPECT_EQ(s.kolprokr, 1); }},
        StoredCase{"KolprokrNegative", "kolprokr", "-1", [](auto& s) { EXPECT_EQ(s.kolprokr, 255); }},
        StoredCase{"HourLowByte", "intime1", "300", [](auto& s) { EXPECT_EQ(s.dailyHour, 44); }},
        StoredCase{"ShuffleStoredOnReadsOff", "shufle", "1", [](auto& s) { EXPECT_FALSE(s.shuffle); }},
        StoredCase{"ShuffleInvalidReadsOn", "shufle", "abc", [](auto& s) { EXPECT_TRUE(s.shuffle); }},
        StoredCase{"PlayingStoredOffReadsOn", "playstat", "0", [](auto& s) { EXPECT_TRUE(s.playing); }},
        StoredCase{"AddvlistInvalidIsOff", "addvlist", "abc", [](auto& s) { EXPECT_FALSE(s.addvlist); }},
        StoredCase{"AutorunInvalidIsOn", "onwinload", "x", [](auto& s) { EXPECT_TRUE(s.autorunEnabled); }},
        StoredCase{"RandomEmptyIsOn", "TimeRandom", "", [](auto& s) { EXPECT_TRUE(s.randomInterval); }},
        StoredCase{"SelectedInvalid", "selected", "9x", [](auto& s) { EXPECT_EQ(s.currentIndex, 1); }},
        StoredCase{"StyleFirstCharOnly", "where", "20", [](auto& s) { EXPECT_EQ(s.wallpaperStyle, "2"); }},
        StoredCase{"StyleEmptyIsDefault", "where", "", [](auto& s) { EXPECT_EQ(s.wallpaperStyle, "2"); }},
        StoredCase{"LastopenCut", "lastopen", k150, [](auto& s) { EXPECT_EQ(s.lastopen, k150.substr(0, 100)); }},
        StoredCase{"CurrentPathUncut", "PathToSelected", k150, [](auto& s) { EXPECT_EQ(s.currentPath, k150); }},
        StoredCase{"DownloadGetsBackslash", "downfoad", "D:\\pics", [](auto& s) { EXPECT_EQ(s.downfoad, "D:\\pics\\"); }},
        StoredCase{"DownloadKeepsBackslash", "downfoad", "D:\\p\\", [](auto& s) { EXPECT_EQ(s.downfoad, "D:\\p\\"); }},
        StoredCase{"DownloadEmpty", "downfoad", "", [](auto& s) { EXPECT_EQ(s.downfoad, "\\"); }},
        StoredCase{"DownloadCutThenBackslash", "downfoad", k150,
                   [](auto& s) { EXPECT_EQ(s.downfoad, k150.substr(0, 100) + "\\"); }},
        StoredCase{"NamesIgnoreCase", "SHUFLE", "1", [](auto& s) { EXPECT_FALSE(s.shuffle); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsStoreTest, LongDataFolderDownloadDefaultIsCutBeforeBackslash) {
    const std::string data(98, 'd');
    Settings s;
    store.readDownloadFolder(s, data);
    EXPECT_EQ(s.downfoad, data + "\\w\\");
}

TEST_F(SettingsStoreTest, SavesAllValuesInOrderWithoutInverting) {
    Settings s;
    s.shuffle = true;
    s.playing = false;
    s.kolprokr = 200;
    s.downfoad = "D:\\w\\";
    ASSERT_TRUE(store.saveoptions(s, {1920, 1080}));
    EXPECT_EQ(reg.writtenNames(), kSaveOrder);
    for (const auto& w : reg.writes()) {
        EXPECT_EQ(w.root, HKCU);
        EXPECT_EQ(w.key, "RZ");
    }
    auto v = reg.values(HKCU, "rz");
    EXPECT_EQ(v["shufle"], "1");
    EXPECT_EQ(v["playstat"], "0");
    EXPECT_EQ(v["kolprokr"], "200");
    EXPECT_EQ(v["wid"], "800");
    EXPECT_EQ(v["TimeTo"], "3600000");
    EXPECT_EQ(v["downfoad"], "D:\\w\\");
}

struct WindowCase {
    int size, screen;
    const char* width;   // as saved when it is the width
    const char* height;  // as saved when it is the height
};

class WindowSizeTest : public SettingsStoreTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(WindowSizeTest, OversizedWindowSavedAsDefault) {
    const WindowCase& c = GetParam();
    Settings s;
    s.windowWidth = s.windowHeight = c.size;
    ASSERT_TRUE(store.saveoptions(s, {c.screen, c.screen}));
    EXPECT_EQ(reg.readString(HKCU, "RZ", "wid"), c.width);
    EXPECT_EQ(reg.readString(HKCU, "RZ", "hei"), c.height);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowSizeTest,
                         ::testing::Values(WindowCase{1000, 1024, "800", "472"},
                                           WindowCase{921, 1024, "921", "921"},   // 9210 <= 9216
                                           WindowCase{922, 1024, "800", "472"},   // 9220 > 9216
                                           WindowCase{900, 1000, "900", "900"},   // exactly 0.9 stays
                                           WindowCase{2000000000, 2000000000, "800", "472"}));

class WriteFailureTest : public SettingsStoreTest, public ::testing::WithParamInterface<int> {};

TEST_P(WriteFailureTest, StopsAtFirstFailedWrite) {
    const int k = GetParam();
    reg.failWriteNumber(k);
    EXPECT_FALSE(store.saveoptions(Settings{}, {1024, 768}));
    EXPECT_EQ(reg.writes().size(), static_cast<std::size_t>(k));
    EXPECT_EQ(reg.writtenNames(), std::vector<std::string>(kSaveOrder.begin(), kSaveOrder.begin() + k - 1));
    EXPECT_FALSE(reg.readString(HKCU, "RZ", kSaveOrder[k - 1]).has_value());
}

INSTANTIATE_TEST_SUITE_P(Positions, WriteFailureTest, ::testing::Values(1, 11, 25));

TEST_F(SettingsStoreTest, RoundTripKeepsEverythingButTheInvertedPair) {
    Settings s;
    s.shuffle = true, s.addvlist = false, s.playing = true, s.fitToScreen = true;
    s.intervalValue = 17, s.intervalUnit = 3, s.currentIndex = 42, s.kolprokr = 9;
    s.dailyHour = 23, s.dailyMinute = 59, s.windowWidth = 640, s.windowHeight = 400, s.listLeft = -20;
    s.timeFromMs = 1000, s.timeToMs = 2000, s.randomInterval = true, s.loadnew = true;
    s.autorunChangeAndExit = true, s.autorunEnabled = true, s.dailyMode = true;
    s.downfoad = "E:\\dl\\", s.wallpaperStyle = "0", s.lastopen = "E:\\\xCF\xE8\xEA";
    s.currentPath = "E:\\a.jpg", s.lastsave = "F:\\";
    ASSERT_TRUE(store.saveoptions(s, {1024, 768}));

    Settings back = read();
    EXPECT_FALSE(back.shuffle);
    EXPECT_FALSE(back.playing);
    back.shuffle = back.playing = true;  // what the start-up toggles do
    FakeRegistry again;
    ASSERT_TRUE(SettingsStore(again).saveoptions(back, {1024, 768}));
    EXPECT_EQ(again.values(HKCU, "RZ"), reg.values(HKCU, "RZ"));
}

TEST_F(SettingsStoreTest, DeleteAllRemovesTheKey) {
    ASSERT_TRUE(store.saveoptions(Settings{}, {1024, 768}));
    store.deleteAll();
    EXPECT_FALSE(reg.keyExists(HKCU, "RZ"));
    EXPECT_EQ(read().intervalValue, 5);
}

}  // namespace
}  // namespace ostrel
