#pragma once
// The notification-area icon of the main window.
#include <string>

namespace ostrel {

enum class TrayIcon { Stopped, Playing };

class Tray {
public:
    virtual ~Tray() = default;
    virtual void add(TrayIcon icon, const std::string& tipUtf8) = 0;
    virtual void modify(TrayIcon icon, const std::string& tipUtf8) = 0;
    virtual void remove() = 0;
};

}  // namespace ostrel
