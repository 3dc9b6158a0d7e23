#pragma once
// The small always-on-top notice "Идет скачивание обоев" of the automatic download.
namespace ostrel {

class NoticeView {
public:
    virtual ~NoticeView() = default;
    // Places the notice at the bottom right of the screen and shows it, not modal.
    virtual void showNotice() = 0;
};

}  // namespace ostrel
