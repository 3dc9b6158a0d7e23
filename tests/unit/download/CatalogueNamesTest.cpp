// Addresses on the server, names on this computer, and the browser's date label.
#include "download/CatalogueUrls.h"
#include "download/DateLabel.h"
#include "download/LocalName.h"

#include <gtest/gtest.h>

#include <string>

namespace ostrel {
namespace {

TEST(CatalogueNamesTest, UrlsAreTheBaseAndThePathAsTheyStand) {
    const std::string url = catalogueUrl("http://h/", "new walls/\xEE\xE1%20.jpg");
    EXPECT_EQ(url, "http://h/new walls/\xEE\xE1%20.jpg");
    EXPECT_EQ(catalogueUrlPath("http://h/", url), "new walls/\xEE\xE1%20.jpg");
    EXPECT_EQ(catalogueUrlPath("http://h/", "http://other/a.jpg"), "http://other/a.jpg");
    // The environment's catalogue wins over the build's, and ends in "/" either way.
    EXPECT_EQ(catalogueBaseUrl("http://127.0.0.1:8765"), "http://127.0.0.1:8765/");
    EXPECT_EQ(catalogueBaseUrl("http://127.0.0.1:8765/"), "http://127.0.0.1:8765/");
    EXPECT_EQ(catalogueBaseUrl(""), std::string(kCatalogueBaseUrl));
    EXPECT_EQ(catalogueBaseUrl(nullptr), std::string(kCatalogueBaseUrl));
}

TEST(CatalogueNamesTest, LocalNameMapsEverySlashThenCuts) {
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        {"ab/cd/ef/g.jpg", 6, "ef_g.jpg"},
        {"prv01/g.jpg", 6, "g.jpg"},
        {"dir001/g.jpg", 7, "g.jpg"},
        {"dir001/g.jpg", 6, "_g.jpg"},
        {"ab/c", 6, ""},
    };
    for (const auto& [path, n, name] : cases) EXPECT_EQ(localName(path, n), name) << path << " " << n;
}

TEST(CatalogueNamesTest, DateLabelIsDayAndMonth) {
    const std::pair<std::string, std::string> cases[] = {
        {"12-01-06", "12-01"},          {"1-01-06", "1-01"}, {"1-1-06", "1-1"}, {"12-1-06", "12-1"},
        {"12-01-06 and more", "12-01"}, {"1-1-", "1-1"},     {"1-", "1-"},      {"", ""},
    };
    for (const auto& [date, label] : cases) EXPECT_EQ(dateLabel(date), label) << date;
}

TEST(CatalogueNamesTest, SafeLocalNameRefusesWhatCouldLeaveTheFolderOrReachADevice) {
    for (std::string_view name : {"g.jpg", "\xEE\xE1\xEE\xE8 1.jpg", ".hidden.jpg", "console.jpg", "com0.jpg", "lpt10",
                                  "a~b.jpg", "g~.jpg", "~ostrel.jpg"})
        EXPECT_TRUE(safeLocalName(name)) << name;
    // "~" and a digit: a short alias, which would reach another file.
    // What would leave the folder is the fuzz target's property; one of each here.
    for (std::string_view name :
         {"",     "..",          "a\\b",         "c:g",          "g*",      "g?",
          "g\"",  "g<",          "g>",           "g|",           "g\x7f",   "g.jpg ",
          "CON",  "con.jpg",     "Nul.tar.gz",   "aux",          "prn.jpg", "COM1.jpg",
          "lpt9", "conout$.jpg", "MY_H~5ID.JPG", "PICTUR~1.JPG", "a~b~0",   "~ostrel0000a1b2.tmp"})
        EXPECT_FALSE(safeLocalName(name)) << '"' << name << '"';
    EXPECT_FALSE(safeLocalName(std::string_view("g\0.jpg", 6)));
}

TEST(CatalogueNamesTest, TheCatalogueFolderKeepsItsOwnFileNames) {
    for (std::string_view name :
         {"rz.txt", "RZ.TXT", "Loaded.txt", "loaded.TXT", "default.TAV", "OSTREL WALLPAPER.bmp"})
        EXPECT_TRUE(isProgramFileName(name));
    for (std::string_view name : {"rz.txt.jpg", "xloaded.txt", "rz", "loaded_txt", "Other.tav", "Ostrel Wallpaper.jpg"})
        EXPECT_FALSE(isProgramFileName(name));
}

}  // namespace
}  // namespace ostrel
