#include "platform/d3dx8/file_read.h"

#include "platform/runtime/errors.h"
#include "platform/runtime/file_bytes.h"
#include "platform/runtime/paths.h"

namespace d3dx8detail {

std::string ReadWholeFile(const std::string& path, size_t maxBytes) {
    std::string data;
    switch (rt::ReadRegularFile(rt::HostPath(path), maxBytes, data)) {
        case rt::FileRead::Ok: return data;
        case rt::FileRead::Missing:
        case rt::FileRead::NotAFile: rt::Raise(rt::ErrFileNotFound, "File not found: " + path);
        case rt::FileRead::Folder: rt::Raise(rt::ErrPathNotFound, "Path not found: " + path);
        case rt::FileRead::TooLarge: rt::Raise(rt::ErrOutOfMemory, "Out of memory (file too large): " + path);
        case rt::FileRead::NoPermission:
        case rt::FileRead::Failed: break;
    }
    rt::Raise(rt::ErrPathFileAccess, "Path/File access error: " + path);
}

}  // namespace d3dx8detail
