#include "platform/d3dx8/file_read.h"

#include "platform/d3dx8/d3dx8.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/file_bytes.h"
#include "platform/runtime/paths.h"

namespace d3dx8detail {

std::string ReadWholeFile(const std::string& path, size_t maxBytes) {
    // Each error keeps its usual text; the detail is the file as the system names it.
    const std::string host = rt::HostPath(path);
    std::string data;
    switch (rt::ReadRegularFile(host, maxBytes, data)) {
        case rt::FileRead::Ok: return data;
        case rt::FileRead::Missing:
        case rt::FileRead::NotAFile: rt::RaiseAbout(rt::ErrFileNotFound, host);
        case rt::FileRead::Folder: rt::RaiseAbout(rt::ErrPathNotFound, host);
        case rt::FileRead::TooLarge:
            rt::RaiseAbout(rt::ErrOutOfMemory, host + ": larger than " + std::to_string(maxBytes) + " bytes");
        case rt::FileRead::NoPermission:
        case rt::FileRead::Failed: break;
    }
    rt::RaiseAbout(rt::ErrPathFileAccess, host);
}

void RaiseInvalidData(const std::string& path, const std::string& why) {
    rt::RuntimeError e(D3DXERR_INVALIDDATA, "D3DXERR_INVALIDDATA");
    e.AddContext(rt::HostPath(path) + ": " + why);
    throw e;
}

}  // namespace d3dx8detail
