#pragma once
// What the list's logic asks of the window that shows it.
#include <string>

namespace ostrel {

class ListView {
public:
    virtual ~ListView() = default;
    // The list, the current row or the scroll position changed: repaint.
    virtual void listChanged() = 0;
    // The resolution texts of these rows changed (rows in sight only).
    virtual void rowsChanged(int firstRow, int lastRow) = 0;
    // The preview shows the picture of this file (or the placeholder when unusable).
    virtual void showPreview(const std::string& path) = 0;
    // The preview shows the placeholder picture until the next selection.
    virtual void showPlaceholderPreview() = 0;
    // Lets the window repaint what a closed dialog uncovered before a long scan.
    virtual void processPendingMessages() = 0;
    // The add button's blink while the list is empty: the other picture, or back to the first.
    virtual void blinkAddButton() = 0;
    virtual void stopAddButtonBlink() = 0;
};

}  // namespace ostrel
