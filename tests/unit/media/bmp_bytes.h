// Builds BMP files byte by byte for the reader tests, so each header field is under the test's
// control.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/media/bytes.h"

namespace bmptest {

using media::PutLe16;
using media::PutLe32;

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
    PutLe32(b, offset + static_cast<uint32_t>(pixelData.size()));
    PutLe32(b, 0);
    PutLe32(b, offset);
    PutLe32(b, 40);
    PutLe32(b, static_cast<uint32_t>(width));
    PutLe32(b, static_cast<uint32_t>(height));
    PutLe16(b, 1);
    PutLe16(b, static_cast<uint32_t>(bits));
    PutLe32(b, compression);
    PutLe32(b, static_cast<uint32_t>(pixelData.size()));
    PutLe32(b, 2835);
    PutLe32(b, 2835);
    PutLe32(b, colorsUsed);
    PutLe32(b, 0);
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
