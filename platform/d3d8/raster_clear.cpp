// Clears: a rectangle of the colour and/or depth buffer filled in order with the primitives.
#include <algorithm>
#include <cstring>

#include "platform/d3d8/raster_tiles.h"

namespace d3d8detail {

void DrawClear(const Target& t, const ClearCommand& c, int band, int bands) {
    const bool depth = c.depth && t.depth;
    const bool bytewise = (c.z >> 8) == (c.z & 0xFF);   // 0xFFFF (far) and 0: a byte fill
    for (int y = NextOwnedRow(c.y0, band, bands); y < c.y1; y = NextBandRow(y, band, bands)) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(t.width);
        if (c.color) std::fill(t.color + row + c.x0, t.color + row + c.x1, c.argb);
        if (depth) {
            if (bytewise)
                std::memset(t.depth + row + c.x0, c.z & 0xFF, static_cast<size_t>(c.x1 - c.x0) * sizeof(uint16_t));
            else
                std::fill(t.depth + row + c.x0, t.depth + row + c.x1, c.z);
            MarkDepthWritten(t, y, c.x0, c.x1 - 1);
        }
    }
    if (depth) TilesCleared(t, c.x0, c.y0, c.x1, c.y1, band, bands, c.z);
}

}  // namespace d3d8detail
