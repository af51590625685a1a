// Fuzz target: image files as the texture loader reads them, through decoding, the colour key,
// resampling to power-of-two sizes and the mip chain.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/media/image.h"
#include "platform/d3dx8/texture_build.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    media::Image image;
    std::string why;
    // Small images only: the point is the parsing, not the memory of a huge picture.
    if (!media::DecodeImage(data, size, image, why, 512)) return 0;
    if (image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height) __builtin_trap();
    d3dx8detail::ApplyColorKey(image, 0xFF00FF00u);
    const int w = std::min(d3dx8detail::NextPowerOfTwo(image.Width), 256);
    const int h = std::min(d3dx8detail::NextPowerOfTwo(image.Height), 256);
    Direct3DTexture8 texture;
    d3dx8detail::BuildTexture(image, w, h, d3dx8detail::FullMipCount(w, h), 3, 3, true, 21, texture);
    return 0;
}
