// The list's bulk operations: sorting (the fast sort beside the old insertion
// chain), saving and loading the default list, and scanning a folder tree.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "fakes/ReferenceSortChain.h"
#include "fakes/TempDir.h"
#include "list/FolderScan.h"
#include "list/ListFile.h"
#include "list/ResolutionText.h"
#include "list/Sorting.h"
#include "list/WallpaperList.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

using namespace ostrel;

// A collection as people have it: a few users, a few hundred folders, camera
// names that repeat between folders, and a handful of common sizes (some
// entries not yet probed, some unreadable).
WallpaperList makeList(int entries) {
    static const char* const users[] = {"Anna", "Boris", "Public"};
    static const char* const sizes[] = {"",          "0x0",       "800x600",   "1024x768",  "1280x1024",
                                        "1366x768",  "1600x900",  "1920x1080", "1920x1200", "2560x1440",
                                        "3000x2000", "4000x3000", "640x480",   "12000x900", "1024x1024"};
    std::mt19937 g(20240601u);
    std::uniform_int_distribution<int> user(0, 2), folder(0, 299), number(1, 9999), size(0, 14);
    WallpaperList list;
    for (int i = 0; i < entries; ++i) {
        list.appendRow(std::string("C:\\Users\\") + users[user(g)] + "\\Pictures\\Trip " + std::to_string(folder(g)) +
                       "\\IMG_" + std::to_string(number(g)) + ".jpg");
        const std::string stat = sizes[size(g)];
        list.setCell(ResolutionColumn, list.rowCount() - 1, stat.empty() ? stat : padResolution(stat));
    }
    list.fixHeaderIfEntries();
    return list;
}

// Args: entries, key (1 name, 2 resolution). Each run sorts a fresh copy.
template <bool Chain>
void sortList(benchmark::State& state) {
    const WallpaperList original = makeList(static_cast<int>(state.range(0)));
    const int key = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        WallpaperList list = original;
        state.ResumeTiming();
        if constexpr (Chain)
            testing::referenceSortChain(list, key, false);
        else
            sortEntries(list, static_cast<SortKey>(key), false);
        benchmark::DoNotOptimize(list.path(1).data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Sort(benchmark::State& state) { sortList<false>(state); }
void BM_SortChain(benchmark::State& state) { sortList<true>(state); }
BENCHMARK(BM_Sort)->ArgNames({"entries", "key"})->ArgsProduct({{10000, 100000}, {1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortChain)->ArgNames({"entries", "key"})->ArgsProduct({{10000}, {1, 2}})->Unit(benchmark::kMillisecond);

// Saving and loading "Default.tav" together, as at the end and start of a session.
void BM_SaveAndOpenDefaultList(benchmark::State& state) {
    const WallpaperList list = makeList(static_cast<int>(state.range(0)));
    testing::TempDir dir;
    PosixFileSystem fs;
    const std::string file = dir.file("Default.tav");
    for (auto _ : state) {
        WallpaperList loaded;
        if (!saveF(fs, list, file) || openF(fs, file, loaded) != ListRead::Loaded ||
            loaded.entryCount() != list.entryCount()) {
            state.SkipWithError("list file round trip failed");
            break;
        }
        benchmark::DoNotOptimize(loaded.path(1).data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(serializeList(list).size()));
}
BENCHMARK(BM_SaveAndOpenDefaultList)->Arg(100000)->Unit(benchmark::kMillisecond);

// 50 000 empty files in 20 x 25 folders, made once: mostly photo_N.jpg, some
// .bmp and .JPEG, and names that are not pictures.
struct ScanTree {
    testing::TempDir dir;
    int files = 0;
    int pictures = 0;
    ScanTree() {
        namespace fs = std::filesystem;
        for (int top = 0; top < 20; ++top) {
            for (int sub = 0; sub < 25; ++sub) {
                const fs::path folder =
                    fs::path(dir.path()) / ("album" + std::to_string(top)) / ("day" + std::to_string(sub));
                fs::create_directories(folder);
                for (int i = 0; i < 100; ++i) {
                    const int n = files++;
                    std::string name = "photo_" + std::to_string(n);
                    switch (n % 10) {
                    case 0: name += ".bmp"; break;
                    case 1: name += ".JPEG"; break;
                    case 2: name += ".png"; break;
                    case 3: name = "notes_" + std::to_string(n) + ".txt"; break;
                    default: name += ".jpg"; break;
                    }
                    pictures += hasPictureName(name);
                    std::ofstream(folder / name);
                }
            }
        }
    }
};

const ScanTree& scanTree() {
    static const ScanTree tree;
    return tree;
}

void reportFiles(benchmark::State& state, const ScanTree& tree, int found) {
    if (found != tree.pictures) state.SkipWithError("wrong number of pictures found");
    state.counters["files"] = benchmark::Counter(
        static_cast<double>(tree.files) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ScanDir(benchmark::State& state) {
    const ScanTree& tree = scanTree();
    PosixFileSystem fs;
    int found = 0;
    for (auto _ : state) {
        WallpaperList list;
        found = ScanDir(fs, tree.dir.path(), true, list);
        benchmark::DoNotOptimize(list.path(1).data());
    }
    reportFiles(state, tree, found);
}
BENCHMARK(BM_ScanDir)->Unit(benchmark::kMillisecond);

// The same walk and name check with nothing but the standard library.
void BM_ScanStdRecursive(benchmark::State& state) {
    const ScanTree& tree = scanTree();
    int found = 0;
    for (auto _ : state) {
        WallpaperList list;
        found = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.dir.path())) {
            if (entry.is_regular_file() && hasPictureName(entry.path().filename().string())) {
                list.appendRow(entry.path().string());
                ++found;
            }
        }
        benchmark::DoNotOptimize(list.path(1).data());
    }
    reportFiles(state, tree, found);
}
BENCHMARK(BM_ScanStdRecursive)->Unit(benchmark::kMillisecond);

}  // namespace
