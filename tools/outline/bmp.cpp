#include "tools/outline/bmp.h"

#include <fstream>
#include <iterator>

#include "platform/media/bytes.h"

namespace Outline {

using media::Le16;
using media::Le32;

Picture ReadBmp24(std::span<const unsigned char> b) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') throw BadPicture("not a BMP file");
    const uint32_t dataAt = Le32(&b[10]);
    const uint32_t headerSize = Le32(&b[14]);
    if (headerSize < 40 || 14 + uint64_t(headerSize) > b.size()) throw BadPicture("unsupported BMP header");
    const int32_t w = int32_t(Le32(&b[18]));
    const int32_t hRaw = int32_t(Le32(&b[22]));
    if (Le16(&b[26]) != 1 || Le16(&b[28]) != 24) throw BadPicture("not a 24-bit BMP");
    if (Le32(&b[30]) != 0) throw BadPicture("compressed BMP not supported");
    if (w <= 0 || hRaw == 0 || hRaw == INT32_MIN || w > 16384 || hRaw > 16384 || hRaw < -16384)
        throw BadPicture("bad BMP size");
    const bool topDown = hRaw < 0;
    const int h = topDown ? -hRaw : hRaw;
    const uint64_t stride = (uint64_t(w) * 3 + 3) & ~uint64_t(3);
    if (dataAt < 14 + headerSize || dataAt + stride * uint64_t(h) > b.size()) throw BadPicture("truncated BMP");
    Picture p;
    p.width = w;
    p.height = h;
    p.rgb.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const size_t row = dataAt + size_t(stride) * size_t(topDown ? y : h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const size_t at = row + size_t(x) * 3;
            p.rgb[size_t(y) * w + x] = uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 1]) << 8 | b[at];
        }
    }
    return p;
}

Picture ReadBmp24File(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw BadPicture("cannot open " + path);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    try {
        return ReadBmp24(bytes);
    } catch (const BadPicture& e) {
        throw BadPicture(path + ": " + e.what());
    }
}

}  // namespace Outline
