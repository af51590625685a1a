// A small writer of uncompressed 24-bit BMP files, and the in-memory picture it writes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// An RGB picture, rows top to bottom, each pixel 0x00RRGGBB.
struct Image {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill = 0) : Width(w), Height(h), Pixels(size_t(w) * h, fill) {}
    uint32_t& At(int x, int y) { return Pixels[size_t(y) * Width + x]; }
    uint32_t At(int x, int y) const { return Pixels[size_t(y) * Width + x]; }
};

// Packs three channels given as 0..255 doubles (clamped, rounded) into 0x00RRGGBB.
uint32_t Rgb(double r, double g, double b);
inline int Red(uint32_t c) { return int((c >> 16) & 0xFF); }
inline int Green(uint32_t c) { return int((c >> 8) & 0xFF); }
inline int Blue(uint32_t c) { return int(c & 0xFF); }

// Writes `img` as a bottom-up 24-bit BMP (BITMAPINFOHEADER, rows padded to 4 bytes).
// Throws std::runtime_error when the file cannot be written.
void WriteBmp24(const std::string& path, const Image& img);

}  // namespace datagen
