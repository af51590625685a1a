// Palettised BMP files (1, 4 and 8 bits per pixel, uncompressed or run-length encoded).
// Every offset and count read from the file is checked against the file's size; a palette
// index past the palette reads as black.
#include <cstdlib>
#include <cstring>

#include "platform/media/bytes.h"
#include "platform/media/image.h"

namespace media {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;


struct BmpHeader {
    uint32_t dataOffset = 0;
    uint32_t headerSize = 0;
    int32_t width = 0, height = 0;  // height < 0: rows stored top to bottom
    int bits = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
};

bool ReadHeader(const uint8_t* d, size_t size, BmpHeader& h) {
    if (size < 18 || d[0] != 'B' || d[1] != 'M') return false;
    h.dataOffset = Le32(d + 10);
    h.headerSize = Le32(d + 14);
    if (h.headerSize == 12) {
        if (size < 14 + 12) return false;
        h.width = static_cast<int32_t>(Le16(d + 18));
        h.height = static_cast<int32_t>(Le16(d + 20));
        if (Le16(d + 22) != 1) return false;
        h.bits = static_cast<int>(Le16(d + 24));
        return true;
    }
    if (h.headerSize < 40 || size < 14 + 40) return false;
    h.width = static_cast<int32_t>(Le32(d + 18));
    h.height = static_cast<int32_t>(Le32(d + 22));
    if (Le16(d + 26) != 1) return false;
    h.bits = static_cast<int>(Le16(d + 28));
    h.compression = Le32(d + 30);
    h.colorsUsed = Le32(d + 46);
    return true;
}

// Walks run-length data: pairs (count, index) or escapes 0 0 (end of line), 0 1 (end of bitmap),
// 0 2 dx dy (move), 0 n (n literal indexes, padded to a 16-bit boundary), calling
// put(x, row, index) for each pixel, with row 0 the first stored. False when the data stops
// before its end-of-bitmap mark and before its last row: the rest of the picture is missing.
template <class Put>
bool WalkRle(const uint8_t* px, size_t n, int bits, int64_t height, Put&& put) {
    size_t pos = 0;
    int64_t x = 0, r = 0;
    while (r < height) {
        if (pos + 2 > n) return false;
        const uint8_t count = px[pos], value = px[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i, ++x) put(x, r, bits == 8 ? value : ((i & 1) ? (value & 0x0F) : (value >> 4)));
            continue;
        }
        if (value == 0) {
            x = 0;
            ++r;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (pos + 2 > n) return false;
            x += px[pos];
            r += px[pos + 1];
            pos += 2;
        } else {
            const size_t bytes = bits == 8 ? value : (value + 1u) / 2;
            if (pos + bytes > n) return false;
            for (int i = 0; i < value; ++i, ++x) {
                const uint8_t b = px[pos + (bits == 8 ? i : i / 2)];
                put(x, r, bits == 8 ? b : ((i & 1) ? (b & 0x0F) : (b >> 4)));
            }
            pos += (bytes + 1) & ~static_cast<size_t>(1);
        }
    }
    return true;
}

}  // namespace

bool BmpPixelsPresent(const uint8_t* d, size_t size) {
    BmpHeader h;
    // Run-length data has no length the header fixes; sizes out of range are refused by the
    // readers themselves.
    if (!ReadHeader(d, size, h) || (h.compression != kRgb && h.compression != kBitFields)) return true;
    const int64_t width = h.width, height = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
    if (width <= 0 || height <= 0 || width > MaxImageSide || height > MaxImageSide || h.bits <= 0 || h.bits > 32)
        return true;
    // Every row padded to four bytes but the last, which needs only its pixels.
    const uint64_t rowBits = static_cast<uint64_t>(width) * static_cast<uint64_t>(h.bits);
    const uint64_t stride = (rowBits + 31) / 32 * 4;
    return h.dataOffset + stride * static_cast<uint64_t>(height - 1) + (rowBits + 7) / 8 <= size;
}

bool PeekBmp(const uint8_t* data, size_t size, int& bitsPerPixel, uint32_t& compression) {
    BmpHeader h;
    if (!ReadHeader(data, size, h)) return false;
    bitsPerPixel = h.bits;
    compression = h.compression;
    return true;
}

