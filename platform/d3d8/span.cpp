// The spans of a triangle's rows: the general span, the scalar loop of the common span (the
// reference for the wide loops in span_sse2.cpp and span_avx2.cpp), and the choice of path.
#include "platform/d3d8/raster_span.h"

#include <cstdlib>
#include <cstring>

#include "platform/d3d8/raster_tiles.h"
#include "platform/d3d8/testswitch.h"

namespace d3d8detail {

void ShadeSpanGeneral(const Target& t, const PixelState& s, const Prim& p, const TrianglePlanes& pl, int y, int x0,
                      int x1) {
    if (s.depthWrite) MarkDepthWritten(t, y, x0, x1);
    const float fx = static_cast<float>(x0), fy = static_cast<float>(y);
    const float z0 = pl.z.At(fx, fy, pl.ox, pl.oy), iw0 = pl.invW.At(fx, fy, pl.ox, pl.oy);
    const float u0 = pl.u.At(fx, fy, pl.ox, pl.oy), v0 = pl.v.At(fx, fy, pl.ox, pl.oy);
    float r0 = 0, g0 = 0, b0 = 0, a0 = 0;
    if (!p.flatColor) {
        r0 = pl.r.At(fx, fy, pl.ox, pl.oy);
        g0 = pl.g.At(fx, fy, pl.ox, pl.oy);
        b0 = pl.b.At(fx, fy, pl.ox, pl.oy);
        a0 = pl.a.At(fx, fy, pl.ox, pl.oy);
    }
    for (int x = x0; x <= x1; ++x) {
        const float k = static_cast<float>(x - x0);
        const float w = 1.0f / (iw0 + pl.invW.dx * k);
        const uint32_t diffuse = p.flatColor ? p.color
                                             : PackColor((r0 + pl.r.dx * k) * w, (g0 + pl.g.dx * k) * w,
                                                         (b0 + pl.b.dx * k) * w, (a0 + pl.a.dx * k) * w);
        ShadePixel(t, s, x, y, z0 + pl.z.dx * k, (u0 + pl.u.dx * k) * w, (v0 + pl.v.dx * k) * w, diffuse);
    }
}

bool IsTexturedWhite(const Target& t, const PixelState& s, const Prim& p) {
    const auto arg = [](uint8_t a) { return a & kTextureArgMask; };
    return t.depth && s.tex.pixels && s.tex.pow2 && s.tex.addressU == D3DTADDRESS_WRAP &&
           s.tex.addressV == D3DTADDRESS_WRAP && s.colorOp == D3DTOP_MODULATE && arg(s.colorArg1) == D3DTA_TEXTURE &&
           (arg(s.colorArg2) == D3DTA_DIFFUSE || arg(s.colorArg2) == D3DTA_CURRENT) && s.alphaOp == D3DTOP_SELECTARG1 &&
           arg(s.alphaArg1) == D3DTA_TEXTURE && p.flatColor && (p.color & 0x00FFFFFFu) == 0x00FFFFFFu &&
           s.depthTest && s.depthWrite && s.depthFunc == D3DCMP_LESSEQUAL &&
           (!s.blend || (s.srcBlend == D3DBLEND_SRCALPHA && s.dstBlend == D3DBLEND_INVSRCALPHA));
}

template <bool kBlend>
void ShadeSpanTexturedWhite(const Target& t, const PixelState& s, const TrianglePlanes& pl, int y, int x0, int x1) {
    MarkDepthWritten(t, y, x0, x1);
    const float fx = static_cast<float>(x0), fy = static_cast<float>(y);
    const TexInfo& tex = s.tex;
    const WhiteSpan sp{pl.z.At(fx, fy, pl.ox, pl.oy),
                       pl.invW.At(fx, fy, pl.ox, pl.oy),
                       pl.u.At(fx, fy, pl.ox, pl.oy),
                       pl.v.At(fx, fy, pl.ox, pl.oy),
                       pl.z.dx,
                       pl.invW.dx,
                       pl.u.dx,
                       pl.v.dx,
                       static_cast<float>(tex.width),
                       static_cast<float>(tex.height),
                       tex.width - 1,
                       tex.height - 1,
                       __builtin_ctz(static_cast<unsigned>(tex.width)),
                       tex.alphaOr,
                       tex.pixels,
                       t.color + static_cast<size_t>(y) * static_cast<size_t>(t.width),
                       t.depth + static_cast<size_t>(y) * static_cast<size_t>(t.width)};
    int x = x0;
    if (t.spans == SpanPath::Avx2 && x1 - x0 >= 7) x = WhiteSpanAvx2<kBlend>(s, sp, x0, x, x1);
    if (t.spans != SpanPath::Scalar) x = WhiteSpanSse2<kBlend>(s, sp, x0, x, x1);
    // The reference: what every wide loop computes, one pixel at a time.
    for (; x <= x1; ++x) {
        const float k = static_cast<float>(x - x0);
        const uint32_t z16 = DepthToBuffer(sp.z0 + sp.zdx * k);
        if (z16 > sp.depth[x]) continue;
        const float w = 1.0f / (sp.iw0 + sp.iwdx * k);
        const int iu = FloorToInt(((sp.u0 + sp.udx * k) * w) * sp.tw) & sp.mw;
        const int iv = FloorToInt(((sp.v0 + sp.vdx * k) * w) * sp.th) & sp.mh;
        TexturedWhitePixel<kBlend>(s, sp.color, sp.depth, x, z16, sp.texels[(iv << sp.shiftW) + iu] | sp.alphaOr);
    }
}

template void ShadeSpanTexturedWhite<true>(const Target&, const PixelState&, const TrianglePlanes&, int, int, int);
template void ShadeSpanTexturedWhite<false>(const Target&, const PixelState&, const TrianglePlanes&, int, int, int);

// ---- Choice of path ---------------------------------------------------------------------------

namespace {

bool HaveSse2() {
#if defined(__SSE2__)
    return true;
#else
    return false;
#endif
}

bool HaveAvx2() {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
#else
    return false;
#endif
}

bool Available(SpanPath p) {
    switch (p) {
    case SpanPath::Scalar: return true;
    case SpanPath::Sse2: return HaveSse2();
    case SpanPath::Avx2: return HaveAvx2() && HaveSse2();
    }
    return false;
}

}  // namespace

const char* SpanPathName(SpanPath path) {
    switch (path) {
    case SpanPath::Scalar: return "scalar";
    case SpanPath::Sse2: return "sse2";
    case SpanPath::Avx2: return "avx2";
    }
    return "?";
}

std::vector<SpanPath> AvailableSpanPaths() {
    std::vector<SpanPath> out;
    for (SpanPath p : {SpanPath::Scalar, SpanPath::Sse2, SpanPath::Avx2})
        if (Available(p)) out.push_back(p);
    return out;
}

bool SpanPathForNewDevices(SpanPath& path, const char*& why) {
    if (d3d8test::SpanPathForced(path)) {
        if (Available(path)) return true;
        why = "the span path forced for tests is one this processor lacks";
        return false;
    }
    path = AvailableSpanPaths().back();
    const char* env = std::getenv("QV_SPAN_PATH");
    if (!env || !*env) return true;
    for (SpanPath p : {SpanPath::Scalar, SpanPath::Sse2, SpanPath::Avx2}) {
        if (std::strcmp(env, SpanPathName(p)) != 0) continue;
        if (!Available(p)) {
            why = "QV_SPAN_PATH names a span path this processor lacks";
            return false;
        }
        path = p;
        return true;
    }
    why = "QV_SPAN_PATH must be scalar, sse2 or avx2";
    return false;
}

}  // namespace d3d8detail
