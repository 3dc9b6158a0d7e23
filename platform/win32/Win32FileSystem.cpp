#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <optional>

#include "platform/TemporaryFiles.h"
#include "platform/win32/Text.h"
#include "platform/win32/UniqueHandle.h"

namespace ostrel::win32 {
namespace {

// ReadFile and WriteFile take 32-bit counts.
constexpr std::size_t kMaxChunk = 0x40000000;

// Writes all n bytes in chunks WriteFile takes, where the file pointer is or
// from offset on; false at the first failure.
bool writeAll(HANDLE file, const void* data, std::size_t n, std::optional<std::uint64_t> offset = std::nullopt) {
    const auto* in = static_cast<const char*>(data);
    while (n > 0) {
        DWORD put = 0;
        const DWORD want = static_cast<DWORD>(std::min(n, kMaxChunk));
        OVERLAPPED at{};
        if (offset) {
            at.Offset = static_cast<DWORD>(*offset);
            at.OffsetHigh = static_cast<DWORD>(*offset >> 32);
            *offset += want;
        }
        if (!WriteFile(file, in, want, &put, offset ? &at : nullptr) || put == 0) return false;
        if (offset) *offset -= want - put;
        in += put;
        n -= put;
    }
    return true;
}

class Win32ReadStream final : public ReadStream {
public:
    explicit Win32ReadStream(UniqueKernelHandle file) : file_(std::move(file)) {}

    // One ReadFile a call, which gives all a local file has up to n: asking
    // again only to hear that the file has ended would cost a round trip.
    std::size_t read(void* buffer, std::size_t n) override {
        DWORD got = 0;
        if (failed_ || !ReadFile(file_.get(), buffer, static_cast<DWORD>(std::min(n, kMaxChunk)), &got, nullptr)) {
            failed_ = true;
            return 0;
        }
        return got;
    }
    bool failed() const override { return failed_; }
    std::optional<std::uint64_t> size() const override {
        LARGE_INTEGER length{};
        if (!GetFileSizeEx(file_.get(), &length) || length.QuadPart < 0) return std::nullopt;
        return static_cast<std::uint64_t>(length.QuadPart);
    }

private:
    UniqueKernelHandle file_;
    bool failed_ = false;
};

// Bytes that go to a temporary file until commit() moves it to the target.
// Closing the temporary file and moving it are the same for a replacing
// write and a download; only the name check on the move differs.
class TemporaryWriteStream final : public DownloadStream {
public:
    TemporaryWriteStream(UniqueKernelHandle file, std::wstring tempPath, std::string ansiTempPath, std::wstring target,
                         bool replaceExisting)
        : file_(std::move(file)),
          tempPath_(std::move(tempPath)),
          ansiTempPath_(std::move(ansiTempPath)),
          target_(std::move(target)),
          replaceExisting_(replaceExisting) {}

    ~TemporaryWriteStream() override {
        if (committed_) return;
        file_.reset();
        DeleteFileW(tempPath_.c_str());
    }

    bool write(const void* data, std::size_t n) override {
        if (!failed_ && !writeAll(file_.get(), data, n)) failed_ = true;
        return !failed_;
    }

    bool writeAt(std::uint64_t offset, const void* data, std::size_t n) override {
        if (!failed_ && !writeAll(file_.get(), data, n, offset)) failed_ = true;
        return !failed_;
    }

    bool flushWritten() override {
        if (!failed_ && file_ && !FlushFileBuffers(file_.get())) failed_ = true;
        return !failed_;
    }

    bool commit() override {
        if (failed_ || committed_ || !file_) return false;
        const bool flushed = FlushFileBuffers(file_.get()) != 0;
        const bool closed = CloseHandle(file_.release()) != 0;
        if (!flushed || !closed) {
            failed_ = true;
            return false;
        }
        // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is
        // taken, also by a short alias of another file: checked and done at once.
        const DWORD replace = replaceExisting_ ? MOVEFILE_REPLACE_EXISTING : 0;
        if (!MoveFileExW(tempPath_.c_str(), target_.c_str(), replace | MOVEFILE_WRITE_THROUGH)) {
            failed_ = true;
            return false;
        }
        committed_ = true;
        return true;
    }

