#pragma once
// What the list knows of the full-screen viewer: while it is open the list's
// keys and wheel make it show the row they arrive at, and Escape closes it.
namespace ostrel {

// Down the list (towards the last row) or up it.
enum class ViewerDirection { Forward, Backward };

class ViewerLink {
public:
    virtual ~ViewerLink() = default;
    virtual bool fullScreenShown() const = 0;
    // Shows the picture of the row; unreadable ones are skipped in the direction given.
    virtual void showRow(int row, ViewerDirection direction) = 0;
    virtual void close() = 0;
};

}  // namespace ostrel
