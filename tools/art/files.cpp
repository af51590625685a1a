#include "tools/art/files.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <stdexcept>

#include "platform/media/bytes.h"

namespace Art {
namespace {

using media::PutLe16;
using media::PutLe32;

// The 40-byte bitmap information header.
void PutInfoHeader(std::vector<uint8_t>& o, int w, int h, int bits, uint32_t imageSize, uint32_t colours) {
    PutLe32(o, 40);
    PutLe32(o, uint32_t(w));
    PutLe32(o, uint32_t(h));
    PutLe16(o, 1);
    PutLe16(o, uint32_t(bits));
    PutLe32(o, 0);  // no compression
    PutLe32(o, imageSize);
    PutLe32(o, 3780);  // 96 pixels per inch
    PutLe32(o, 3780);
    PutLe32(o, colours);
    PutLe32(o, 0);
}

void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteBmp24(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb) {
    const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * uint32_t(h);
    std::vector<uint8_t> o;
    o.push_back('B');
    o.push_back('M');
    PutLe32(o, 54 + imageSize);
    PutLe32(o, 0);
    PutLe32(o, 54);
    PutInfoHeader(o, w, h, 24, imageSize, 0);
    for (int y = h - 1; y >= 0; --y) {  // bottom row first
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            o.push_back(p[2]);
            o.push_back(p[1]);
            o.push_back(p[0]);
        }
        for (uint32_t pad = uint32_t(w) * 3; pad < stride; ++pad) o.push_back(0);
    }
    Save(path, o);
}

Indexed Quantize(int w, int h, const std::vector<uint8_t>& rgb, const std::vector<bool>& opaque,
                 const std::array<uint8_t, 3>& transparent) {
    // Palette: entry 0 for transparent pixels, then the means of the 255 most used colour cells
    // (4 bits per channel); each pixel takes its nearest palette colour.
    struct Cell { uint32_t n = 0, r = 0, g = 0, b = 0; };
    std::map<int, Cell> cells;
    for (int i = 0; i < w * h; ++i) {
        if (!opaque[size_t(i)]) continue;
        const uint8_t* p = &rgb[size_t(i) * 3];
        Cell& c = cells[(p[0] >> 4) << 8 | (p[1] >> 4) << 4 | (p[2] >> 4)];
        ++c.n; c.r += p[0]; c.g += p[1]; c.b += p[2];
    }
    std::vector<Cell> byUse;
    for (auto& [k, c] : cells) byUse.push_back(c);
    std::sort(byUse.begin(), byUse.end(), [](const Cell& a, const Cell& b) { return a.n > b.n; });
    Indexed out;
    out.palette.push_back(transparent);
    for (const Cell& c : byUse) {
        if (out.palette.size() == 256) break;
        std::array<uint8_t, 3> col{uint8_t(c.r / c.n), uint8_t(c.g / c.n), uint8_t(c.b / c.n)};
        if (col == transparent) col[1] = uint8_t(col[1] + 1);
        out.palette.push_back(col);
    }
    const size_t used = out.palette.size();
    while (out.palette.size() < 256) out.palette.push_back({0, 0, 0});
    for (int i = 0; i < w * h; ++i) {
        if (!opaque[size_t(i)]) {
            out.index.push_back(0);
            continue;
        }
        const uint8_t* p = &rgb[size_t(i) * 3];
        size_t best = 1;
        int bestD = 1 << 30;
        for (size_t k = 1; k < used; ++k) {
            int dr = p[0] - out.palette[k][0], dg = p[1] - out.palette[k][1], db = p[2] - out.palette[k][2];
            int d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
            if (d < bestD) { bestD = d; best = k; }
        }
        out.index.push_back(uint8_t(best));
    }
    return out;
}

void WriteBmp8(const std::string& path, int w, int h, const Indexed& img) {
    const uint32_t stride = (uint32_t(w) + 3) & ~3u;
    const uint32_t imageSize = stride * uint32_t(h);
    const uint32_t dataAt = 54 + 256 * 4;
    std::vector<uint8_t> o;
    o.push_back('B');
    o.push_back('M');
    PutLe32(o, dataAt + imageSize);
    PutLe32(o, 0);
    PutLe32(o, dataAt);
    PutInfoHeader(o, w, h, 8, imageSize, 256);
    for (auto& c : img.palette) {
        o.push_back(c[2]);
        o.push_back(c[1]);
        o.push_back(c[0]);
        o.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) o.push_back(img.index[size_t(y) * w + x]);
        for (uint32_t pad = uint32_t(w); pad < stride; ++pad) o.push_back(0);
    }
    Save(path, o);
}

void WriteIco256(const std::string& path, int w, int h, const Indexed& img, const std::vector<bool>& opaque) {
    // Transparent pixels are black in the colour part, so the mask alone decides what shows.
    auto pal = img.palette;
    pal[0] = {0, 0, 0};
    const uint32_t xorStride = (uint32_t(w) + 3) & ~3u;
    const uint32_t andStride = ((uint32_t(w) + 31) / 32) * 4;
    const uint32_t imageSize = 40 + 256 * 4 + (xorStride + andStride) * uint32_t(h);
    std::vector<uint8_t> o;
    PutLe16(o, 0);
    PutLe16(o, 1);  // an icon
    PutLe16(o, 1);  // one image
    o.push_back(uint8_t(w));
    o.push_back(uint8_t(h));
    o.push_back(0);  // 256 colours
    o.push_back(0);
    PutLe16(o, 1);
    PutLe16(o, 8);
    PutLe32(o, imageSize);
    PutLe32(o, 22);
    PutInfoHeader(o, w, h * 2, 8, (xorStride + andStride) * uint32_t(h), 256);
    for (auto& c : pal) {
        o.push_back(c[2]);
        o.push_back(c[1]);
        o.push_back(c[0]);
        o.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * w + x;
            o.push_back(img.index[i]);
        }
        for (uint32_t pad = uint32_t(w); pad < xorStride; ++pad) o.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(andStride, 0);
        for (int x = 0; x < w; ++x)
            if (!opaque[size_t(y) * w + x]) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        o.insert(o.end(), row.begin(), row.end());
    }
    Save(path, o);
}

}  // namespace Art
