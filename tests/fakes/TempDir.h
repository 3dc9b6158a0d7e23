#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it. Names are joined with the platform's separator; on
// the host, the program's own "\" separators name folders, as its file system
// takes them.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <string_view>

namespace ostrel::testing {

class TempDir {
public:
#ifdef _WIN32
    static constexpr char kSeparator = '\\';
#else
    static constexpr char kSeparator = '/';
#endif
    TempDir() {
        std::random_device random;
        do path_ = (std::filesystem::temp_directory_path() / ("ostrel-" + std::to_string(random()))).string();
        while (!std::filesystem::create_directory(path_));
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + kSeparator + std::string(name); }

    std::string write(std::string_view name, std::string_view bytes) const { return put(file(name), bytes); }
    // Any path, not only this folder's.
    static std::string put(const std::string& path, std::string_view bytes) {
        std::ofstream(local(path), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static std::string read(const std::string& path) {
        std::ifstream in(local(path), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }
    static std::string local(std::string path) {
        if (kSeparator == '/') std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }
    // The names in the folder itself: what a test left, and anything the code under test left too.
    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            out.insert(entry.path().filename().string());
        return out;
    }

private:
    std::string path_;
};

}  // namespace ostrel::testing
