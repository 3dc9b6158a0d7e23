#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/UniqueHandle.h"

namespace ostrel::win32 {
namespace {

// ReadFile and WriteFile take 32-bit counts.
constexpr std::size_t kMaxChunk = 0x40000000;

class Win32ReadStream final : public ReadStream {
public:
    explicit Win32ReadStream(UniqueKernelHandle file) : file_(std::move(file)) {}

    std::size_t read(void* buffer, std::size_t n) override {
        auto* out = static_cast<char*>(buffer);
        std::size_t total = 0;
        while (total < n && !failed_) {
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min(n - total, kMaxChunk));
            if (!ReadFile(file_.get(), out + total, want, &got, nullptr)) {
                failed_ = true;
                break;
            }
            if (got == 0) break;  // end of file
            total += got;
        }
        return total;
    }
    bool failed() const override { return failed_; }

private:
    UniqueKernelHandle file_;
    bool failed_ = false;
};

class Win32WriteStream final : public WriteStream {
public:
    Win32WriteStream(UniqueKernelHandle file, std::string tempPath, std::string target)
        : file_(std::move(file)), tempPath_(std::move(tempPath)), target_(std::move(target)) {}

    ~Win32WriteStream() override {
        if (committed_) return;
        file_.reset();
        DeleteFileA(tempPath_.c_str());
    }

    bool write(const void* data, std::size_t n) override {
        const auto* in = static_cast<const char*>(data);
        while (n > 0 && !failed_) {
            DWORD put = 0;
            const DWORD want = static_cast<DWORD>(std::min(n, kMaxChunk));
            if (!WriteFile(file_.get(), in, want, &put, nullptr) || put == 0) {
                failed_ = true;
                break;
            }
            in += put;
            n -= put;
        }
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
        if (!MoveFileExA(tempPath_.c_str(), target_.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            failed_ = true;
            return false;
        }
        committed_ = true;
        return true;
    }

private:
    UniqueKernelHandle file_;
    std::string tempPath_;
    std::string target_;
    bool failed_ = false;
    bool committed_ = false;
};

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);  // "\" or "C:\"
    return path.substr(0, slash);
}

}  // namespace

bool Win32FileSystem::fileExists(const std::string& path) const {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::createDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::unique_ptr<ReadStream> Win32FileSystem::openRead(const std::string& path) const {
    // Share writing too: a list file may be open in an editor.
    UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    return std::make_unique<Win32ReadStream>(std::move(file));
}

std::unique_ptr<WriteStream> Win32FileSystem::openReplace(const std::string& path) {
    // The temporary file lies in the target's folder so that the final move is
    // a rename on one volume, never a copy that could be cut short.
    char temp[MAX_PATH + 1] = {};
    std::string tempPath;
    if (GetTempFileNameA(folderOf(path).c_str(), "ost", 0, temp) != 0)
        tempPath = temp;
    else
        tempPath = path + ".tmp~";  // folder path too long for GetTempFileNameA
    UniqueKernelHandle file(CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DeleteFileA(tempPath.c_str());  // GetTempFileNameA created it
        return nullptr;
    }
    return std::make_unique<Win32WriteStream>(std::move(file), std::move(tempPath), path);
}

}  // namespace ostrel::win32
