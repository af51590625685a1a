// The per-pixel work of the rasterizer: texture sampling, the stage-0 colour and alpha
// operations, the depth test and alpha blending, on 8-bit channels.
#pragma once
#include <climits>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d8/raster.h"

namespace d3d8detail {

constexpr float kDepthScale = 65535.0f;        // depth 1.0 in the 16-bit buffer
constexpr uint32_t kAlphaMask = 0xFF000000u;   // the alpha byte of a packed ARGB colour
constexpr uint8_t kTextureArgMask = 0x0F;      // a stage argument without its modifier bits

// Rounded x / 255 for 0 <= x <= 255 * 255 * 2.
inline uint32_t Div255(uint32_t x) { return (x + 127) / 255; }

// floor(f) as an int, computed the way the 4-wide spans compute it: truncate (out of range and
// NaN give INT_MIN), then step down by one where truncation went up. The same bits either way.
inline int FloorToInt(float f) {
#if defined(__SSE2__)
    int i = _mm_cvttss_si32(_mm_set_ss(f));
#else
    int i = (f >= -2147483648.0f && f < 2147483648.0f) ? static_cast<int>(f) : INT_MIN;
#endif
    if (f < static_cast<float>(i)) i = static_cast<int>(static_cast<unsigned>(i) - 1u);
    return i;
}

// Texel index along one axis for the address mode; -1 for a border texel.
inline int AddressTexel(int i, int n, uint8_t mode, bool pow2) {
    switch (mode) {
    case D3DTADDRESS_MIRROR: {
        const int p = 2 * n;
        int m = i % p;
        if (m < 0) m += p;
        return m < n ? m : p - 1 - m;
    }
    case D3DTADDRESS_CLAMP: return i < 0 ? 0 : (i >= n ? n - 1 : i);
    case D3DTADDRESS_BORDER: return (i < 0 || i >= n) ? -1 : i;
    default: {  // D3DTADDRESS_WRAP
        if (pow2) return i & (n - 1);
        int m = i % n;
        return m < 0 ? m + n : m;
    }
    }
}

// Point sample of level 0 at (u, v); no texture reads as opaque white, a border texel as 0.
inline uint32_t SampleTexture(const TexInfo& t, float u, float v) {
    if (!t.pixels) return 0xFFFFFFFFu;
    const int iu = AddressTexel(FloorToInt(u * static_cast<float>(t.width)), t.width, t.addressU, t.pow2);
    const int iv = AddressTexel(FloorToInt(v * static_cast<float>(t.height)), t.height, t.addressV, t.pow2);
    if (iu < 0 || iv < 0) return 0;
    return t.pixels[static_cast<size_t>(iv) * static_cast<size_t>(t.width) + static_cast<size_t>(iu)] | t.alphaOr;
}

inline uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFFu; }

// One channel of a stage operation.
inline uint32_t StageOp(uint8_t op, uint32_t a1, uint32_t a2) {
    switch (op) {
    case D3DTOP_SELECTARG1: return a1;
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE2X: { uint32_t m = Div255(a1 * a2) * 2; return m > 255 ? 255 : m; }
    case D3DTOP_MODULATE4X: { uint32_t m = Div255(a1 * a2) * 4; return m > 255 ? 255 : m; }
    case D3DTOP_ADD: { uint32_t m = a1 + a2; return m > 255 ? 255 : m; }
    default: return Div255(a1 * a2);   // D3DTOP_MODULATE and anything else
    }
}

inline uint32_t StageArg(uint8_t arg, uint32_t texel, uint32_t diffuse) {
    switch (arg & kTextureArgMask) {
    case D3DTA_TEXTURE: return texel;
    case D3DTA_TFACTOR: return 0xFFFFFFFFu;   // the default factor is opaque white
    default: return diffuse;                  // D3DTA_DIFFUSE, D3DTA_CURRENT (stage 0: the diffuse colour)
    }
}

