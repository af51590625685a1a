// Builds BMP files byte by byte for the reader tests, so each header field is under the test's
// control.
#pragma once
#include <cstdint>
#include <vector>

namespace bmptest {

inline void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A BMP with a 40-byte info header. `palette` holds 0x00RRGGBB entries (written B, G, R, 0);
// `rows` are the stored pixel rows, each already padded, in file order.
inline std::vector<uint8_t> Bmp(int bits, int32_t width, int32_t height,
                                const std::vector<uint32_t>& palette,
                                const std::vector<uint8_t>& pixelData, uint32_t compression = 0,
                                uint32_t colorsUsed = 0) {
    std::vector<uint8_t> b;
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offset + static_cast<uint32_t>(pixelData.size()));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bits));
    Put32(b, compression);
    Put32(b, static_cast<uint32_t>(pixelData.size()));
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, colorsUsed);
    Put32(b, 0);
    for (uint32_t c : palette) {
        b.push_back(c & 0xFF);
        b.push_back((c >> 8) & 0xFF);
        b.push_back((c >> 16) & 0xFF);
        b.push_back(0);
    }
    b.insert(b.end(), pixelData.begin(), pixelData.end());
    return b;
}

}  // namespace bmptest
