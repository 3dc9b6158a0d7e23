#pragma once
// A fresh folder under the Windows temporary folder for one test, removed
// with what the test left in it.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace ostrel::testing {

class TargetFolder {
public:
    TargetFolder() { std::filesystem::create_directory(path_); }
    ~TargetFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TargetFolder(const TargetFolder&) = delete;
    TargetFolder& operator=(const TargetFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
        return file(name);
    }
    static std::string read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }

private:
    inline static int counter_ = 0;
    std::string path_ = (std::filesystem::temp_directory_path() / ("ostrel-" + std::to_string(GetCurrentProcessId()) +
                                                                    "-" + std::to_string(counter_++)))
                            .string();
};

}  // namespace ostrel::testing
