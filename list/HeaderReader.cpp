#include "list/HeaderReader.h"

#include "list/ResolutionText.h"

namespace ostrel {

std::vector<HeaderFinding> readHeaders(const FileSystem& files, const std::vector<HeaderJob>& batch) {
    std::vector<HeaderFinding> findings;
    findings.reserve(batch.size());
    for (const HeaderJob& job : batch) {
        // Most files are pictures that are there: whether a file exists is
        // asked only when it gave no size.
        std::string resolution = resolutionText(files, job.path);
        const bool there = resolution != kFailedResolution || files.fileExists(job.path);
        findings.push_back({job.row, job.path, there, there ? std::move(resolution) : std::string()});
    }
    return findings;
}

}  // namespace ostrel
