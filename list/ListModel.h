#pragma once
// The working list's rows and its file "Default.tav": read at start, written
// after every change unless an unreadable one is being kept, the list files
// the user saves and loads, the order the rows were last sorted in, and the
// prober that fills in the resolutions in the background.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "list/HeaderReader.h"
#include "list/ListFile.h"
#include "list/Prober.h"
#include "list/Sorting.h"
#include "list/WallpaperList.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

namespace ostrel {

class ListModel {
public:
    // The data folder belongs to the caller and outlives this.
    ListModel(FileSystem& files, Dialogs& dialogs, HeaderReader& headers, const std::string& dataFolder);

    const WallpaperList& list() const { return list_; }
    WallpaperList& mutableList() { return list_; }
    std::string defaultListPath() const { return dataFolder_ + "\\" + std::string(kDefaultListName); }

    // ---- the working list file ----
    // Reads "Default.tav". False when it exists but could not be read: it is
    // then kept from every default save until the user saves, loads or clears.
    bool openWorkingList();
    bool unreadWorkingListKept() const { return keepDefaultListFile_; }
    // Writes the working list file, unless it is being kept or saving has stopped.
    void saveDefaultList();
    // The program's last save of it (at its end): nothing saves it from here
    // on, also not from inside a box this save shows.
    void saveForTheLastTime();
    // Nothing saves it any more: the program ends without saving, or its
    // files are being removed. A command that was waiting in a dialog, the
    // folder chooser or a box when this happened adds and writes nothing after.
    void stopSaving() { savingStopped_ = true; }
    bool savingStopped() const { return savingStopped_; }

    // ---- list files the user chooses; each makes the list the user's again ----
    // False (and the user told) when it could not be written.
    bool saveTo(const std::string& path);
    void loadFrom(const std::string& path);
    void clear();

    // ---- the order ----
    // Sorts in the current direction and moves the prober back to row 1
    // (a walk under way goes on from there; none is started).
    void sort(SortKey key);
    bool sortDescending() const { return sortDescending_; }
    void setSortDescending(bool descending) { sortDescending_ = descending; }
    // New entries stand unsorted at the end: no arrow until the next sort.
    void markUnsorted() { sortedByName_ = sortedByResolution_ = false; }
    bool sortedByName() const { return sortedByName_; }
    bool sortedByResolution() const { return sortedByResolution_; }

    // ---- the resolution prober ----
    // Starts a walk from row, or moves one under way there. When a walk ends
    // having written anything, the list is saved.
    void restartProber(int row);
    // No walk any more, and nothing it was reading is written.
    void stopProber();
    bool probing() const { return walking_; }
    // Reads one row's resolution beside the walk, for a row the user selected
    // or a picture just added.
    void probeSoon(int row);
    // Told the rows whose resolution text the prober changed.
    void onResolutionsWritten(std::function<void(int firstRow, int lastRow)> written) {
        resolutionsWritten_ = std::move(written);
    }

private:
    void writeDefaultList();
    void readNextBatches();
    void batchRead(std::uint64_t walk, std::size_t slot, const std::vector<HeaderFinding>& findings);
    void written(const Prober::Written& rows);

    FileSystem& files_;
    Dialogs& dialogs_;
    const std::string& dataFolder_;
    WallpaperList list_;
    HeaderReader& headers_;
    Prober prober_;
    bool walking_ = false;
    std::array<bool, 2> batchesInFlight_{};  // the walk's batches being read
    std::uint64_t walk_ = 0;                 // a stopped walk's findings are not written
    bool walkWrote_ = false;                 // the walk under way changed a row or read the last entry
    std::function<void(int, int)> resolutionsWritten_ = [](int, int) {};
    bool sortedByName_ = false;
    bool sortedByResolution_ = false;
    bool sortDescending_ = true;
    // On until start-up has read the working list file (or found none), so
    // that no failure before then lets an empty list be written over it.
    bool keepDefaultListFile_ = true;
    bool savingStopped_ = false;
};

}  // namespace ostrel
