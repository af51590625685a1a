// Pictures from image and icon files or bytes, decoded by the shared image readers.
#include <string>

#include "platform/media/image.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/file_bytes.h"
#include "platform/runtime/paths.h"
#include "platform/win32/runtime.h"

namespace rt {

namespace {

StdPicture FromImage(media::Image&& img) {
    StdPicture p;
    p.Width = img.Width;
    p.Height = img.Height;
    p.Pixels = std::move(img.Pixels);
    return p;
}

}  // namespace

StdPicture LoadPictureFromMemory(const void* data, size_t size) {
    media::Image img;
    std::string error;
    if (!data || size == 0 || !media::DecodeImage(static_cast<const uint8_t*>(data), size, img, error))
        Raise(ErrInvalidPicture);
    return FromImage(std::move(img));
}

StdPicture LoadIconFromMemory(const void* data, size_t size) {
    media::Image img;
    std::string error;
    if (!media::DecodeIcon(static_cast<const uint8_t*>(data), size, img, error)) Raise(ErrInvalidPicture);
    return FromImage(std::move(img));
}

StdPicture LoadPicture(const std::string& path) {
    std::string bytes;
    switch (ReadRegularFile(HostPath(path), media::MaxImageFileBytes, bytes)) {
        case FileRead::Ok: return LoadPictureFromMemory(bytes.data(), bytes.size());
        case FileRead::TooLarge: Raise(ErrOutOfMemory);
        default: Raise(ErrFileNotFound);  // missing, or nothing a picture can be read from
    }
}

}  // namespace rt
