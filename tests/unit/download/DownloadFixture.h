#pragma once
// The download side's folders in a temporary folder: the data folder with
// its catalogue folder, the download folder, and the catalogue's address.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "download/CatalogueUrls.h"
#include "fakes/TempDir.h"
#include "fakes/TestFileSystem.h"

namespace ostrel::testing {

using Texts = std::vector<std::string>;

struct DownloadFolders : ::testing::Test {
    DownloadFolders() {
        std::filesystem::create_directories(walls);
        std::filesystem::create_directories(TempDir::local(catalogue));
    }
    // "loaded.txt", the record of the downloaded pictures.
    std::string loadedFile() const { return catalogue + "loaded.txt"; }
    std::string loaded() const { return TempDir::read(loadedFile()); }

    TempDir dir;
    TestFileSystem fs;
    std::string data = dir.path() + "/d", walls = dir.path() + "/w/", base = "http://cat.test/";
    std::string catalogue = catalogueFolder(data);
};

}  // namespace ostrel::testing
