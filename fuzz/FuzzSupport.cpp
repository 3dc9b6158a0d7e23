#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

#include "fakes/TestImages.h"

namespace ostrel::fuzz {
namespace {

class MemoryWrite final : public WriteStream {
public:
    // Straight into the file (a truncating write), or into it only at commit.
    MemoryWrite(MemoryFileSystem& fs, std::string path, bool straight) : fs_(fs), path_(std::move(path)), straight_(straight) {
        if (straight_) fs_.files[path_].clear();
    }
    bool write(const void* data, std::size_t n) override {
        (straight_ ? fs_.files[path_] : pending_).append(static_cast<const char*>(data), n);
        return true;
    }
    bool commit() override {
        if (!straight_) fs_.files[path_] = std::move(pending_);
        return true;
    }

private:
    MemoryFileSystem& fs_;
    std::string path_;
    bool straight_;
    std::string pending_;
};

}  // namespace

void propertyFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "property broken: %s (%s:%d)\n", condition, file, line);
    std::abort();
}

std::vector<std::string> fields(std::string_view input, char separator) {
    std::vector<std::string> out(1);
    for (char c : input) {
        if (c == separator)
            out.emplace_back();
        else
            out.back().push_back(c);
    }
    return out;
}

bool MemoryFileSystem::createDirectory(const std::string& path) {
    touched.push_back(path);
    return folders.insert(path).second;
}

std::unique_ptr<ReadStream> MemoryFileSystem::openRead(const std::string& path) const {
    auto file = files.find(path);
    if (file == files.end()) return nullptr;
    return std::make_unique<testing::MemoryReadStream>(file->second);
}

std::unique_ptr<WriteStream> MemoryFileSystem::openReplace(const std::string& path) {
    touched.push_back(path);
    return std::make_unique<MemoryWrite>(*this, path, false);
}

std::unique_ptr<WriteStream> MemoryFileSystem::openTruncate(const std::string& path) {
    touched.push_back(path);
    return std::make_unique<MemoryWrite>(*this, path, true);
}

bool MemoryFileSystem::listFolder(const std::string& folder,
                                  const std::function<bool(const FolderEntry&)>& visit) const {
    // A folder is named with or without its final "\\".
    std::string bare = folder;
    if (bare.ends_with('\\')) bare.pop_back();
    const std::string prefix = bare + '\\';
    bool found = folders.count(bare) || folders.count(prefix);
    for (const auto& [path, bytes] : files) {
        if (!path.starts_with(prefix)) continue;
        found = true;
        const std::string rest = path.substr(prefix.size());
        if (rest.find('\\') == std::string::npos && !visit(FolderEntry{.name = rest})) break;
    }
    return found;
}

bool MemoryFileSystem::deleteFile(const std::string& path) {
    touched.push_back(path);
    return files.erase(path) != 0;
}

bool MemoryFileSystem::removeDirectory(const std::string& path) {
    touched.push_back(path);
    return folders.erase(path) != 0;
}

}  // namespace ostrel::fuzz
