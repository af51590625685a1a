#include "platform/runtime/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <stdexcept>

namespace rt {

namespace {

FileRead FromErrno(int e) {
    switch (e) {
        case ENOENT:
        case ENOTDIR: return FileRead::Missing;
        case EISDIR: return FileRead::Folder;
        case EACCES:
        case EPERM: return FileRead::NoPermission;
        default: return FileRead::Failed;
    }
}

FileRead Kind(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return FileRead::Folder;
    if (!S_ISREG(st.st_mode)) return FileRead::NotAFile;
    return FileRead::Ok;
}

FileRead ReadAll(int fd, size_t expected, size_t maxBytes, std::string& out) {
    // The size from stat is only a hint: the file may grow or shrink while it is read (files under
    // /proc say 0). Read until the end, stopping as soon as the limit is passed.
    out.reserve(expected <= maxBytes ? expected : maxBytes);
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FromErrno(errno);
        }
        if (n == 0) return FileRead::Ok;
        if (static_cast<size_t>(n) > maxBytes - out.size()) return FileRead::TooLarge;
        out.append(chunk, static_cast<size_t>(n));
    }
}

}  // namespace

Fd::~Fd() {
    if (fd_ >= 0) ::close(fd_);
}

int OpenRegularFile(const std::string& hostPath, FileRead& why, unsigned long long& size) {
    size = 0;
    why = FileRead::Missing;
    if (hostPath.empty()) return -1;
    // Look before opening: opening some devices has effects of its own.
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0) {
        why = FromErrno(errno);
        return -1;
    }
    if ((why = Kind(st)) != FileRead::Ok) return -1;
    // Non-blocking, so that a name swapped for a FIFO in between cannot hang the open; what was
    // opened is checked again.
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = FromErrno(errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0) why = FileRead::Failed;
    else why = Kind(st);
    if (why != FileRead::Ok) {
        ::close(fd);
        return -1;
    }
    size = st.st_size > 0 ? static_cast<unsigned long long>(st.st_size) : 0;
    return fd;
}

FileRead ReadRegularFile(const std::string& hostPath, size_t maxBytes, std::string& out) {
    out.clear();
    FileRead why;
    unsigned long long size = 0;
    Fd fd(OpenRegularFile(hostPath, why, size));
    if (fd.get() < 0) return why;
    if (size > maxBytes) return FileRead::TooLarge;
    FileRead result;
    try {
        result = ReadAll(fd.get(), static_cast<size_t>(size), maxBytes, out);
    } catch (const std::bad_alloc&) {
        result = FileRead::TooLarge;
    } catch (const std::length_error&) {
        result = FileRead::TooLarge;
    }
    if (result != FileRead::Ok) {
        out.clear();
        out.shrink_to_fit();
    }
    return result;
}

}  // namespace rt
