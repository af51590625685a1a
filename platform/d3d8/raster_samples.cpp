// Two samples per pixel: every command is drawn into each sample's buffers, a triangle or line
// of a multisampled state at that sample's position, and the picture is their average.
//
// The samples sit a quarter pixel from the centre along the diagonal, sample 0 at (+1/4, +1/4)
// and sample 1 at (-1/4, -1/4). Drawing at a sample's position is drawing the primitive moved
// by the opposite amount with the usual rules at the pixel centres, so coverage, depth and
// shading are all taken at the sample. A quarter pixel is four of the sixteenths that positions
// are snapped to, and moving a float by it is exact for every position the guard band lets
// through, so both samples keep the rasterizer's exact edge rules.
#include <cstddef>

#include "platform/d3d8/raster.h"

namespace d3d8detail {

namespace {

constexpr float kSampleOffset[2] = {0.25f, -0.25f};   // x and y alike

Target SampleTarget(const Target& t, int sample) {
    if (sample == 0) return t;
    Target s = t;
    s.color = t.color1;
    s.depth = t.depth1;
    s.tiles = t.tiles1;
    return s;
}

Prim MovedTo(const Prim& p, int sample) {
    Prim q = p;
    for (ScreenVertex& v : q.v) {
        v.x -= kSampleOffset[sample];
        v.y -= kSampleOffset[sample];
    }
    return q;
}

}  // namespace

void DrawSamples(const Target& t, const PixelState* states, const ClearCommand* clears, const Prim& p, int band,
                 int bands) {
    for (int sample = 0; sample < 2; ++sample) {
        const Target st = SampleTarget(t, sample);
        if (p.kind != Prim::Clear && states[p.index].multisample)
            DrawCommand(st, states, clears, MovedTo(p, sample), band, bands);
        else
            DrawCommand(st, states, clears, p, band, bands);
    }
}

void ResolveSamples(const uint32_t* sample0, const uint32_t* sample1, uint32_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = sample0[i], b = sample1[i];
        // Per byte: (a + b + 1) / 2 without carries between the bytes.
        out[i] = (a | b) - (((a ^ b) >> 1) & 0x7F7F7F7Fu);
    }
}

}  // namespace d3d8detail
