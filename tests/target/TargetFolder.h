#pragma once
// A fresh folder under the Windows temporary folder for one test, removed
// with what the test left in it.
#include <windows.h>

#include <string>

namespace ostrel::testing {

class TargetFolder {
public:
    TargetFolder() {
        char base[MAX_PATH + 1] = {};
        GetTempPathA(MAX_PATH, base);
        path_ = std::string(base) + "ostrel-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(counter_++);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TargetFolder() { removeTree(path_); }
    TargetFolder(const TargetFolder&) = delete;
    TargetFolder& operator=(const TargetFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string p = file(name);
        HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (h != INVALID_HANDLE_VALUE) {
            WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(h);
        }
        return p;
    }
    static std::string read(const std::string& p) {
        std::string bytes;
        HANDLE h = CreateFileA(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "<missing>";
        char block[4096];
        DWORD got = 0;
        while (ReadFile(h, block, sizeof block, &got, nullptr) && got > 0) bytes.append(block, got);
        CloseHandle(h);
        return bytes;
    }

private:
    static void removeTree(const std::string& folder) {
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                const std::string p = folder + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(p);
                else
                    DeleteFileA(p.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    inline static int counter_ = 0;
    std::string path_;
};

}  // namespace ostrel::testing
