// Sorting the working list from the list menu and the header clicks.
#include "list/ListController.h"
#include "list/Sorting.h"

namespace ostrel {

void ListController::Sort(int key) {
    if (asking_) return;
    sortedByName_ = key == 1;
    sortedByResolution_ = key == 2;
    sortEntries(list_, key == 1 ? SortKey::Name : SortKey::Resolution, sortDescending_);
    prober_.setProbeRow(1);  // the prober's timer is left as it is
    view_.listChanged();
}

// While the delete question is up nothing sorts, and then the menu's checkmark
// and the arrow stay as they are too: they show the sort that was made.
void ListController::N32Click() {
    if (asking_) return;
    sortDescending_ = !ascendingChecked_;
    Sort(1);
}

void ListController::N33Click() {
    if (asking_) return;
    sortDescending_ = !ascendingChecked_;
    Sort(2);
}

// A direction re-sorts by the key used last; after new entries (no key) it
// only moves the checkmark.
void ListController::N39Click() {
    if (asking_) return;
    ascendingChecked_ = true;
    if (sortedByName_ || sortedByResolution_) {
        sortDescending_ = false;
        Sort(sortedByName_ ? 1 : 2);
    }
}

void ListController::N40Click() {
    if (asking_) return;
    ascendingChecked_ = false;
    if (sortedByName_ || sortedByResolution_) {
        sortDescending_ = true;
        Sort(sortedByName_ ? 1 : 2);
    }
}

}  // namespace ostrel