// Stage 0: the colour that leaves the texture stages.
inline uint32_t CombineStage(const PixelState& s, uint32_t texel, uint32_t diffuse) {
    if (s.colorOp == D3DTOP_DISABLE) return diffuse;  // the diffuse colour passes
    const uint32_t c1 = StageArg(s.colorArg1, texel, diffuse), c2 = StageArg(s.colorArg2, texel, diffuse);
    const uint32_t r = StageOp(s.colorOp, Channel(c1, 16), Channel(c2, 16));
    const uint32_t g = StageOp(s.colorOp, Channel(c1, 8), Channel(c2, 8));
    const uint32_t b = StageOp(s.colorOp, Channel(c1, 0), Channel(c2, 0));
    uint32_t a;
    if (s.alphaOp == D3DTOP_DISABLE) {
        a = Channel(diffuse, 24);
    } else {
        a = StageOp(s.alphaOp, Channel(StageArg(s.alphaArg1, texel, diffuse), 24),
                    Channel(StageArg(s.alphaArg2, texel, diffuse), 24));
    }
    return (a << 24) | (r << 16) | (g << 8) | b;
}

inline uint32_t BlendFactor(uint8_t f, uint32_t sc, uint32_t sa, uint32_t dc, uint32_t da) {
    switch (f) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_SRCCOLOR: return sc;
    case D3DBLEND_INVSRCCOLOR: return 255 - sc;
    case D3DBLEND_SRCALPHA: return sa;
    case D3DBLEND_INVSRCALPHA: return 255 - sa;
    case D3DBLEND_DESTALPHA: return da;
    case D3DBLEND_INVDESTALPHA: return 255 - da;
    case D3DBLEND_DESTCOLOR: return dc;
    case D3DBLEND_INVDESTCOLOR: return 255 - dc;
    default: return 255;  // D3DBLEND_ONE
    }
}

inline uint32_t Blend(const PixelState& s, uint32_t src, uint32_t dst) {
    const uint32_t sa = src >> 24, da = dst >> 24;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t sc = Channel(src, shift), dc = Channel(dst, shift);
        const uint32_t fs = BlendFactor(s.srcBlend, sc, sa, dc, da);
        const uint32_t fd = BlendFactor(s.dstBlend, sc, sa, dc, da);
        uint32_t v = Div255(sc * fs + dc * fd);
        if (v > 255) v = 255;
        out |= v << shift;
    }
    return out;
}

inline bool DepthPasses(uint8_t func, uint32_t z, uint32_t stored) {
    switch (func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return z < stored;
    case D3DCMP_EQUAL: return z == stored;
    case D3DCMP_GREATER: return z > stored;
    case D3DCMP_NOTEQUAL: return z != stored;
    case D3DCMP_GREATEREQUAL: return z >= stored;
    case D3DCMP_ALWAYS: return true;
    default: return z <= stored;  // D3DCMP_LESSEQUAL
    }
}

// Depth 0..1 to the 16-bit buffer's scale: clamped (NaN reads as 0), then rounded.
inline uint32_t DepthToBuffer(float z) {
    float c = z > 0.0f ? z : 0.0f;
    c = c < 1.0f ? c : 1.0f;
    return static_cast<uint32_t>(c * kDepthScale + 0.5f);
}

inline uint32_t ClampChannel(float c) {
    if (!(c > 0.0f)) return 0;
    if (!(c < 255.0f)) return 255;
    return static_cast<uint32_t>(c + 0.5f);
}

// The whole pixel: depth test, texture, stage, blend, writes. `diffuse` is the pixel's colour.
inline void ShadePixel(const Target& t, const PixelState& s, int x, int y, float z, float u, float v,
                       uint32_t diffuse) {
    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(t.width) + static_cast<size_t>(x);
    uint32_t z16 = 0;
    if (s.depthTest) {
        z16 = DepthToBuffer(z);
        if (!DepthPasses(s.depthFunc, z16, t.depth[at])) return;
    }
    const uint32_t texel = SampleTexture(s.tex, u, v);
    uint32_t c = CombineStage(s, texel, diffuse);
    if (s.blend) c = Blend(s, c, t.color[at]);
    t.color[at] = c;
    if (s.depthWrite) t.depth[at] = static_cast<uint16_t>(z16);
}

}  // namespace d3d8detail