bool DecodePalettedBmp(const uint8_t* d, size_t size, Image& out, std::string& error,
                       int maxSide) {
    BmpHeader h;
    if (!ReadHeader(d, size, h)) {
        error = "not a BMP file";
        return false;
    }
    if (h.bits != 1 && h.bits != 4 && h.bits != 8) {
        error = "not a palettised BMP";
        return false;
    }
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    if (!(h.compression == kRgb || (h.compression == kRle8 && h.bits == 8) ||
          (h.compression == kRle4 && h.bits == 4))) {
        error = "unsupported BMP compression";
        return false;
    }
    const bool topDown = h.height < 0;
    if (rle && topDown) {
        error = "run-length BMP stored top down";
        return false;
    }
    const int64_t width = h.width;
    const int64_t height = topDown ? -static_cast<int64_t>(h.height) : h.height;
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide) {
        error = "bad BMP size";
        return false;
    }

    // The palette follows the info header.
    const size_t entrySize = h.headerSize == 12 ? 3 : 4;
    const uint32_t maxColors = 1u << h.bits;
    uint32_t colors = (h.colorsUsed == 0 || h.headerSize == 12) ? maxColors : h.colorsUsed;
    if (colors > maxColors) colors = maxColors;
    const size_t paletteStart = 14 + static_cast<size_t>(h.headerSize);
    if (paletteStart > size) {
        error = "BMP header runs past the end of the file";
        return false;
    }
    const size_t available = (size - paletteStart) / entrySize;
    if (available < colors) colors = static_cast<uint32_t>(available);
    uint32_t palette[256];
    for (uint32_t& c : palette) c = 0xFF000000u;
    for (uint32_t i = 0; i < colors; ++i) {
        const uint8_t* e = d + paletteStart + i * entrySize;
        palette[i] = 0xFF000000u | (e[2] << 16) | (e[1] << 8) | e[0];
    }

    if (h.dataOffset >= size) {
        error = "BMP pixel data missing";
        return false;
    }
    const uint8_t* px = d + h.dataOffset;
    const size_t pxSize = size - h.dataOffset;
    const size_t stride = ((static_cast<size_t>(width) * h.bits + 31) / 32) * 4;
    if (!rle && stride * static_cast<size_t>(height) > pxSize) {
        error = "BMP pixel data truncated";
        return false;
    }
    // Run-length data is walked once before the picture is made, so that data cut short is
    // refused without making a picture of its size.
    if (rle && !WalkRle(px, pxSize, h.bits, height, [](int64_t, int64_t, uint32_t) {})) {
        error = "BMP run-length data truncated";
        return false;
    }

    out.Width = static_cast<int>(width);
    out.Height = static_cast<int>(height);
    out.HasAlpha = false;
    out.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), palette[0]);

    // Row `r` of the file (0 = first stored) is image row `y`.
    auto imageRow = [&](int64_t r) { return topDown ? r : height - 1 - r; };

    if (!rle) {
        for (int64_t r = 0; r < height; ++r) {
            const uint8_t* row = px + static_cast<size_t>(r) * stride;
            uint32_t* dst = &out.Pixels[static_cast<size_t>(imageRow(r)) * width];
            for (int64_t x = 0; x < width; ++x) {
                uint32_t index;
                if (h.bits == 8) {
                    index = row[x];
                } else if (h.bits == 4) {
                    const uint8_t b = row[x >> 1];
                    index = (x & 1) ? (b & 0x0F) : (b >> 4);
                } else {
                    index = (row[x >> 3] >> (7 - (x & 7))) & 1;
                }
                dst[x] = palette[index];
            }
        }
        return true;
    }

    // Run-length data: pixels the data never reaches keep palette entry 0.
    auto put = [&](int64_t x, int64_t r, uint32_t index) {
        if (x < width && r < height) out.Pixels[static_cast<size_t>(imageRow(r)) * width + x] = palette[index];
    };
    WalkRle(px, pxSize, h.bits, height, put);
    return true;
}

}  // namespace media
