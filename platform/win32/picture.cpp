// Pictures from image files or bytes, decoded by the image reader of the D3DX stand-in.
#include <string>

#include "platform/d3dx8/file_read.h"
#include "platform/d3dx8/image.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/file_bytes.h"
#include "platform/runtime/paths.h"
#include "platform/win32/runtime.h"

namespace rt {

StdPicture LoadPictureFromMemory(const void* data, size_t size) {
    d3dx8detail::Image img;
    std::string error;
    if (!data || size == 0 || !d3dx8detail::DecodeImage(static_cast<const uint8_t*>(data), size, img, error))
        Raise(481, "Invalid picture");
    StdPicture p;
    p.Width = img.Width;
    p.Height = img.Height;
    p.Pixels = std::move(img.Pixels);
    return p;
}

StdPicture LoadPicture(const std::string& path) {
    std::string bytes;
    switch (ReadRegularFile(HostPath(path), d3dx8detail::MaxImageFileBytes, bytes)) {
        case FileRead::Ok: return LoadPictureFromMemory(bytes.data(), bytes.size());
        case FileRead::TooLarge: Raise(ErrOutOfMemory);
        default: Raise(ErrFileNotFound);  // missing, or nothing a picture can be read from
    }
}

}  // namespace rt
