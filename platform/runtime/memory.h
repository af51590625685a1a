// How much more memory this process can take: what the machine has available and what the
// process's own limits still leave.
#pragma once
#include <cstdint>

namespace rt {

// The smaller of the memory the system can give without swapping out (MemAvailable of
// /proc/meminfo) and what the address-space and data limits (RLIMIT_AS, RLIMIT_DATA) leave
// above the process's present use. A figure that cannot be read does not limit.
uint64_t AvailableMemoryBytes();

}  // namespace rt
