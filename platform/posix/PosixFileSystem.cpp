#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <limits>

#include "platform/TemporaryFiles.h"

namespace ostrel {
namespace {

// The program builds Windows paths with backslashes; on the host they name folders.
std::string hostPath(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

class StdioReadStream final : public ReadStream {
public:
    explicit StdioReadStream(std::FILE* f) : f_(f) {}
    ~StdioReadStream() override { std::fclose(f_); }
    std::size_t read(void* buffer, std::size_t n) override { return std::fread(buffer, 1, n, f_); }
    bool failed() const override { return std::ferror(f_) != 0; }
    std::optional<std::uint64_t> size() const override {
        struct stat st {};
        if (::fstat(fileno(f_), &st) != 0) return std::nullopt;
        return static_cast<std::uint64_t>(st.st_size);
    }

private:
    std::FILE* f_;
};

// Bytes that go to a temporary file until commit() moves it to the target,
// over a file already there only when replaceExisting.
class StdioWriteStream final : public DownloadStream {
public:
    StdioWriteStream(std::FILE* f, std::string temp, std::string target, bool replaceExisting)
        : f_(f), temp_(std::move(temp)), target_(std::move(target)), replaceExisting_(replaceExisting) {}
    ~StdioWriteStream() override {
        if (f_) std::fclose(f_);
        if (!committed_) ::unlink(temp_.c_str());
    }
    bool write(const void* data, std::size_t n) override { return f_ && std::fwrite(data, 1, n, f_) == n; }
    bool writeAt(std::uint64_t offset, const void* data, std::size_t n) override {
        return f_ && offset <= static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) &&
               ::fseeko(f_, static_cast<off_t>(offset), SEEK_SET) == 0 && write(data, n);
    }
    bool flushWritten() override {
        flushFailed_ = flushFailed_ || !f_ || std::fflush(f_) != 0 || ::fsync(fileno(f_)) != 0;
        return !flushFailed_;
    }
    bool commit() override {
        if (!f_ || flushFailed_) return false;
        bool ok = std::fflush(f_) == 0 && ::fsync(fileno(f_)) == 0;
        ok = std::fclose(f_) == 0 && ok;
        f_ = nullptr;
        if (!ok) return false;
        if (replaceExisting_) {
            committed_ = std::rename(temp_.c_str(), target_.c_str()) == 0;
        } else {
            // A link fails when the name is taken: checked and done at once.
            committed_ = ::link(temp_.c_str(), target_.c_str()) == 0;
            if (committed_) ::unlink(temp_.c_str());
        }
        return committed_;
    }
    const std::string& temporaryPath() const override { return temp_; }

private:
    std::FILE* f_;
    std::string temp_, target_;
    bool replaceExisting_;
    bool committed_ = false;
    bool flushFailed_ = false;
};

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

bool PosixFileSystem::fileExists(const std::string& path) const {
    struct stat st {};
    return ::stat(hostPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixFileSystem::createDirectory(const std::string& path) { return ::mkdir(hostPath(path).c_str(), 0755) == 0; }

std::unique_ptr<ReadStream> PosixFileSystem::openRead(const std::string& path) const {
    if (!fileExists(path)) return nullptr;
    std::FILE* f = std::fopen(hostPath(path).c_str(), "rb");
    if (!f) return nullptr;
    return std::make_unique<StdioReadStream>(f);
}

namespace {

std::unique_ptr<StdioWriteStream> createTemporaryFor(const std::string& path, bool replaceExisting) {
    static std::atomic<std::uint32_t> counter{static_cast<std::uint32_t>(::getpid()) << 16};
    std::string target = hostPath(path);
    const std::string folder = folderOf(target);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string temp = folder + "/" + temporaryName(counter++);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        std::FILE* f = ::fdopen(fd, "wb");
        if (!f) {
            ::close(fd);
            ::unlink(temp.c_str());
            return nullptr;
        }
        return std::make_unique<StdioWriteStream>(f, temp, target, replaceExisting);
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<WriteStream> PosixFileSystem::openReplace(const std::string& path) {
    return createTemporaryFor(path, true);
}

std::unique_ptr<DownloadStream> PosixFileSystem::openDownload(const std::string& path, bool replaceExisting) {
    return createTemporaryFor(path, replaceExisting);
}

bool PosixFileSystem::listFolder(const std::string& folder,
                                 const std::function<bool(const FolderEntry&)>& visit) const {
    std::string dir = hostPath(folder);
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    DIR* d = ::opendir(dir.c_str());
    if (!d) return false;
    while (const dirent* found = ::readdir(d)) {
        FolderEntry entry;
        entry.name = found->d_name;
        // The entry's own type where the file system gives it; a link (or an
        // unknown type) is looked at more closely.
        entry.folder = found->d_type == DT_DIR;
        if (found->d_type == DT_LNK || found->d_type == DT_UNKNOWN) {
            const std::string full = dir + "/" + entry.name;
            struct stat st {};
            entry.reparsePoint = ::lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
            entry.folder = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        // What Windows would report for a plain folder or file; a link carries
        // the reparse bit, as a junction does, so that it is never taken for
        // a plain folder.
        entry.attributes = (entry.folder ? kAttributeDirectory : kAttributeArchive) |
                           (entry.reparsePoint ? kAttributeReparsePoint : 0);
        if (!visit(entry)) break;
    }
    ::closedir(d);
    return true;
}

bool PosixFileSystem::deleteFile(const std::string& path) { return ::unlink(hostPath(path).c_str()) == 0; }

bool PosixFileSystem::setAttributes(const std::string&, std::uint32_t) { return true; }

bool PosixFileSystem::removeDirectory(const std::string& path) { return ::rmdir(hostPath(path).c_str()) == 0; }

void PosixFileSystem::removeStaleTemporaries(const std::string& folder) {
    const std::string dir = hostPath(folder);
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (const dirent* entry = ::readdir(d))
        if (isTemporaryName(entry->d_name)) ::unlink((dir + "/" + entry->d_name).c_str());
    ::closedir(d);
}

}  // namespace ostrel
