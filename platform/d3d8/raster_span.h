// Spans: the pixels of one row of a triangle, from its attribute planes. The general span
// handles any pixel state one pixel at a time; the common span (a power-of-two wrapped texture
// times white, the state of nearly every world triangle) has a scalar loop, the reference,
// and 4-wide SSE2 and 8-wide AVX2 loops that must give its very pixels. Which loops run is the
// target's SpanPath: by default the widest the processor has; QV_SPAN_PATH=scalar|sse2|avx2 in
// the environment (read when a device is made) or a test switch forces one.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/d3d8/pixel.h"
#include "platform/d3d8/raster.h"

namespace d3d8detail {

// A linear function of the pixel position: value at (ox, oy) and its steps.
struct Plane {
    float base, dx, dy;
    float At(float x, float y, float ox, float oy) const { return base + dx * (x - ox) + dy * (y - oy); }
};

struct TrianglePlanes {
    float ox, oy;
    Plane z, invW, u, v, r, g, b, a;
};

inline uint32_t PackColor(float r, float g, float b, float a) {
    return (ClampChannel(a) << 24) | (ClampChannel(r) << 16) | (ClampChannel(g) << 8) | ClampChannel(b);
}

// Attributes are evaluated at every pixel as (value at the span start) + step x k, k the
// pixel's distance from the span start, so the wide loops get the very same bits.

// Pixels x0..x1 of row y, any state.
void ShadeSpanGeneral(const Target& t, const PixelState& s, const Prim& p, const TrianglePlanes& pl, int y, int x0,
                      int x1);

// True when the common span below gives the pixels of the general one for this primitive.
bool IsTexturedWhite(const Target& t, const PixelState& s, const Prim& p);

// Pixels x0..x1 of row y in the common state, with or without source-alpha blending.
template <bool kBlend>
void ShadeSpanTexturedWhite(const Target& t, const PixelState& s, const TrianglePlanes& pl, int y, int x0, int x1);

// What the common span needs at every pixel: the attributes at its first pixel and their steps.
struct WhiteSpan {
    float z0, iw0, u0, v0, zdx, iwdx, udx, vdx, tw, th;
    int mw, mh, shiftW;
    uint32_t alphaOr;
    const uint32_t* texels;
    uint32_t* color;    // the row
    uint16_t* depth;    // the row
};

// One pixel of the common span that passed the depth test: its texel, blended over the pixel
// when `kBlend`, and its depth.
template <bool kBlend>
inline void TexturedWhitePixel(const PixelState& s, uint32_t* color, uint16_t* depth, int x, uint32_t z16,
                               uint32_t texel) {
    if constexpr (kBlend) {
        const uint32_t alpha = texel >> 24;
        if (alpha == 255) {
            color[x] = texel;
        } else if (alpha != 0) {
            color[x] = Blend(s, texel, color[x]);
        }
    } else {
        color[x] = texel;
    }
    depth[x] = static_cast<uint16_t>(z16);
}

// The wide loops: pixels from x on, as many whole groups of 4 (8) as fit before x1; each
// returns where it stopped. x0 is the span's first pixel.
template <bool kBlend>
int WhiteSpanSse2(const PixelState& s, const WhiteSpan& sp, int x0, int x, int x1);
template <bool kBlend>
int WhiteSpanAvx2(const PixelState& s, const WhiteSpan& sp, int x0, int x, int x1);

// The paths this build and processor can run, narrowest (scalar) first.
std::vector<SpanPath> AvailableSpanPaths();
// The path new devices draw with: the one forced by d3d8test::ForceSpanPath, else QV_SPAN_PATH
// when set, else the widest available. False with `why` set when the path asked for is none or
// one the processor lacks.
bool SpanPathForNewDevices(SpanPath& path, const char*& why);
const char* SpanPathName(SpanPath path);

}  // namespace d3d8detail
