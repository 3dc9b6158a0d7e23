#include "list/ListModel.h"

#include "list/ResolutionText.h"

namespace ostrel {
namespace {

// Rows read per batch: enough that a long list is read at the disk's speed,
// few enough that the first rows fill in at once.
constexpr int kProbeBatchRows = 256;
// The places of the header reader: the walk keeps a batch in each of its
// places, so that the next is being read while the interface thread writes
// one, and a batch held up by a file that blocks leaves the walk to the other.
constexpr int kSoonPlace = 0;
constexpr int kWalkPlaces[] = {1, 2};

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
    // Batches under way are read again from the new row on: their findings
    // are of an older walk, and one held up by a file that blocks is left behind.
    ++walk_;
    batchesInFlight_.fill(false);
    prober_.setProbeRow(row);
    walking_ = true;
    readNextBatches();
}

void ListModel::stopProber() {
    walking_ = walkWrote_ = false;
    batchesInFlight_.fill(false);
    ++walk_;
}

void ListModel::readNextBatches() {
    for (std::size_t slot = 0; slot < batchesInFlight_.size() && walking_; ++slot) {
        if (batchesInFlight_[slot]) continue;
        std::vector<HeaderJob> batch = prober_.nextBatch(list_, kProbeBatchRows);
        if (batch.empty()) break;
        batchesInFlight_[slot] = true;
        headers_.read(kWalkPlaces[slot], std::move(batch),
                      [this, walk = walk_, slot](const std::vector<HeaderFinding>& findings) {
                          batchRead(walk, slot, findings);
                      });
    }
    if (!walking_ || prober_.probeRow() < list_.rowCount()) return;
    for (bool inFlight : batchesInFlight_)
        if (inFlight) return;
    walking_ = false;
    if (walkWrote_) saveDefaultList();
    walkWrote_ = false;
}

void ListModel::batchRead(std::uint64_t walk, std::size_t slot, const std::vector<HeaderFinding>& findings) {
    if (walk != walk_) return;
    batchesInFlight_[slot] = false;
    const Prober::Written rows = Prober::write(findings, list_);
    walkWrote_ = walkWrote_ || rows.firstRow != 0 || rows.lastEntry;
    written(rows);
    readNextBatches();
}

void ListModel::probeSoon(int row) {
    if (row < 1 || row >= list_.rowCount() || !Prober::unknown(list_.resolution(row))) return;
    headers_.read(kSoonPlace, {{row, list_.path(row)}}, [this](std::vector<HeaderFinding> findings) {
        // Unlike the walk, which leaves a vanished file's text alone, the
        // selected row stores what its file gave, "0x0" for one not there.
        for (HeaderFinding& f : findings) {
            if (!f.fileThere) f = {f.row, f.path, true, padResolution("0x0")};
        }
        written(Prober::write(findings, list_));
    });
}

void ListModel::written(const Prober::Written& rows) {
    if (rows.firstRow != 0) resolutionsWritten_(rows.firstRow, rows.lastRow);
}

}  // namespace ostrel
