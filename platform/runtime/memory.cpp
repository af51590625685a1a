#include "platform/runtime/memory.h"

#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <string_view>
#include <vector>

namespace rt {

namespace {

// The value of a "Name:   1234 kB" line of a /proc file, in bytes; kNoMemoryLimit when absent.
uint64_t ProcKilobytes(const char* file, const std::string& name) {
    std::ifstream in(file);
    std::string key;
    uint64_t kb = 0;
    while (in >> key) {
        if (key == name + ":" && in >> kb) return kb * 1024;
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return kNoMemoryLimit;
}

// What resource limit `resource` leaves above `used` bytes.
uint64_t LimitLeft(int resource, uint64_t used) {
    rlimit r{};
    if (::getrlimit(resource, &r) != 0 || r.rlim_cur == RLIM_INFINITY || used == kNoMemoryLimit)
        return kNoMemoryLimit;
    return r.rlim_cur > used ? r.rlim_cur - used : 0;
}

// The lines of a file; none when it cannot be read.
std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(std::move(line));
    return lines;
}

// `text` cut at every `sep`, empty pieces kept.
std::vector<std::string> Split(std::string_view text, char sep) {
    std::vector<std::string> pieces;
    for (size_t from = 0;;) {
        const size_t at = text.find(sep, from);
        pieces.emplace_back(text.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) return pieces;
        from = at + 1;
    }
}

// A path of the mount table, whose spaces, tabs, newlines and backslashes are written as \ooo.
std::string Unescape(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3' && s[i + 2] >= '0' &&
            s[i + 2] <= '7' && s[i + 3] >= '0' && s[i + 3] <= '7') {
            out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The number a control group's value file holds; kNoMemoryLimit when the file is absent, says "max",
// holds anything but one decimal number, or a number of 2^62 or more (version 1 writes its
// "unlimited" as a number just below 2^63).
uint64_t CgroupValue(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char buffer[32];
    in.read(buffer, sizeof buffer);
    std::string_view text(buffer, static_cast<size_t>(in.gcount()));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    if (text.empty() || text.size() > 19) return kNoMemoryLimit;  // 19 digits cannot overflow
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return kNoMemoryLimit;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value < (uint64_t{1} << 62) ? value : kNoMemoryLimit;
}

// The path of `group` below the group `mountRoot` shown at a mount point ("" for that group
// itself); false when the mount does not show the group.
bool PathBelow(const std::string& group, const std::string& mountRoot, std::string& below) {
    if (mountRoot == "/")
        below = group;
    else if (group == mountRoot || group.rfind(mountRoot + "/", 0) == 0)
        below = group.substr(mountRoot.size());
    else
        return false;
    return true;
}

// What the memory limits of a group and of every group above it up to `mountPoint` leave: the
// smallest of `limitFile` less `usageFile` in each group's folder. `below` is the group's path
// below the mount point.
uint64_t GroupsLeft(const std::string& mountPoint, const std::string& below, const char* limitFile,
                    const char* usageFile) {
    std::string folder = mountPoint;
    std::vector<std::string> folders{folder};
    for (const std::string& part : Split(below, '/')) {
        if (part == "." || part == "..") return kNoMemoryLimit;  // not a folder below the mount point
        if (!part.empty()) folders.push_back(folder += "/" + part);
    }
    uint64_t best = kNoMemoryLimit;
    for (const std::string& f : folders) {
        const uint64_t limit = CgroupValue(f + "/" + limitFile), usage = CgroupValue(f + "/" + usageFile);
        if (limit != kNoMemoryLimit && usage != kNoMemoryLimit)
            best = std::min(best, limit > usage ? limit - usage : 0);
    }
    return best;
}

}  // namespace

uint64_t CgroupMemoryLeft(const std::string& root) {
    std::string prefix = root;  // put before an absolute path: "" for "/"
    while (!prefix.empty() && prefix.back() == '/') prefix.pop_back();

    // The process's group in the version 2 hierarchy ("0::/path") and in the version 1 hierarchy
    // with the memory controller ("4:memory:/path", the controllers separated by commas).
    std::string groupV2, groupV1;  // "" when the process is in no such hierarchy
    for (const std::string& line : Lines(prefix + "/proc/self/cgroup")) {
        const size_t first = line.find(':');
        const size_t second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos || second + 1 >= line.size() || line[second + 1] != '/') continue;
        const std::string controllers = line.substr(first + 1, second - first - 1), group = line.substr(second + 1);
        if (line.compare(0, first, "0") == 0 && controllers.empty()) groupV2 = group;
        for (const std::string& c : Split(controllers, ','))
            if (c == "memory") groupV1 = group;
    }

    // Where they are mounted: "id parent device root mountpoint options [tags...] - type source
    // superoptions". The first mount that shows the group is taken.
    uint64_t best = kNoMemoryLimit;
    bool doneV2 = groupV2.empty(), doneV1 = groupV1.empty();
    for (const std::string& line : Lines(prefix + "/proc/self/mountinfo")) {
        const std::vector<std::string> f = Split(line, ' ');
        size_t dash = 6;
        while (dash < f.size() && f[dash] != "-") ++dash;
        if (dash + 3 >= f.size()) continue;
        const std::string mountRoot = Unescape(f[3]), mountPoint = prefix + Unescape(f[4]);
        const std::string& type = f[dash + 1];
        std::string below;
        if (!doneV2 && type == "cgroup2" && PathBelow(groupV2, mountRoot, below)) {
            doneV2 = true;
            best = std::min(best, GroupsLeft(mountPoint, below, "memory.max", "memory.current"));
        }
        if (!doneV1 && type == "cgroup" && PathBelow(groupV1, mountRoot, below))
            for (const std::string& option : Split(f[dash + 3], ','))
                if (option == "memory") {
                    doneV1 = true;
                    best = std::min(best, GroupsLeft(mountPoint, below, "memory.limit_in_bytes",
                                                     "memory.usage_in_bytes"));
                }
    }
    return best;
}

uint64_t AvailableMemoryBytes() {
    uint64_t best = ProcKilobytes("/proc/meminfo", "MemAvailable");
    for (uint64_t left : {LimitLeft(RLIMIT_AS, ProcKilobytes("/proc/self/status", "VmSize")),
                          LimitLeft(RLIMIT_DATA, ProcKilobytes("/proc/self/status", "VmData")),
                          CgroupMemoryLeft("/")})
        if (left < best) best = left;
    return best;
}

}  // namespace rt
