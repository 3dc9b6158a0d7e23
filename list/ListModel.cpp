#include "list/ListModel.h"

namespace ostrel {
namespace {

constexpr int kProberIntervalMs = 11;

}  // namespace

ListModel::ListModel(FileSystem& files, Dialogs& dialogs, TimerService& timers, const std::string& dataFolder)
    : files_(files),
      dialogs_(dialogs),
      dataFolder_(dataFolder),
      proberTimer_(timers, TimerId::Prober, kProberIntervalMs, false) {}

bool ListModel::openWorkingList() {
    // A file that is there but cannot be read (locked by another program, no
    // permission, a disk error) is the user's list all the same.
    const ListRead read = openF(files_, defaultListPath(), list_);
    keepDefaultListFile_ = read != ListRead::Loaded && files_.fileExists(defaultListPath());
    return !keepDefaultListFile_;
}

void ListModel::saveDefaultList() {
    if (!savingStopped_) writeDefaultList();
}

void ListModel::saveForTheLastTime() {
    stopSaving();
    writeDefaultList();
}

void ListModel::writeDefaultList() {
    if (keepDefaultListFile_) return;  // the unread working list stays as it is
    if (!saveF(files_, list_, defaultListPath())) dialogs_.message("Не удалось записать файл списка Default.tav.");
}

bool ListModel::saveTo(const std::string& path) {
    if (!saveF(files_, list_, path)) {
        dialogs_.message("Не удалось записать файл листа.");
        return false;
    }
    keepDefaultListFile_ = false;
    list_.fixHeaderIfEntries();
    return true;
}

void ListModel::loadFrom(const std::string& path) {
    switch (openF(files_, path, list_)) {
    case ListRead::Loaded: keepDefaultListFile_ = false; break;
    case ListRead::NotOpened: break;  // ignored, as a list file always was
    case ListRead::ReadFailed: dialogs_.message("Не удалось прочитать файл листа."); break;
    }
    list_.fixHeaderIfEntries();
    restartProber(0);
}

void ListModel::clear() {
    keepDefaultListFile_ = false;
    list_.clear();
}

void ListModel::sort(SortKey key) {
    sortedByName_ = key == SortKey::Name;
    sortedByResolution_ = key == SortKey::Resolution;
    sortEntries(list_, key, sortDescending_);
    prober_.setProbeRow(1);
}

void ListModel::restartProber(int row) {
    prober_.setProbeRow(row);
    proberTimer_.setEnabled(true);
}

bool ListModel::probeNext() {
    const Prober::TickResult result = prober_.tick(files_, list_);
    if (result == Prober::TickResult::Finished) {
        proberTimer_.setEnabled(false);
        saveDefaultList();
    }
    return result != Prober::TickResult::Nothing;
}

bool ListModel::probeNow(int row) {
    prober_.setProbeRow(row);
    return probeNext();
}

}  // namespace ostrel
