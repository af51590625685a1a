// Depth tiles: the greatest depth of each 16 x 16 tile, measured again when the tile was
// written since, so that a triangle wholly behind a region can be passed over.
#include "platform/d3d8/raster_tiles.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace d3d8detail {

namespace {

// The greatest depth in tile (tx, ty), read from the buffer.
uint16_t MeasureTile(const Target& t, int tx, int ty) {
    const int x0 = tx << kTileShift, y0 = ty << kTileShift;
    const int x1 = std::min(x0 + (1 << kTileShift), t.width), y1 = std::min(y0 + (1 << kTileShift), t.height);
    uint32_t m = 0;
#if defined(__SSE2__)
    if (x1 - x0 == 16) {
        // Unsigned 16-bit maximum from the signed one: flip the top bit on the way in and out.
        const __m128i flip = _mm_set1_epi16(static_cast<short>(0x8000));
        __m128i acc = _mm_set1_epi16(static_cast<short>(0x8000));   // 0 flipped
        for (int y = y0; y < y1; ++y) {
            const __m128i* row = reinterpret_cast<const __m128i*>(t.depth + static_cast<size_t>(y) * static_cast<size_t>(t.width) + x0);
            acc = _mm_max_epi16(acc, _mm_xor_si128(_mm_loadu_si128(row), flip));
            acc = _mm_max_epi16(acc, _mm_xor_si128(_mm_loadu_si128(row + 1), flip));
        }
        acc = _mm_max_epi16(acc, _mm_srli_si128(acc, 8));
        acc = _mm_max_epi16(acc, _mm_srli_si128(acc, 4));
        acc = _mm_max_epi16(acc, _mm_srli_si128(acc, 2));
        return static_cast<uint16_t>((_mm_cvtsi128_si32(acc) & 0xFFFF) ^ 0x8000);
    }
#endif
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            m = std::max<uint32_t>(m, t.depth[static_cast<size_t>(y) * static_cast<size_t>(t.width) + static_cast<size_t>(x)]);
    return static_cast<uint16_t>(m);
}

}  // namespace

bool BehindTiles(const Target& t, int x0, int x1, int y0, int y1, int band, int bands, uint32_t nearest) {
    DepthTiles& d = *t.tiles;
    for (int ty = y0 >> kTileShift; ty <= (y1 >> kTileShift); ++ty) {
        if (bands > 1 && ty % bands != band) continue;
        const size_t row = static_cast<size_t>(ty) * static_cast<size_t>(d.cols);
        for (int tx = x0 >> kTileShift; tx <= (x1 >> kTileShift); ++tx) {
            const size_t i = row + static_cast<size_t>(tx);
            if (d.written[i]) {
                d.bound[i] = MeasureTile(t, tx, ty);
                d.written[i] = 0;
            }
            if (d.bound[i] >= nearest) return false;
        }
    }
    return true;
}

void TilesCleared(const Target& t, int x0, int y0, int x1, int y1, int band, int bands, uint16_t z) {
    if (!t.tiles) return;
    DepthTiles& d = *t.tiles;
    const int tile = 1 << kTileShift;
    for (int ty = y0 >> kTileShift; ty < d.rows && (ty << kTileShift) < y1; ++ty) {
        const int ty0 = ty << kTileShift, ty1 = std::min(ty0 + tile, t.height);
        if ((bands > 1 && ty % bands != band) || ty0 < y0 || ty1 > y1) continue;
        for (int tx = x0 >> kTileShift; tx < d.cols && (tx << kTileShift) < x1; ++tx) {
            const int tx0 = tx << kTileShift, tx1 = std::min(tx0 + tile, t.width);
            if (tx0 < x0 || tx1 > x1) continue;
            const size_t i = static_cast<size_t>(ty) * static_cast<size_t>(d.cols) + static_cast<size_t>(tx);
            d.bound[i] = z;
            d.written[i] = 0;
        }
    }
}

}  // namespace d3d8detail
