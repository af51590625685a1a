#include "textfile.h"

#include <array>
#include <cerrno>
#include <memory>
#include <sys/stat.h>

#include "errors.h"
#include "file_bytes.h"
#include "paths.h"

namespace rt {

namespace {

struct OpenFile {
    std::string data;
    size_t pos = 0;
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

    auto file = std::make_unique<OpenFile>();
    switch (ReadRegularFile(host, MaxTextFileBytes, file->data)) {
        case FileRead::Ok: break;
        case FileRead::Missing: Raise(ErrFileNotFound);
        case FileRead::NoPermission: Raise(ErrPermissionDenied);
        case FileRead::TooLarge: Raise(ErrOutOfMemory);
        case FileRead::Folder:
        case FileRead::NotAFile:
        case FileRead::Failed: Raise(ErrPathFileAccess);
    }
    Files()[fileNumber] = std::move(file);
}

std::string LineInput(int fileNumber) {
    OpenFile& f = Get(fileNumber);
    const std::string& d = f.data;
    if (f.pos >= d.size()) Raise(ErrInputPastEnd);
    std::string::size_type cr = d.find('\r', f.pos);
    std::string line;
    if (cr == std::string::npos) {
        line = d.substr(f.pos);
        f.pos = d.size();
    } else {
        line = d.substr(f.pos, cr - f.pos);
        f.pos = cr + 1;
        if (f.pos < d.size() && d[f.pos] == '\n') ++f.pos;
    }
    return line;
}

Boolean EOF_(int fileNumber) { return ToBoolean(Get(fileNumber).pos >= Get(fileNumber).data.size()); }

void Close(int fileNumber) {
    if (fileNumber >= 1 && fileNumber <= MaxFileNumber) Files()[fileNumber].reset();
}

void CloseAll() {
    for (auto& f : Files()) f.reset();
}

}  // namespace rt
