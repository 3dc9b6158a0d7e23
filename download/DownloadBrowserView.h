#pragma once
// What the download browser's logic asks of its dialog.
#include <optional>
#include <string>

#include "base/DpiScale.h"
#include "imaging/Image.h"

namespace ostrel {

inline constexpr int kBrowserSlots = 4;  // previews on a page
// A preview's place on the page, at 96 DPI.
inline constexpr ImageSize kPreviewPlace{138, 121};

// The size a preview of this size is shown at, at the dialog's DPI: its own
// size scaled like the page around it, brought down, keeping its proportions,
// to fit its place should the server send a larger one. nullopt: as it is.
std::optional<ImageSize> previewShownSize(ImageSize picture, DpiScale scale);

// The dialog's status bar, left to right.
enum class StatusPanel { Progress, ByteTotal, Clock };
inline constexpr int kStatusPanels = 3;

class DownloadBrowserView {
public:
    virtual ~DownloadBrowserView() = default;
    // Shows the dialog modally; returns when it has closed. The dialog calls
    // the browser's FormShow, FormActivate and FormClose as they happen.
    virtual void showModal() = 0;
    // A slot's preview and label (slot 1..4).
    virtual void setSlotVisible(int slot, bool visible) = 0;
    // The preview file to show; empty for none.
    virtual void setSlotPicture(int slot, const std::string& file) = 0;
    virtual void setSlotLabel(int slot, const std::string& textUtf8) = 0;
    virtual void setPagingEnabled(bool previous, bool next) = 0;
    virtual void setDateLabel(const std::string& text) = 0;
    virtual void setPageLabel(const std::string& text) = 0;  // painted
    virtual void setNoteVisible(bool visible) = 0;
    // The progress or byte total panel's text.
    virtual void setStatus(StatusPanel panel, const std::string& textUtf8) = 0;
    // The clock panel runs while the dialog is the active window.
    virtual void startClock() = 0;
    // A message box over the dialog; returns when it is dismissed.
    virtual void showMessage(const std::string& textUtf8) = 0;
    virtual void repaint() = 0;
    // The user's decimal separator, for the byte total.
    virtual char decimalSeparator() const = 0;
};

}  // namespace ostrel
