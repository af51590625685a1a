// How much more memory this process can take: what the machine has available and what the
// process's own limits and its control groups' limits still leave.
#pragma once
#include <cstdint>
#include <limits>
#include <string>

namespace rt {

// What a figure gives when nothing limits it.
constexpr uint64_t kNoMemoryLimit = std::numeric_limits<uint64_t>::max();

// The smallest of: the memory the system can give without swapping out (MemAvailable of
// /proc/meminfo), what the address-space and data limits (RLIMIT_AS, RLIMIT_DATA) leave above the
// process's present use, and what its control groups leave (CgroupMemoryLeft of "/"). A figure
// that cannot be read does not limit.
uint64_t AvailableMemoryBytes();

// What the memory limits of this process's control groups leave, read below the folder `root`,
// laid out as "/" is: proc/self/cgroup names the process's group in each hierarchy and
// proc/self/mountinfo where each hierarchy is mounted. For the group and every group above it up
// to the top of the mount: memory.max less memory.current (version 2), memory.limit_in_bytes less
// memory.usage_in_bytes (version 1, the hierarchy with the memory controller); the smallest of
// them all. "max", a limit of 2^62 bytes or more (version 1's "unlimited"), an absent file or one
// that does not hold a number does not limit; kNoMemoryLimit when nothing does.
uint64_t CgroupMemoryLeft(const std::string& root);

}  // namespace rt
