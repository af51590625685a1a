#include "platform/d3dx8/file_read.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/runtime/errors.h"
#include "platform/runtime/paths.h"

namespace d3dx8detail {

std::vector<uint8_t> ReadWholeFile(const std::string& path, std::string& hostPath) {
    constexpr int kPathFileAccess = 75;
    hostPath = rt::HostPath(path);
    struct stat st {};
    if (path.empty() || ::stat(hostPath.c_str(), &st) != 0)
        rt::Raise(rt::ErrFileNotFound, "File not found: " + path);
    if (S_ISDIR(st.st_mode)) rt::Raise(rt::ErrPathNotFound, "Path not found: " + path);
    std::FILE* f = std::fopen(hostPath.c_str(), "rb");
    if (f == nullptr) rt::Raise(kPathFileAccess, "Path/File access error: " + path);
    std::vector<uint8_t> data;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) rt::Raise(kPathFileAccess, "Path/File access error: " + path);
    return data;
}

}  // namespace d3dx8detail
