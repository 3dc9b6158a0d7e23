#pragma once
// Reading the pictures' headers away from the interface thread: a file may
// sit on a slow disk or on a network share that is off, and opening it may
// then block for as long as the network waits.
#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ostrel {

struct HeaderJob {
    int row = 0;
    std::string path;
};

struct HeaderFinding {
    int row = 0;
    std::string path;
    bool fileThere = false;  // false: nothing was read, the row keeps its text
    std::string resolution;  // the padded resolution text when the file is there
};

// The findings of a batch, read here and now.
std::vector<HeaderFinding> readHeaders(const FileSystem& files, const std::vector<HeaderJob>& batch);

class HeaderReader {
public:
    using Done = std::function<void(std::vector<HeaderFinding>)>;
    virtual ~HeaderReader() = default;
    // Reads the batch on a worker. Each place (the prober's walk, the row the
    // user selected) has one batch at a time: a newer one replaces one not
    // yet begun, and only the newest one's done runs, on the interface
    // thread, unless the program ends first.
    virtual void read(int place, std::vector<HeaderJob> batch, Done done) = 0;
};

}  // namespace ostrel
