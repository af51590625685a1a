// Rows shared out between the drawing threads, and the depth tiles kept beside the depth
// buffer: which rows a band owns, marking tiles written, and asking whether a triangle lies
// wholly behind what its tiles already hold.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/d3d8/raster.h"

namespace d3d8detail {

constexpr int kTileShift = 4;   // depth tiles are 16 x 16, their rows the strips
static_assert(kTileShift == kStripShift, "a tile row must be one strip");

inline bool OwnsRow(int y, int band, int bands) { return bands == 1 || ((y >> kStripShift) % bands) == band; }

// Next row >= y that belongs to the band.
inline int NextOwnedRow(int y, int band, int bands) {
    if (bands == 1) return y;
    const int strip = y >> kStripShift;
    const int off = ((band - strip) % bands + bands) % bands;
    return off == 0 ? y : (strip + off) << kStripShift;
}

// The row after y in the band: y + 1, or the first row of the band's next strip.
inline int NextBandRow(int y, int band, int bands) {
    ++y;
    if (bands > 1 && (y & ((1 << kStripShift) - 1)) == 0) y = NextOwnedRow(y, band, bands);
    return y;
}

// Depth may have been written in pixels x0..x1 of row y.
inline void MarkDepthWritten(const Target& t, int y, int x0, int x1) {
    if (!t.tiles) return;
    uint8_t* w = t.tiles->written.data() + static_cast<size_t>(y >> kTileShift) * static_cast<size_t>(t.tiles->cols);
    for (int tx = x0 >> kTileShift; tx <= (x1 >> kTileShift); ++tx) w[tx] = 1;
}

// True when every pixel of rows y0..y1 (this band's only), columns x0..x1, holds a depth below
// `nearest`: a triangle no nearer than that fails the depth test everywhere there.
bool BehindTiles(const Target& t, int x0, int x1, int y0, int y1, int band, int bands, uint32_t nearest);

// Depth z was just written to the whole rectangle x0..x1-1, y0..y1-1 (this band's rows): the
// tiles it covers whole hold z alone, so their bound is known without a look.
void TilesCleared(const Target& t, int x0, int y0, int x1, int y1, int band, int bands, uint16_t z);

}  // namespace d3d8detail
