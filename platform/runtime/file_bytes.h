// Reading a whole outside file into memory, safely: only regular files are read (a name that
// points at a device, a FIFO or a socket would otherwise block or read without end), and never
// more than the caller's limit.
#pragma once
#include <cstddef>
#include <string>
#include <utility>

namespace rt {

enum class FileRead {
    Ok,
    Missing,      // no such file (or a folder on the way does not exist)
    Folder,       // the name is a folder
    NotAFile,     // a device, FIFO, socket or anything else that is not a regular file
    NoPermission, // reading is not permitted
    TooLarge,     // longer than the limit
    Failed,       // any other error while opening or reading
};

// Owns an open descriptor (-1: none) and closes it when destroyed.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd& operator=(Fd&&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Opens the host file `hostPath` for reading when it is a regular file: the descriptor (to be
// closed by the caller), or -1 with the reason in `why`. `size` is its length when opened.
int OpenRegularFile(const std::string& hostPath, FileRead& why, unsigned long long& size);

// Reads the host file `hostPath` whole into `out` when it is a regular file of at most
// `maxBytes` bytes. `out` is left empty on any failure.
FileRead ReadRegularFile(const std::string& hostPath, size_t maxBytes, std::string& out);

}  // namespace rt
