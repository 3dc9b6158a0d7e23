#pragma once
// The working list's rows and its file "Default.tav": read at start, written
// after every change unless an unreadable one is being kept, the list files
// the user saves and loads, the order the rows were last sorted in, and the
// prober that fills in the resolutions in the background.
#include <string>

#include "list/ListFile.h"
#include "list/Prober.h"
#include "list/Sorting.h"
#include "list/WallpaperList.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Timers.h"
#include "platform/WindowTimer.h"

namespace ostrel {

class ListModel {
public:
    // The data folder belongs to the caller and outlives this.
    ListModel(FileSystem& files, Dialogs& dialogs, TimerService& timers, const std::string& dataFolder);

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
    // Sorts in the current direction and restarts the prober from row 1
    // (its timer is left as it is).
    void sort(SortKey key);
    bool sortDescending() const { return sortDescending_; }
    void setSortDescending(bool descending) { sortDescending_ = descending; }
    // New entries stand unsorted at the end: no arrow until the next sort.
    void markUnsorted() { sortedByName_ = sortedByResolution_ = false; }
    bool sortedByName() const { return sortedByName_; }
    bool sortedByResolution() const { return sortedByResolution_; }

    // ---- the resolution prober ----
    void restartProber(int row);
    void stopProber() { proberTimer_.setEnabled(false); }
    // One step of the prober; true when a row changed. When the last entry
    // is done the timer stops and the list is saved.
    bool probeNext();
    // Probes one row at once, without the timer.
    bool probeNow(int row);
    const WindowTimer& proberTimer() const { return proberTimer_; }

private:
    void writeDefaultList();

    FileSystem& files_;
    Dialogs& dialogs_;
    const std::string& dataFolder_;
    WallpaperList list_;
    Prober prober_;
    WindowTimer proberTimer_;
    bool sortedByName_ = false;
    bool sortedByResolution_ = false;
    bool sortDescending_ = true;
    // On until start-up has read the working list file (or found none), so
    // that no failure before then lets an empty list be written over it.
    bool keepDefaultListFile_ = true;
    bool savingStopped_ = false;
};

}  // namespace ostrel
