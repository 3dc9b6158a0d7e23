#pragma once
// Files and folders as the program sees them. Paths are byte strings in the
// ANSI code page, passed through untouched.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel {

// A file opened for sequential reading.
class ReadStream {
public:
    virtual ~ReadStream() = default;
    // Reads up to n bytes; returns how many were read (0 at the end or on error).
    virtual std::size_t read(void* buffer, std::size_t n) = 0;
    // True once a read has failed for another reason than the end of the file.
    virtual bool failed() const = 0;
    // The file's length in bytes when it was opened; nullopt when unknown.
    virtual std::optional<std::uint64_t> size() const = 0;
};

// A file being written. Nothing is visible at the target path until commit()
// succeeds: the bytes go to a temporary file in the same folder, which commit()
// moves over the target. Destroying the stream without commit() discards it.
class WriteStream {
public:
    virtual ~WriteStream() = default;
    [[nodiscard]] virtual bool write(const void* data, std::size_t n) = 0;
    // Writes at a place of the file's own, past its end too (what lies between
    // reads as zeros until written). A file is written either with write() or
    // with writeAt(), never both.
    [[nodiscard]] virtual bool writeAt(std::uint64_t offset, const void* data, std::size_t n) = 0;
    // Sends what is written so far on to the disk now, so that commit() has
    // less left to wait for; false when that failed, and commit() then fails.
    [[nodiscard]] virtual bool flushWritten() { return true; }
    [[nodiscard]] virtual bool commit() = 0;
};

// A download being written: see FileSystem::openDownload.
class DownloadStream : public WriteStream {
public:
    // The temporary file that holds the bytes until commit() moves it.
    virtual const std::string& temporaryPath() const = 0;
};

// One entry of a folder listing.
struct FolderEntry {
    std::string name;
    bool folder = false;
    bool hidden = false;
    bool system = false;
    bool reparsePoint = false;  // a junction or link: following it may lead back up the tree
    // The entry's raw Windows attribute bits (FILE_ATTRIBUTE_*), for code that
    // must tell exactly which bits are set, not only the ones named above.
    std::uint32_t attributes = 0;
    // The name has no form in the ANSI code page: name is a token for it that
    // only this file system takes back (it reaches the same entry). Listings
    // for the user pass such entries over; deleting a folder's contents does not.
    bool foreignName = false;
};

// Attribute bits as Windows numbers them.
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeArchive = 0x20;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when a file (not a folder) exists at path.
    virtual bool fileExists(const std::string& path) const = 0;
    // Creates one folder; false when it could not be created (also when it exists).
    virtual bool createDirectory(const std::string& path) = 0;
    virtual std::unique_ptr<ReadStream> openRead(const std::string& path) const = 0;
    virtual std::unique_ptr<WriteStream> openReplace(const std::string& path) = 0;
    // A download of the file at path: the bytes go to a new temporary file
    // in its folder, which commit() moves to path, over a file already there
    // only when replaceExisting (otherwise commit() fails and leaves both
    // alone). Destroying the stream without commit() deletes the temporary
    // file; others may delete it meanwhile (a transfer still blocked in a
    // read when the program ends). nullptr when it cannot be created (and
    // from file systems that have no downloads).
    virtual std::unique_ptr<DownloadStream> openDownload(const std::string& path, bool replaceExisting) {
        (void)path;
        (void)replaceExisting;
        return nullptr;
    }
    // Lists folder (with or without a trailing "\"), every kind of entry, "."
    // and ".." included when the system lists them, in the system's order. visit
    // answers false to stop. False when the listing cannot start.
    virtual bool listFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) const = 0;
    // False when the file could not be deleted (or was not there).
    virtual bool deleteFile(const std::string& path) = 0;
    // Replaces the attribute bits of a file or folder; false on failure.
    virtual bool setAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // Removes an empty folder; false when it could not be removed.
    virtual bool removeDirectory(const std::string& path) = 0;
    // Deletes the temporary files that openReplace left in folder when the
    // program ended in the middle of a write. Nothing else is touched.
    virtual void removeStaleTemporaries(const std::string& folder) = 0;
};

// Reads from the stream's position until n bytes or the end; nullopt when a read fails.
std::optional<std::string> readUpTo(ReadStream& in, std::size_t n);
// The same, appended to bytes; false when a read fails.
bool appendUpTo(ReadStream& in, std::string& bytes, std::size_t n);

// Reads at most n bytes from the start of the file; nullopt when it cannot be opened.
std::optional<std::string> readPrefix(const FileSystem& fs, const std::string& path, std::size_t n);
// Writes bytes to path through a temporary file; false when anything failed.
[[nodiscard]] bool replaceFile(FileSystem& fs, const std::string& path, std::string_view bytes);
// True when a listing of folder can start, i.e. the folder is there.
bool folderExists(const FileSystem& fs, const std::string& folder);

}  // namespace ostrel
