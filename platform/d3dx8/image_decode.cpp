// Image decoding: palettised BMPs by our own reader, everything else by stb_image.
#include <climits>

#include "platform/d3dx8/image.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace d3dx8detail {

bool DecodeImage(const uint8_t* data, size_t size, Image& out, std::string& error, int maxSide) {
    if (data == nullptr || size == 0) {
        error = "empty file";
        return false;
    }
    if (size > static_cast<size_t>(INT_MAX)) {
        error = "file too large";
        return false;
    }
    int bits = 0;
    uint32_t compression = 0;
    const bool bmp = PeekBmp(data, size, bits, compression);
    if (bmp && bits <= 8) return DecodePalettedBmp(data, size, out, error, maxSide);

    const int len = static_cast<int>(size);
    int w = 0, h = 0, channels = 0;
    // Refuse absurd sizes before anything is allocated.
    if (!stbi_info_from_memory(data, len, &w, &h, &channels)) {
        const char* why = stbi_failure_reason();
        error = (why && *why) ? why : "not an image";
        return false;
    }
    if (w <= 0 || h <= 0 || w > maxSide || h > maxSide) {
        error = "bad image size";
        return false;
    }
    stbi_uc* pixels = stbi_load_from_memory(data, len, &w, &h, &channels, 4);
    if (pixels == nullptr) {
        const char* why = stbi_failure_reason();
        error = (why && *why) ? why : "corrupt image";
        return false;
    }
    // A 32-bit BMP without bit masks is X8R8G8B8: its fourth byte is not alpha.
    const bool alphaIgnored = bmp && bits == 32 && compression == 0;
    out.Width = w;
    out.Height = h;
    out.HasAlpha = (channels == 2 || channels == 4) && !alphaIgnored;
    out.Pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (size_t i = 0; i < out.Pixels.size(); ++i) {
        const stbi_uc* p = pixels + i * 4;
        const uint32_t a = out.HasAlpha ? p[3] : 0xFFu;
        out.Pixels[i] = (a << 24) | (static_cast<uint32_t>(p[0]) << 16) | (p[1] << 8) | p[2];
    }
    stbi_image_free(pixels);
    return true;
}

}  // namespace d3dx8detail
