#pragma once
// What the options' logic asks of the options dialog.
#include "app/OptionsForm.h"

namespace ostrel {

class OptionsView {
public:
    virtual ~OptionsView() = default;
    // Shows the form on its page, centred over the main window, non-modal, in front.
    virtual void showOptions(const OptionsForm& form) = 0;
    // Shows the form again after the logic changed it (texts, checks, enabling).
    virtual void displayOptions(const OptionsForm& form) = 0;
    virtual void closeOptions() = 0;
};

}  // namespace ostrel
