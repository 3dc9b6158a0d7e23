#include "list/HeaderReader.h"

#include "list/ResolutionText.h"

namespace ostrel {

std::vector<HeaderFinding> readHeaders(const FileSystem& files, const std::vector<HeaderJob>& batch) {
    std::vector<HeaderFinding> findings;
    findings.reserve(batch.size());
    for (const HeaderJob& job : batch) {
        std::optional<std::string> resolution = resolutionText(files, job.path);
        const bool there = resolution.has_value();
        findings.push_back({job.row, job.path, there, there ? std::move(*resolution) : std::string()});
    }
    return findings;
}

}  // namespace ostrel
