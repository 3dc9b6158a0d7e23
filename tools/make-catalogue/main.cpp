// make-catalogue <pictures folder> <catalogue folder> [--demo N]
// Publishes the newest JPEG pictures of a folder as a catalogue for a static
// web server; --demo N first fills the pictures folder with N made-up pictures.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/make-catalogue/CatalogueMaker.h"
#include "tools/make-catalogue/DemoPictures.h"

namespace {

int usage() {
    std::cerr << "usage: make-catalogue <pictures folder> <catalogue folder> [--demo N]\n"
                 "  Publishes the newest "
              << ostrel::catalogue::kIndexRecords
              << " JPEG pictures of the folder (rz.txt, images/, small/).\n"
                 "  --demo N  first writes N demo pictures (1..9999) into the pictures folder.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> folders;
    int demo = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--demo") {
            if (++i == argc) return usage();
            const std::string_view n = argv[i];
            const auto [end, error] = std::from_chars(n.data(), n.data() + n.size(), demo);
            if (error != std::errc() || end != n.data() + n.size() || demo < 1 || demo > 9999) return usage();
        } else if (arg.starts_with("-")) {
            return usage();
        } else {
            folders.push_back(arg);
        }
    }
    if (folders.size() != 2) return usage();
    const std::filesystem::path pictures(folders[0]), catalogue(folders[1]);

    if (demo > 0 && !ostrel::catalogue::writeDemoPictures(pictures, demo, std::cerr)) return 1;
    const auto outcome = ostrel::catalogue::makeCatalogue(pictures, catalogue, std::cerr);
    if (!outcome.ok) return 1;
    std::cout << "published " << outcome.published << " pictures to " << catalogue.string();
    if (outcome.skipped) std::cout << " (" << outcome.skipped << " skipped)";
    std::cout << '\n';
    if (outcome.published < ostrel::catalogue::kIndexRecords)
        std::cout << "note: the download browser expects " << ostrel::catalogue::kIndexRecords
                  << " pictures; with fewer it shows only the pages they fill\n";
    return 0;
}
