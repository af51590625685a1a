#include "platform/runtime/memory.h"

#include <sys/resource.h>

#include <fstream>
#include <limits>
#include <string>

namespace rt {

namespace {

constexpr uint64_t kNoLimit = std::numeric_limits<uint64_t>::max();

// The value of a "Name:   1234 kB" line of a /proc file, in bytes; kNoLimit when absent.
uint64_t ProcKilobytes(const char* file, const std::string& name) {
    std::ifstream in(file);
    std::string key;
    uint64_t kb = 0;
    while (in >> key) {
        if (key == name + ":" && in >> kb) return kb * 1024;
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return kNoLimit;
}

// What resource limit `resource` leaves above `used` bytes.
uint64_t LimitLeft(int resource, uint64_t used) {
    rlimit r{};
    if (::getrlimit(resource, &r) != 0 || r.rlim_cur == RLIM_INFINITY || used == kNoLimit) return kNoLimit;
    return r.rlim_cur > used ? r.rlim_cur - used : 0;
}

}  // namespace

uint64_t AvailableMemoryBytes() {
    uint64_t best = ProcKilobytes("/proc/meminfo", "MemAvailable");
    for (uint64_t left : {LimitLeft(RLIMIT_AS, ProcKilobytes("/proc/self/status", "VmSize")),
                          LimitLeft(RLIMIT_DATA, ProcKilobytes("/proc/self/status", "VmData"))})
        if (left < best) best = left;
    return best;
}

}  // namespace rt
