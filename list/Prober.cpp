#include "list/Prober.h"

#include <algorithm>

namespace ostrel {

bool Prober::unknown(const std::string& resolution) {
    return resolution.find('x') == std::string::npos || resolution.find("0x0") != std::string::npos;
}

std::vector<HeaderJob> Prober::nextBatch(const WallpaperList& list, int batchSize) {
    std::vector<HeaderJob> batch;
    // Row 0 is the header: its path cell holds no file.
    probeRow_ = std::max(probeRow_, 1);
    for (; probeRow_ < list.rowCount() && static_cast<int>(batch.size()) < batchSize; ++probeRow_)
        if (unknown(list.resolution(probeRow_))) batch.push_back({probeRow_, list.path(probeRow_)});
    return batch;
}

Prober::Written Prober::write(const std::vector<HeaderFinding>& findings, WallpaperList& list) {
    Written written;
    const int last = list.rowCount() - 1;
    for (const HeaderFinding& finding : findings) {
        // The list may have been sorted, edited or replaced while the batch was read.
        if (finding.row < 1 || finding.row > last || list.path(finding.row) != finding.path) continue;
        if (!finding.fileThere || !unknown(list.resolution(finding.row))) continue;
        written.lastEntry = written.lastEntry || finding.row == last;
        if (list.resolution(finding.row) == finding.resolution) continue;
        list.setCell(ResolutionColumn, finding.row, finding.resolution);
        if (written.firstRow == 0) written.firstRow = finding.row;
        written.firstRow = std::min(written.firstRow, finding.row);
        written.lastRow = std::max(written.lastRow, finding.row);
    }
    return written;
}

}  // namespace ostrel
