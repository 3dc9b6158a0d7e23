#include "platform/win32/FrontOwner.h"

namespace ostrel::win32 {
namespace {

HWND screenCover = nullptr;

}  // namespace

void setScreenCover(HWND window) { screenCover = window; }

HWND frontOwner(HWND owner) {
    return screenCover && IsWindow(screenCover) && IsWindowVisible(screenCover) ? screenCover : owner;
}

}  // namespace ostrel::win32
