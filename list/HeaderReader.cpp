#include "list/HeaderReader.h"

#include "list/ResolutionText.h"

namespace ostrel {

std::vector<HeaderFinding> readHeaders(const FileSystem& files, const std::vector<HeaderJob>& batch) {
    std::vector<HeaderFinding> findings;
    findings.reserve(batch.size());
    for (const HeaderJob& job : batch) {
        HeaderFinding& finding =
            findings.emplace_back(HeaderFinding{job.row, job.path, files.fileExists(job.path), {}});
        if (finding.fileThere) finding.resolution = resolutionText(files, job.path);
    }
    return findings;
}

}  // namespace ostrel
