// Pictures from image files or bytes, decoded by the image reader of the D3DX stand-in.
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/d3dx8/image.h"
#include "platform/runtime/errors.h"
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
    std::ifstream in(HostPath(path), std::ios::binary);
    if (!in) Raise(ErrFileNotFound);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return LoadPictureFromMemory(bytes.data(), bytes.size());
}

}  // namespace rt
