#pragma once
// Writers of the picture files: 24-bit BMP and a one-image 256-colour ICO.
#include <cstdint>
#include <string>
#include <vector>

namespace Art {

// rgb: 8-bit RGB rows, top row first. Throws std::runtime_error when the file cannot be written.
void WriteBmp24(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb);

// One w x h image in 256 colours (a palette picked from the picture) with a transparency mask:
// pixels where opaque[i] is false show the desktop through.
void WriteIco256(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb,
                 const std::vector<bool>& opaque);

}  // namespace Art
