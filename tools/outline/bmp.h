#pragma once
// Reader of the uncompressed 24-bit BMP files the skins are kept in.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace Outline {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;  // 0xRRGGBB, top row first
    uint32_t At(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

struct BadPicture : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Decodes a 24-bit BI_RGB bitmap, bottom-up or top-down. Anything else, and any truncated or
// inconsistent file, throws BadPicture.
Picture ReadBmp24(std::span<const unsigned char> bytes);
Picture ReadBmp24File(const std::string& path);

}  // namespace Outline
