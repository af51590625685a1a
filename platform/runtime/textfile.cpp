#include "textfile.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <sys/stat.h>

#include "errors.h"
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
    if (S_ISDIR(st.st_mode)) Raise(ErrPathFileAccess);

    std::ifstream in(host, std::ios::binary);
    if (!in) Raise(errno == EACCES ? ErrPermissionDenied : ErrPathFileAccess);
    auto file = std::make_unique<OpenFile>();
    try {
        in.seekg(0, std::ios::end);
        std::streamoff size = in.tellg();
        in.seekg(0, std::ios::beg);
        if (size > 0) {
            file->data.resize(static_cast<size_t>(size));
            in.read(file->data.data(), size);
            file->data.resize(static_cast<size_t>(in.gcount()));
        } else {
            // Size unknown (a pipe or a special file): read to the end.
            file->data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    } catch (const std::bad_alloc&) {
        Raise(ErrOutOfMemory);
    } catch (const std::length_error&) {
        Raise(ErrOutOfMemory);
    }
    if (in.bad()) Raise(ErrPathFileAccess);
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
