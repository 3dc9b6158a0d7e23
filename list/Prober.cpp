#include "list/Prober.h"

#include "list/ResolutionText.h"

namespace ostrel {
namespace {

// Rows that already have a resolution are passed over, at most this many per
// tick, so a long known stretch never stalls the message loop.
constexpr int kMaxSkippedPerTick = 3;

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

Prober::TickResult Prober::tick(const FileSystem& fs, WallpaperList& list) {
    const int rows = list.rowCount();
    // Also covers a probe row left beyond the end by a list that shrank since.
    if (rows < 2 || probeRow_ >= rows) return TickResult::Nothing;

    // Row 0 (the header) and rows whose file has gone are passed over and keep
    // their text: the file may come back.
    if (!fs.fileExists(list.path(probeRow_))) {
        ++probeRow_;
        return TickResult::Advanced;
    }

    for (int examined = 0;;) {
        if (probeRow_ >= rows) return TickResult::Advanced;  // skipped past the last entry
        // "0x0" is what a failed probe leaves; the file may be readable now.
        if (contains(list.resolution(probeRow_), "0x0")) list.setCell(ResolutionColumn, probeRow_, {});
        if (!contains(list.resolution(probeRow_), "x")) break;
        ++probeRow_;
        if (++examined == kMaxSkippedPerTick) return TickResult::Advanced;
    }

    list.setCell(ResolutionColumn, probeRow_, resolutionText(fs, list.path(probeRow_)));
    const bool lastEntryDone = probeRow_ >= rows - 1;
    ++probeRow_;
    return lastEntryDone ? TickResult::Finished : TickResult::Advanced;
}

}  // namespace ostrel
