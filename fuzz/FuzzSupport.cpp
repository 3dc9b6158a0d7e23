#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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

class ScriptedRequest final : public InternetRequest {
public:
    explicit ScriptedRequest(const ScriptedInternet::Answer& answer) : answer_(answer) {}
    std::optional<unsigned> httpStatus() const override { return answer_.status; }
    std::optional<std::size_t> read(void* buffer, std::size_t n) override {
        const std::size_t got = std::min(n, answer_.body.size() - pos_);
        std::memcpy(buffer, answer_.body.data() + pos_, got);
        pos_ += got;
        return got;
    }

private:
    ScriptedInternet::Answer answer_;
    std::size_t pos_ = 0;
};

class ScriptedSession final : public InternetSession {
public:
    explicit ScriptedSession(ScriptedInternet& internet) : internet_(internet) {}
    std::unique_ptr<InternetRequest> openUrl(const std::string& url) override {
        internet_.asked.push_back(url);
        auto answer = internet_.answers.find(url);
        if (answer == internet_.answers.end()) return nullptr;
        return std::make_unique<ScriptedRequest>(answer->second);
    }

private:
    ScriptedInternet& internet_;
};

}  // namespace

bool directlyIn(const std::string& folder, const std::string& path) {
    if (!folder.ends_with('\\') || !path.starts_with(folder)) return false;
    const std::string_view name = std::string_view(path).substr(folder.size());
    if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/:") != std::string_view::npos)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::unique_ptr<InternetSession> ScriptedInternet::openSession(const SessionOptions&) {
    return std::make_unique<ScriptedSession>(*this);
}

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
