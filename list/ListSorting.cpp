// Sorting the working list from the list menu and the header clicks.
#include "list/ListController.h"
#include "list/Sorting.h"

namespace ostrel {

void ListController::Sort(SortKey key) {
    if (asking_) return;
    model_.sort(key);
    listChanged();
}

// While the delete question is up nothing sorts, and then the menu's checkmark
// and the arrow stay as they are too: they show the sort that was made.
void ListController::sortByName() {
    if (asking_) return;
    model_.setSortDescending(!ascendingChecked_);
    Sort(SortKey::Name);
}

void ListController::sortByResolution() {
    if (asking_) return;
    model_.setSortDescending(!ascendingChecked_);
    Sort(SortKey::Resolution);
}

// A direction re-sorts by the key used last; after new entries (no key) it
// only moves the checkmark.
void ListController::orderAscending() {
    if (asking_) return;
    ascendingChecked_ = true;
    if (model_.sortedByName() || model_.sortedByResolution()) {
        model_.setSortDescending(false);
        Sort(model_.sortedByName() ? SortKey::Name : SortKey::Resolution);
    }
}

void ListController::orderDescending() {
    if (asking_) return;
    ascendingChecked_ = false;
    if (model_.sortedByName() || model_.sortedByResolution()) {
        model_.setSortDescending(true);
        Sort(model_.sortedByName() ? SortKey::Name : SortKey::Resolution);
    }
}

}  // namespace ostrel
