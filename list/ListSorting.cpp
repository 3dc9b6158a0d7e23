// Sorting the working list from the list menu and the header clicks.
#include "list/ListController.h"
#include "list/Sorting.h"

namespace ostrel {

void ListController::Sort(SortKey key) {
    if (asking_) return;
    sortedByName_ = key == SortKey::Name;
    sortedByResolution_ = key == SortKey::Resolution;
    sortEntries(list_, key, sortDescending_);
    prober_.setProbeRow(1);  // the prober's timer is left as it is
    view_.listChanged();
}

// While the delete question is up nothing sorts, and then the menu's checkmark
// and the arrow stay as they are too: they show the sort that was made.
void ListController::sortByName() {
    if (asking_) return;
    sortDescending_ = !ascendingChecked_;
    Sort(SortKey::Name);
}

void ListController::sortByResolution() {
    if (asking_) return;
    sortDescending_ = !ascendingChecked_;
    Sort(SortKey::Resolution);
}

// A direction re-sorts by the key used last; after new entries (no key) it
// only moves the checkmark.
void ListController::orderAscending() {
    if (asking_) return;
    ascendingChecked_ = true;
    if (sortedByName_ || sortedByResolution_) {
        sortDescending_ = false;
        Sort(sortedByName_ ? SortKey::Name : SortKey::Resolution);
    }
}

void ListController::orderDescending() {
    if (asking_) return;
    ascendingChecked_ = false;
    if (sortedByName_ || sortedByResolution_) {
        sortDescending_ = true;
        Sort(sortedByName_ ? SortKey::Name : SortKey::Resolution);
    }
}

}  // namespace ostrel
