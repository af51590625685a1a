#include "paths.h"

#include <climits>
#include <dirent.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rt {

namespace {

bool Exists(const std::string& p) {
    struct stat st;
    return lstat(p.c_str(), &st) == 0;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The entry of `folder` whose name equals `name` ignoring case; "" when there is none.
std::string FindNoCase(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return {};
    std::string best;
    while (dirent* e = readdir(dir)) {
        std::string_view entry(e->d_name);
        if (EqualNoCase(entry, name) && (best.empty() || entry < best)) best = entry;
    }
    closedir(dir);
    return best;
}

}  // namespace

std::string ProgramFolder() {
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    std::string exe = n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string();
    std::string::size_type slash = exe.find_last_of('/');
    std::string folder = (slash == std::string::npos || slash == 0) ? "/" : exe.substr(0, slash);
    if (slash == std::string::npos) {
        // No /proc: fall back on the working folder.
        char* cwd = getcwd(buf.data(), buf.size());
        if (cwd) folder = cwd;
    }
    for (char& c : folder)
        if (c == '/') c = '\\';
    return folder;
}

std::string HostPath(const std::string& path) {
    // Separators unified and collapsed.
    std::string s;
    s.reserve(path.size());
    for (char c : path) {
        if (c == '\\') c = '/';
        if (c == '/' && !s.empty() && s.back() == '/') continue;
        s += c;
    }
    if (s.empty()) return s;

    const bool absolute = s.front() == '/';
    const bool trailing = s.size() > 1 && s.back() == '/';
    std::string out = absolute ? "/" : "";
    bool resolving = true;  // once a name is missing, nothing below it can be found
    size_t start = absolute ? 1 : 0;
    while (start < s.size()) {
        size_t end = s.find('/', start);
        if (end == std::string::npos) end = s.size();
        std::string name = s.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        std::string folder = out;
        std::string candidate = out + name;
        if (resolving && name != "." && name != ".." && !Exists(candidate)) {
            std::string found = FindNoCase(folder, name);
            if (found.empty()) resolving = false;
            else candidate = out + found;
        }
        out = candidate;
        if (start < s.size()) out += '/';
    }
    if (trailing && out.back() != '/') out += '/';
    return out;
}

}  // namespace rt
