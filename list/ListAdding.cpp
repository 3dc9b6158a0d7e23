// Adding pictures to the working list: a folder from the folder chooser, one
// file from the open-picture dialog, and what is dropped on the window.
#include <algorithm>

#include "imaging/ImageProbe.h"
#include "list/FolderScan.h"
#include "list/ListController.h"

namespace ostrel {
namespace {

constexpr const char* kPictureFilter = "Изображения(*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp";

}  // namespace

void ListController::afterAdding() {
    saveDefaultList();
    restartProber(1);
    list_.fixHeaderIfEntries();
    // The new entries stand unsorted at the end: no arrow until the next sort.
    sortedByName_ = sortedByResolution_ = false;
    if (grid_.currentRow < 1) clampGridToList();  // the header is no longer a row to stand on
    view_.listChanged();
}

void ListController::AddBtnClick() {
    if (asking_) return;
    std::optional<FolderChoice> choice = chooser_.choose(settings_.lastopen);
    if (!choice) return;
    // Held whole, never cut into a name of another folder; a path too long to
    // be stored is forgotten at the next start (see SettingsStore::readAll).
    settings_.lastopen = choice->path;
    includeSubfolders_ = choice->includeSubfolders;
    view_.processPendingMessages();
    if (savingStopped_) return;  // the program ended in the chooser or in these messages
    ScanDir(files_, choice->path, includeSubfolders_, list_);
    afterAdding();
    plistSelectCell(0, grid_.currentRow);
}

void ListController::filebtnClick() {
    if (asking_) return;
    std::optional<std::string> chosen = dialogs_.openFile({"", kPictureFilter, ""});
    if (!chosen || chosen->size() > kMaxPathLength) return;  // too long for the program's paths
    list_.appendEntry(*chosen);
    list_.setFixedRows(1);
    if (grid_.currentRow < 1) clampGridToList();
    if (list_.rowCount() == 2) view_.showPreview(*chosen);
    saveDefaultList();
    sortedByName_ = sortedByResolution_ = false;
    restartProber(1);
    view_.listChanged();
}

void ListController::dropFiles(const std::vector<std::string>& paths) {
    if (asking_) return;
    // Judged by content: pictures are added as they are, anything else is
    // taken for a folder (a file of another kind then adds nothing).
    for (const std::string& path : paths) {
        const std::string kind = GetImageType(files_, path);
        if (kind == "Jpg" || kind == "Bmp")
            list_.appendRow(path);
        else
            ScanDir(files_, path, includeSubfolders_, list_);
    }
    afterAdding();
    plistSelectCell(0, grid_.currentRow);
}

}  // namespace ostrel

namespace ostrel {

void ListController::addDownloaded(const std::string& path) {
    list_.appendEntry(path);
    restartProber(1);
    if (list_.rowCount() == 2) list_.setFixedRows(1);
    if (grid_.currentRow < 1) clampGridToList();
    view_.listChanged();
}

void ListController::addFetchedPicture(const std::string& path) {
    list_.appendRow(path);
    // Its resolution at once, by one tick of the prober, without its timer.
    prober_.setProbeRow(list_.rowCount() - 1);
    proberTick();
    if (list_.rowCount() == 2) list_.setFixedRows(1);
    if (grid_.currentRow < 1) clampGridToList();
    view_.listChanged();
}

void ListController::browserClosed() {
    saveDefaultList();
    restartProber(1);
}

}  // namespace ostrel
