#pragma once
// The background resolution prober: one tick every 11 ms fills in at most one
// missing resolution, skipping up to three known ones.
#include "list/WallpaperList.h"
#include "platform/FileSystem.h"

namespace ostrel {

class Prober {
public:
    int probeRow() const { return probeRow_; }
    void setProbeRow(int row) { probeRow_ = row; }

    enum class TickResult {
        Nothing,   // nothing changed
        Advanced,  // rows skipped or one resolution written
        Finished,  // the last entry was just done: save the list and stop the timer
    };
    TickResult tick(const FileSystem& fs, WallpaperList& list);

private:
    int probeRow_ = 1;
};

}  // namespace ostrel