    const std::string& temporaryPath() const override { return ansiTempPath_; }

private:
    UniqueKernelHandle file_;
    std::wstring tempPath_;
    std::string ansiTempPath_;
    std::wstring target_;
    bool replaceExisting_;
    bool failed_ = false;
    bool committed_ = false;
};

// The temporary name makes a path longer than the target's, perhaps past what
// the plain functions take; a full path can then go in the extended form.
std::wstring withinLengthLimit(std::wstring path) {
    if (path.size() < MAX_PATH) return path;
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.rfind(L"\\\\", 0) == 0 && path.rfind(L"\\\\?\\", 0) != 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

// The folder of path, ending in "\\" (or "/"), "." for a bare name.
std::string folderWithSlash(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".\\";
    return path.substr(0, slash + 1);
}

// A new temporary file in the folder of path, to be moved there. Its name is
// new (CREATE_NEW), so no file of the user's is ever written over. It lies in
// the target's folder so that the final move is a rename on one volume, never
// a copy that could be cut short.
std::unique_ptr<TemporaryWriteStream> createTemporaryFor(const std::string& path, DWORD share, bool replaceExisting) {
    static std::atomic<std::uint32_t> counter{GetTickCount() ^ (GetCurrentProcessId() << 16)};
    const std::string folder = folderWithSlash(path);
    const std::wstring wideFolder = pathToWide(folder);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string name = temporaryName(counter++);  // ASCII: the same in the ANSI code page
        std::wstring tempPath = withinLengthLimit(wideFolder + ansiToWide(name));
        UniqueKernelHandle file(
            CreateFileW(tempPath.c_str(), GENERIC_WRITE, share, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return std::make_unique<TemporaryWriteStream>(std::move(file), std::move(tempPath), folder + name,
                                                          withinLengthLimit(pathToWide(path)), replaceExisting);
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return nullptr;
    }
    return nullptr;
}

}  // namespace

// Paths go to the W functions through pathToWide, so that a name a listing
// handed out as a foreign-name token reaches its file.

bool Win32FileSystem::fileExists(const std::string& path) const {
    const DWORD attributes = GetFileAttributesW(pathToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::createDirectory(const std::string& path) {
    return CreateDirectoryW(pathToWide(path).c_str(), nullptr) != 0;
}

std::unique_ptr<ReadStream> Win32FileSystem::openRead(const std::string& path) const {
    // Share writing too: a list file may be open in an editor. And deleting:
    // a picture being read for its size or a preview is still the user's to
    // delete, and the removal of the program's files must not fail on it.
    UniqueKernelHandle file(CreateFileW(pathToWide(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    return std::make_unique<Win32ReadStream>(std::move(file));
}

std::unique_ptr<WriteStream> Win32FileSystem::openReplace(const std::string& path) {
    return createTemporaryFor(path, 0, true);
}

std::unique_ptr<DownloadStream> Win32FileSystem::openDownload(const std::string& path, bool replaceExisting) {
    // Readers may look at it while it grows, and it may be deleted meanwhile:
    // a transfer still blocked when the program ends has it deleted as the
    // process closes it.
    return createTemporaryFor(path, FILE_SHARE_READ | FILE_SHARE_DELETE, replaceExisting);
}

bool Win32FileSystem::listFolder(const std::string& folder,
                                 const std::function<bool(const FolderEntry&)>& visit) const {
    // Listed in UTF-16 and converted exactly: the A functions would hand out a
    // look-alike name for one the ANSI code page cannot write, which may be
    // another file's. Such an entry comes as a foreign-name token, marked; a
    // short alias would not do, since most drives have none.
    std::wstring pattern = pathToWide(folder);
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L"*.*";
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) return false;
    do {
        FolderEntry entry;
        std::optional<std::string> name = wideToAnsi(found.cFileName);
        entry.foreignName = !name;
        entry.name = name ? std::move(*name) : foreignNameToken(found.cFileName);
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        entry.system = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        entry.reparsePoint = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.attributes = found.dwFileAttributes;
        if (!visit(entry)) break;
    } while (FindNextFileW(search.get(), &found));
    return true;
}

bool Win32FileSystem::deleteFile(const std::string& path) { return DeleteFileW(pathToWide(path).c_str()) != 0; }

bool Win32FileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
    return SetFileAttributesW(pathToWide(path).c_str(), attributes) != 0;
}

bool Win32FileSystem::removeDirectory(const std::string& path) {
    return RemoveDirectoryW(pathToWide(path).c_str()) != 0;
}

std::optional<std::string> ansiPathOf(const std::wstring& path) {
    if (std::optional<std::string> exact = wideToAnsi(path)) return exact;
    std::wstring shortForm(32768, L'\0');  // the longest path Windows has
    const DWORD n = GetShortPathNameW(path.c_str(), shortForm.data(), static_cast<DWORD>(shortForm.size()));
    if (n == 0 || n >= shortForm.size()) return std::nullopt;
    shortForm.resize(n);
    return wideToAnsi(shortForm);
}

void Win32FileSystem::removeStaleTemporaries(const std::string& folder) {
    std::wstring prefix = pathToWide(folder);
    if (!prefix.empty() && prefix.back() != L'\\') prefix += L'\\';
    const std::wstring pattern =
        prefix + ansiToWide(std::string(kTemporaryPrefix) + "*" + std::string(kTemporarySuffix));
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) return;
    do {
        // Only names that are exactly the program's own: plain ASCII.
        const std::optional<std::string> name = wideToAnsi(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name && isTemporaryName(*name))
            DeleteFileW((prefix + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace ostrel::win32
