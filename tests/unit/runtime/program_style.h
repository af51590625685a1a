// Host paths written the way the program writes its own: backslashes for separators, as the
// program's path lookup expects them.
#pragma once
#include <string>

namespace rttest {

// The path with every '/' turned into '\'.
inline std::string ProgramStyle(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// A folder in the program's style, ending with '\' (as the program's AppPath does).
inline std::string ProgramStyleFolder(const std::string& folder) {
    std::string p = ProgramStyle(folder);
    if (p.empty() || p.back() != '\\') p += '\\';
    return p;
}

}  // namespace rttest
