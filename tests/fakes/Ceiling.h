#pragma once
// Runs work in a child process that is ended the moment its resident memory
// grows by more than a ceiling or its time runs out, so that a test of a
// decompression bomb fails fast instead of taking the machine's memory.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <thread>

namespace ostrel::testing {

enum class CeilingOutcome { True, False, MemoryPassed, TimePassed, Crashed };
inline void PrintTo(CeilingOutcome outcome, std::ostream* out) {
    static const char* const names[] = {"true", "false", "memory passed", "time passed", "crashed"};
    *out << names[static_cast<int>(outcome)];
}

inline std::uint64_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}

inline CeilingOutcome underCeiling(std::uint64_t maxGrowth, unsigned seconds, const std::function<bool()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        const std::uint64_t base = residentBytes();
        std::thread([base, maxGrowth] {
            for (;;) {
                if (residentBytes() > base + maxGrowth) _exit(3);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }).detach();
        alarm(seconds);
        _exit(work() ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return CeilingOutcome::Crashed;
    if (WIFSIGNALED(status)) return WTERMSIG(status) == SIGALRM ? CeilingOutcome::TimePassed : CeilingOutcome::Crashed;
    switch (WEXITSTATUS(status)) {
    case 0: return CeilingOutcome::False;
    case 1: return CeilingOutcome::True;
    case 3: return CeilingOutcome::MemoryPassed;
    default: return CeilingOutcome::Crashed;
    }
}

}  // namespace ostrel::testing
