#include "textfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include "errors.h"
#include "file_bytes.h"
#include "paths.h"

namespace rt {

namespace {

// An open text file, read as a stream through a fixed buffer: memory grows with the longest
// line, never with the file.
class OpenFile {
public:
    OpenFile(Fd fd, unsigned long long size) : fd_(std::move(fd)), size_(size) {}

    unsigned long long Size() const { return size_; }
    bool SawLoneLineFeed() const { return loneLineFeed_; }

    // True while bytes are left to read.
    bool More() {
        if (pos_ < end_) return true;
        if (atEnd_) return false;
        for (;;) {
            const ssize_t n = ::read(fd_.get(), buffer_.data(), buffer_.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) Raise(ErrPathFileAccess);
            pos_ = 0;
            end_ = static_cast<size_t>(n);
            atEnd_ = n == 0;
            return !atEnd_;
        }
    }

    std::string Line() {
        if (!More()) Raise(ErrInputPastEnd);
        ++lineNumber_;
        std::string line;
        while (More()) {
            const char* from = buffer_.data() + pos_;
            const char* cr = static_cast<const char*>(std::memchr(from, '\r', end_ - pos_));
            const size_t take = cr ? static_cast<size_t>(cr - from) : end_ - pos_;
            if (take > MaxTextLineBytes - line.size())
                RaiseAbout(ErrOutOfMemory, "line " + std::to_string(lineNumber_) + " is longer than " +
                                               std::to_string(MaxTextLineBytes) + " bytes");
            line.append(from, take);
            // Any LF here has no CR before it: the one after a CR went with that line's break.
            if (!loneLineFeed_ && std::memchr(from, '\n', take)) loneLineFeed_ = true;
            pos_ += take;
            if (cr) {
                ++pos_;
                if (More() && buffer_[pos_] == '\n') ++pos_;
                break;
            }
        }
        return line;
    }

private:
    Fd fd_;
    unsigned long long size_;
    std::array<char, 65536> buffer_{};
    size_t pos_ = 0, end_ = 0;
    bool atEnd_ = false;
    bool loneLineFeed_ = false;
    long long lineNumber_ = 0;
};

std::array<std::unique_ptr<OpenFile>, MaxFileNumber + 1>& Files() {
    static std::array<std::unique_ptr<OpenFile>, MaxFileNumber + 1> files;
    return files;
}

OpenFile& Get(int fileNumber) {
    if (fileNumber < 1 || fileNumber > MaxFileNumber || !Files()[fileNumber]) Raise(ErrBadFileNumber);
    return *Files()[fileNumber];
}

bool IsDirectory(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder part of a host path ("." for a bare name, "/" for the root).
std::string Folder(const std::string& p) {
    std::string::size_type slash = p.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return p.substr(0, slash);
}

}  // namespace

int FreeFile() {
    for (int n = 1; n <= MaxFileNumber; ++n)
        if (!Files()[n]) return n;
    Raise(ErrTooManyFiles);
}

void OpenForInput(int fileNumber, const std::string& path) {
    if (fileNumber < 1 || fileNumber > MaxFileNumber) Raise(ErrBadFileNumber);
    if (Files()[fileNumber]) Raise(ErrFileAlreadyOpen);
    std::string host = HostPath(path);
    if (host.empty()) Raise(ErrPathFileAccess);
    if (host.back() == '/') Raise(IsDirectory(host) ? ErrPathFileAccess : ErrPathNotFound);

    struct stat st;
    if (stat(host.c_str(), &st) != 0) {
        if (errno == EACCES) Raise(ErrPermissionDenied);
        Raise(IsDirectory(Folder(host)) ? ErrFileNotFound : ErrPathNotFound);
    }
    // Only a regular file is text: a device or a FIFO would block or never end.
    if (!S_ISREG(st.st_mode)) Raise(ErrPathFileAccess);

    FileRead why = FileRead::Failed;
    unsigned long long size = 0;
    Fd fd(OpenRegularFile(host, why, size));
    switch (why) {
        case FileRead::Ok: break;
        case FileRead::Missing: Raise(ErrFileNotFound);
        case FileRead::NoPermission: Raise(ErrPermissionDenied);
        case FileRead::TooLarge:  // opening alone knows no size limit: the lines are bounded instead
        case FileRead::Folder:
        case FileRead::NotAFile:
        case FileRead::Failed: Raise(ErrPathFileAccess);
    }
    Files()[fileNumber] = std::make_unique<OpenFile>(std::move(fd), size);
}

std::string LineInput(int fileNumber) { return Get(fileNumber).Line(); }

Boolean EOF_(int fileNumber) { return ToBoolean(!Get(fileNumber).More()); }

unsigned long long LOF(int fileNumber) { return Get(fileNumber).Size(); }

bool SawLoneLineFeed(int fileNumber) { return Get(fileNumber).SawLoneLineFeed(); }

void Close(int fileNumber) {
    if (fileNumber >= 1 && fileNumber <= MaxFileNumber) Files()[fileNumber].reset();
}

void CloseAll() {
    for (auto& f : Files()) f.reset();
}

}  // namespace rt
