#pragma once
// The full-screen viewer `TForm1`: the list's selected picture over the whole
// screen, following the selection while the list's keys and wheel move it.
// While it is open the list's wheel moves one row per step.
#include <cstdint>
#include <optional>
#include <string>

#include "changer/ViewerView.h"
#include "imaging/Image.h"
#include "list/ListController.h"
#include "list/ViewerLink.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"

namespace ostrel {

// How a picture is fitted to the screen (set by the options dialog, not saved).
struct ViewerDisplay {
    bool stretch = false;
    bool proportional = true;
};

// The size a picture is shown at: its own, shrunk to fit, fitted up or down
// keeping its proportions, or the screen's own.
ImageSize viewerPictureSize(ImageSize picture, ScreenSize screen, ViewerDisplay display);
// The picture centred on a black image of the screen's size; a larger one is
// cut evenly at the edges.
Image viewerScreen(Image picture, ScreenSize screen);

class FullScreenViewer final : public ViewerLink {
public:
    // Everything given belongs to the caller and outlives the viewer.
    FullScreenViewer(const FileSystem& files, const Desktop& desktop, ListController& list, ViewerView& view);

    void setDisplay(ViewerDisplay display) { display_ = display; }
    ViewerDisplay display() const { return display_; }

    // Shows the list's current row; nothing on an empty list.
    void open();
    // A click on the picture, and Escape in the list.
    void close() override;
    void showRow(int row, ViewerDirection direction) override;
    bool fullScreenShown() const override { return fullScreenShown_; }

private:
    // Moves the list selection a row on and answers the row to try next, or
    // nullopt at either end of the list.
    std::optional<int> next(int row, ViewerDirection direction);
    std::optional<Image> screenPicture(const std::string& path) const;

    const FileSystem& files_;
    const Desktop& desktop_;
    ListController& list_;
    ViewerView& view_;
    ViewerDisplay display_;
    bool fullScreenShown_ = false;
};

}  // namespace ostrel
