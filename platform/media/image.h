// Image files in memory decoded to 0xAARRGGBB pixels, for the texture loader and the window run
// time's pictures.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace media {

// A decoded image: rows top to bottom. `HasAlpha` is false for images without an alpha
// channel, whose pixels then all carry alpha FF.
struct Image {
    int Width = 0;
    int Height = 0;
    bool HasAlpha = false;
    std::vector<uint32_t> Pixels;
};

// The largest image side we accept; larger (or absurd) headers are rejected before anything is
// allocated.
constexpr int MaxImageSide = 8192;
// Longest image file read: an uncompressed 32-bit picture of the largest side, with room for
// its headers.
constexpr size_t MaxImageFileBytes = size_t{4} * MaxImageSide * MaxImageSide + (size_t{1} << 20);

// Decodes a BMP (1, 4, 8 bits palettised, also RLE; 16, 24, 32 bits), PNG, JPEG or TGA image.
// On failure returns false and says why in `error`; `out` may then hold anything.
// Images with a side above `maxSide` are refused.
bool DecodeImage(const uint8_t* data, size_t size, Image& out, std::string& error,
                 int maxSide = MaxImageSide);

// The palettised BMP reader (1, 4 or 8 bits, uncompressed or RLE). Returns false with a reason
// for anything else or for a damaged file.
bool DecodePalettedBmp(const uint8_t* data, size_t size, Image& out, std::string& error,
                       int maxSide = MaxImageSide);

// JPEG through libjpeg.
bool DecodeJpeg(const uint8_t* data, size_t size, Image& out, std::string& error,
                int maxSide = MaxImageSide);
// True when a decoder would take the data for a JPEG: FF, any further FF bytes, then D8.
bool LooksLikeJpeg(const uint8_t* data, size_t size);

// The first image of an icon file (.ico with a bitmap image of 1 to 32 bits per pixel): its
// colours, with the pixels that the icon's mask leaves out made fully transparent. Returns false
// with a reason when the bytes are not such an icon.
bool DecodeIcon(const uint8_t* data, size_t size, Image& out, std::string& error);

// False when a BMP without run-length compression holds fewer pixel bytes than its header
// declares; true for anything else.
bool BmpPixelsPresent(const uint8_t* data, size_t size);

// Bits per pixel and compression of a BMP's header; false when `data` is not a BMP.
bool PeekBmp(const uint8_t* data, size_t size, int& bitsPerPixel, uint32_t& compression);

}  // namespace media
