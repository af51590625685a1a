#include "tools/data/bmp_writer.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

#include "platform/media/bytes.h"

namespace datagen {

uint32_t Rgb(double r, double g, double b) {
    auto ch = [](double v) { return uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
    return (ch(r) << 16) | (ch(g) << 8) | ch(b);
}

using media::PutLe16;
using media::PutLe32;

void WriteBmp24(const std::string& path, const Image& img) {
    const uint32_t rowBytes = (uint32_t(img.Width) * 3 + 3) & ~3u;
    const uint32_t dataBytes = rowBytes * uint32_t(img.Height);
    std::vector<uint8_t> out;
    out.reserve(54 + dataBytes);
    // File header: "BM", file size, two reserved words, offset of the pixel data.
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, 54 + dataBytes);
    PutLe32(out, 0);
    PutLe32(out, 54);
    // Info header: 40 bytes, width, height (positive: bottom-up), 1 plane, 24 bits, no compression.
    PutLe32(out, 40);
    PutLe32(out, uint32_t(img.Width));
    PutLe32(out, uint32_t(img.Height));
    PutLe16(out, 1);
    PutLe16(out, 24);
    PutLe32(out, 0);
    PutLe32(out, dataBytes);
    PutLe32(out, 3780);  // 96 dots per inch
    PutLe32(out, 3780);
    PutLe32(out, 0);
    PutLe32(out, 0);
    for (int y = img.Height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < img.Width; ++x) {
            const uint32_t c = img.At(x, y);
            out.push_back(uint8_t(Blue(c)));
            out.push_back(uint8_t(Green(c)));
            out.push_back(uint8_t(Red(c)));
        }
        while (out.size() - start < rowBytes) out.push_back(0);
    }
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) throw std::runtime_error("cannot write " + path);
    f.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

}  // namespace datagen
