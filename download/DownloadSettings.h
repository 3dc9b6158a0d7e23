#pragma once
// The downloads' saved settings.
#include <string>

namespace ostrel {

struct DownloadSettings {
    std::string downfoad;  // "downfoad", ends in "\"
    bool addvlist = true;  // "addvlist": downloaded pictures join the list
    bool loadnew = false;  // "loadnew": the automatic download runs
};

}  // namespace ostrel
