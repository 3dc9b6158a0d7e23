#pragma once
// The resolution prober's walk: from a row to the end of the list, every
// resolution that is missing or failed ("0x0": the file may be readable now)
// is read again, in batches, top to bottom. The headers are read elsewhere;
// this decides what to read next and writes what was found. A row whose file
// has gone keeps its text, and so does one that changed while it was read.
#include <vector>

#include "list/HeaderReader.h"
#include "list/WallpaperList.h"

namespace ostrel {

class Prober {
public:
    int probeRow() const { return probeRow_; }
    void setProbeRow(int row) { probeRow_ = row; }

    // The next rows to read from the probe row on, at most batchSize, and the
    // probe row moved past them; empty when the walk has reached the end.
    std::vector<HeaderJob> nextBatch(const WallpaperList& list, int batchSize);

    struct Written {
        int firstRow = 0;  // the rows whose text changed, 0 and 0 for none
        int lastRow = 0;
        bool lastEntry = false;  // the list's last entry was among those read
    };
    // Writes the findings into the rows they were read for.
    static Written write(const std::vector<HeaderFinding>& findings, WallpaperList& list);

    // Whether a resolution text is still to be read.
    static bool unknown(const std::string& resolution);

private:
    int probeRow_ = 1;
};

}  // namespace ostrel
