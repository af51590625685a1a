#pragma once
// Writers of the picture files: 24-bit BMP and a one-image 256-colour ICO.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Art {

// rgb: 8-bit RGB rows, top row first. Throws std::runtime_error when the file cannot be written.
void WriteBmp24(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb);

// A picture in 256 colours: palette entry 0 is the colour of transparent pixels, the others are
// picked from the picture.
struct Indexed {
    std::vector<std::array<uint8_t, 3>> palette;  // RGB, 256 entries
    std::vector<uint8_t> index;                   // one per pixel, top row first
};
Indexed Quantize(int w, int h, const std::vector<uint8_t>& rgb, const std::vector<bool>& opaque,
                 const std::array<uint8_t, 3>& transparent);

// An 8-bit BMP with the picture's palette.
void WriteBmp8(const std::string& path, int w, int h, const Indexed& img);

// A one-image icon in 256 colours with a transparency mask: pixels where opaque[i] is false show
// the desktop through.
void WriteIco256(const std::string& path, int w, int h, const Indexed& img, const std::vector<bool>& opaque);

}  // namespace Art
