#include "platform/win32/Win32SystemInfo.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace ostrel::win32 {
namespace {

// The x86_64 layouts of the three information classes. They are not in the
// public headers, so they are written out here and pinned by their offsets.
enum InformationClass : ULONG {
    SystemBasicInformation = 0,
    SystemPerformanceInformation = 2,
    SystemTimeOfDayInformation = 3,
};

struct BasicInformation {
    ULONG reserved;
    ULONG timerResolution;
    ULONG pageSize;
    ULONG numberOfPhysicalPages;
    ULONG lowestPhysicalPageNumber;
    ULONG highestPhysicalPageNumber;
    ULONG allocationGranularity;
    ULONG_PTR minimumUserModeAddress;
    ULONG_PTR maximumUserModeAddress;
    ULONG_PTR activeProcessorsAffinityMask;
    CCHAR numberOfProcessors;
};
static_assert(offsetof(BasicInformation, allocationGranularity) == 24);
static_assert(offsetof(BasicInformation, minimumUserModeAddress) == 32);
static_assert(offsetof(BasicInformation, activeProcessorsAffinityMask) == 48);
static_assert(offsetof(BasicInformation, numberOfProcessors) == 56);
static_assert(sizeof(BasicInformation) == 64);

struct TimeOfDayInformation {
    std::int64_t bootTime;
    std::int64_t currentTime;
    std::int64_t timeZoneBias;
    ULONG timeZoneId;
    ULONG reserved;
    std::uint64_t bootTimeBias;
    std::uint64_t sleepTimeBias;
};
static_assert(offsetof(TimeOfDayInformation, currentTime) == 8);
static_assert(offsetof(TimeOfDayInformation, timeZoneId) == 24);
static_assert(sizeof(TimeOfDayInformation) == 48);

// Only the head of the performance information is read. The whole structure
// is 0x158 bytes on current x86_64 systems and has grown over the years, so
// the buffer is larger and a length mismatch is answered with the size asked.
struct PerformanceInformationHead {
    std::int64_t idleProcessTime;
    std::int64_t ioReadTransferCount;
    std::int64_t ioWriteTransferCount;
    std::int64_t ioOtherTransferCount;
    ULONG ioReadOperationCount;
    ULONG ioWriteOperationCount;
    ULONG ioOtherOperationCount;
    ULONG availablePages;
};
static_assert(offsetof(PerformanceInformationHead, idleProcessTime) == 0);
static_assert(offsetof(PerformanceInformationHead, ioReadOperationCount) == 32);
constexpr std::size_t kPerformanceBufferSize = 0x200;
static_assert(kPerformanceBufferSize >= 0x158);

constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

}  // namespace

Win32SystemInfo::Win32SystemInfo() {
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        if (FARPROC proc = GetProcAddress(ntdll, "NtQuerySystemInformation"))
            query_ = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(proc));
    }
}

std::optional<LoadSample> Win32SystemInfo::sample() {
    if (!query_) return std::nullopt;

    // One query into a buffer of 64-bit words (aligned for the structures);
    // a length mismatch is retried once with the length the system asks for.
    auto ask = [this](ULONG infoClass, std::size_t bytes) -> std::optional<std::vector<std::uint64_t>> {
        std::vector<std::uint64_t> buffer((bytes + 7) / 8);
        for (int attempt = 0; attempt < 2; ++attempt) {
            ULONG needed = 0;
            const ULONG size = static_cast<ULONG>(buffer.size() * 8);
            const LONG status = query_(infoClass, buffer.data(), size, &needed);
            if (status >= 0) return buffer;
            if (status != kStatusInfoLengthMismatch || needed <= size) return std::nullopt;
            buffer.assign((needed + 7) / 8, 0);
        }
        return std::nullopt;
    };

    auto basic = ask(SystemBasicInformation, sizeof(BasicInformation));
    if (!basic) return std::nullopt;
    auto timeOfDay = ask(SystemTimeOfDayInformation, sizeof(TimeOfDayInformation));
    if (!timeOfDay) return std::nullopt;
    auto performance = ask(SystemPerformanceInformation, kPerformanceBufferSize);
    if (!performance) return std::nullopt;

    BasicInformation b{};
    std::memcpy(&b, basic->data(), sizeof b);
    TimeOfDayInformation t{};
    std::memcpy(&t, timeOfDay->data(), sizeof t);
    PerformanceInformationHead p{};
    std::memcpy(&p, performance->data(), sizeof p);

    LoadSample sample;
    sample.processors = static_cast<unsigned char>(b.numberOfProcessors);  // an 8-bit count
    sample.systemTime = t.currentTime;
    sample.idleTime = p.idleProcessTime;
    return sample;
}

}  // namespace ostrel::win32
