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
    model_.saveDefaultList();
    model_.restartProber(1);
    model_.mutableList().fixHeaderIfEntries();
    model_.markUnsorted();
    if (grid().currentRow < 1) selection_.fitToList();  // the header is no longer a row to stand on
    listChanged();
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
    if (model_.savingStopped()) return;  // the program ended in the chooser or in these messages
    ScanDir(files_, choice->path, includeSubfolders_, model_.mutableList());
    afterAdding();
    plistSelectCell(0, grid().currentRow);
}

void ListController::filebtnClick() {
    if (asking_) return;
    std::optional<std::string> chosen = dialogs_.openFile({"", kPictureFilter, ""});
    if (!chosen || chosen->size() > kMaxPathLength) return;  // too long for the program's paths
    model_.mutableList().appendEntry(*chosen);
    model_.mutableList().setFixedRows(1);
    if (grid().currentRow < 1) selection_.fitToList();
    if (list().rowCount() == 2) view_.showPreview(*chosen);
    model_.saveDefaultList();
    model_.markUnsorted();
    model_.restartProber(1);
    listChanged();
}

void ListController::dropFiles(const std::vector<std::string>& paths) {
    if (asking_) return;
    // Judged by content: pictures are added as they are, anything else is
    // taken for a folder (a file of another kind then adds nothing).
    for (const std::string& path : paths) {
        const std::string kind = GetImageType(files_, path);
        if (kind == "Jpg" || kind == "Bmp")
            model_.mutableList().appendRow(path);
        else
            ScanDir(files_, path, includeSubfolders_, model_.mutableList());
    }
    afterAdding();
    plistSelectCell(0, grid().currentRow);
}

void ListController::addDownloaded(const std::string& path) {
    WallpaperList& rows = model_.mutableList();
    rows.appendEntry(path);
    model_.restartProber(1);
    if (rows.rowCount() == 2) rows.setFixedRows(1);
    if (grid().currentRow < 1) selection_.fitToList();
    listChanged();
}

void ListController::addFetchedPicture(const std::string& path) {
    WallpaperList& rows = model_.mutableList();
    rows.appendRow(path);
    model_.probeSoon(rows.rowCount() - 1);
    if (rows.rowCount() == 2) rows.setFixedRows(1);
    if (grid().currentRow < 1) selection_.fitToList();
    listChanged();
}

void ListController::browserClosed() {
    model_.saveDefaultList();
    model_.restartProber(1);
}

}  // namespace ostrel
