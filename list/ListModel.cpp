#include "list/ListModel.h"

namespace ostrel {
namespace {

// Rows read per batch: enough that a long list is read at the disk's speed,
// few enough that the first rows fill in at once.
constexpr int kProbeBatchRows = 256;
// The places of the header reader.
constexpr int kWalkPlace = 0;
constexpr int kSoonPlace = 1;

}  // namespace

ListModel::ListModel(FileSystem& files, Dialogs& dialogs, HeaderReader& headers, const std::string& dataFolder)
    : files_(files), dialogs_(dialogs), dataFolder_(dataFolder), headers_(headers) {}

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
    walkWrote_ = false;  // what the walk wrote went with the rows: clearing writes nothing
}

void ListModel::sort(SortKey key) {
    sortedByName_ = key == SortKey::Name;
    sortedByResolution_ = key == SortKey::Resolution;
    sortEntries(list_, key, sortDescending_);
    prober_.setProbeRow(1);
}

void ListModel::restartProber(int row) {
    prober_.setProbeRow(row);
    walking_ = true;
    if (!batchInFlight_) readNextBatch();
}

void ListModel::stopProber() {
    walking_ = batchInFlight_ = walkWrote_ = false;
    ++walk_;
}

void ListModel::readNextBatch() {
    std::vector<HeaderJob> batch = prober_.nextBatch(list_, kProbeBatchRows);
    if (batch.empty()) {
        walking_ = false;
        if (walkWrote_) saveDefaultList();
        walkWrote_ = false;
        return;
    }
    batchInFlight_ = true;
    headers_.read(kWalkPlace, std::move(batch),
                  [this, walk = walk_](const std::vector<HeaderFinding>& findings) { batchRead(walk, findings); });
}

void ListModel::batchRead(std::uint64_t walk, const std::vector<HeaderFinding>& findings) {
    if (walk != walk_) return;
    batchInFlight_ = false;
    const Prober::Written rows = Prober::write(findings, list_);
    walkWrote_ = walkWrote_ || rows.firstRow != 0 || rows.lastEntry;
    written(rows);
    if (walking_) readNextBatch();
}

void ListModel::probeSoon(int row) {
    if (row < 1 || row >= list_.rowCount() || !Prober::unknown(list_.resolution(row))) return;
    headers_.read(kSoonPlace, {{row, list_.path(row)}},
                  [this](const std::vector<HeaderFinding>& findings) { written(Prober::write(findings, list_)); });
}

void ListModel::written(const Prober::Written& rows) {
    if (rows.firstRow != 0) resolutionsWritten_(rows.firstRow, rows.lastRow);
}

}  // namespace ostrel
