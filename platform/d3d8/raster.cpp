// Triangles, lines and clears into the back and depth buffers, and the worker threads that
// draw the queued primitives band by band.
#include "platform/d3d8/raster.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>

#include "platform/d3d8/pixel.h"
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace d3d8detail {

namespace {

constexpr size_t kBatchPrims = 128;
constexpr size_t kMaxBatchesInFlight = 256;

// Waking a sleeping thread takes long next to a frame's work (more so on a virtual machine), so
// the drawing threads and the producer waiting for them first watch for the event they wait
// for a short while, yielding the processor often, before they sleep. When a yield keeps a
// watcher off the processor for long, other work wants these processors: watching would only
// take time from it, so nobody watches for a while.
constexpr auto kSpin = std::chrono::microseconds(250);
constexpr auto kDisplaced = std::chrono::microseconds(1000);
constexpr auto kQuiet = std::chrono::milliseconds(20);
std::atomic<int64_t> g_quietUntil{0};   // steady-clock ticks until which nobody watches

template <class Ready>
bool SpinUntil(Ready ready) {
    using Clock = std::chrono::steady_clock;
    auto now = Clock::now();
    if (now.time_since_epoch().count() < g_quietUntil.load(std::memory_order_relaxed)) return ready();
    const auto until = now + kSpin;
    for (unsigned i = 1;; ++i) {
        if (ready()) return true;
        if ((i & 31) == 0) {
            const auto before = Clock::now();
            if (before > until) return false;
            std::this_thread::yield();
            now = Clock::now();
            if (now - before > kDisplaced) {
                g_quietUntil.store((now + kQuiet).time_since_epoch().count(), std::memory_order_relaxed);
                return ready();
            }
        } else {
#if defined(__SSE2__)
            _mm_pause();
#endif
        }
    }
}

inline bool OwnsRow(int y, int band, int bands) { return bands == 1 || ((y >> kStripShift) % bands) == band; }

// Next row >= y that belongs to the band.
inline int NextOwnedRow(int y, int band, int bands) {
    if (bands == 1) return y;
    const int strip = y >> kStripShift;
    const int off = ((band - strip) % bands + bands) % bands;
    return off == 0 ? y : (strip + off) << kStripShift;
}

inline int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

constexpr int kTileShift = 4;   // depth tiles are 16 x 16, their rows the strips
static_assert(kTileShift == kStripShift, "a tile row must be one strip");

// Depth may have been written in pixels x0..x1 of row y.
inline void MarkDepthWritten(const Target& t, int y, int x0, int x1) {
    if (!t.tiles) return;
    uint8_t* w = t.tiles->written.data() + static_cast<size_t>(y >> kTileShift) * static_cast<size_t>(t.tiles->cols);
    for (int tx = x0 >> kTileShift; tx <= (x1 >> kTileShift); ++tx) w[tx] = 1;
}

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

// True when every pixel of rows y0..y1 (this band's only), columns x0..x1, holds a depth below
// `nearest`: a triangle no nearer than that fails the depth test everywhere there.
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

// A linear function of the pixel position: value at (ox, oy) and its steps.
struct Plane {
    float base, dx, dy;
    float At(float x, float y, float ox, float oy) const { return base + dx * (x - ox) + dy * (y - oy); }
};

struct TrianglePlanes {
    float ox, oy;
    Plane z, invW, u, v, r, g, b, a;
};

Plane MakePlane(double a0, double a1, double a2, double x10, double y10, double x20, double y20, double invDet) {
    const double d1 = a1 - a0, d2 = a2 - a0;
    return Plane{static_cast<float>(a0), static_cast<float>((d1 * y20 - d2 * y10) * invDet),
                 static_cast<float>((d2 * x10 - d1 * x20) * invDet)};
}

inline uint32_t PackColor(float r, float g, float b, float a) {
    return (ClampChannel(a) << 24) | (ClampChannel(r) << 16) | (ClampChannel(g) << 8) | ClampChannel(b);
}

// Attributes are evaluated at every pixel as (value at the span start) + step x k, k the
// pixel's distance from the span start, so the 4-wide span below gets the very same bits.

// The general span: any state.
void ShadeSpanGeneral(const Target& t, const PixelState& s, const Prim& p, const TrianglePlanes& pl, int y,
                      int x0, int x1) {
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

// One pixel of the common span (below) that passed the depth test: its texel, blended over the
// pixel when `kBlend`, and its depth.
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

// What the common span needs at every pixel: the attributes at its first pixel and their steps.
struct WhiteSpan {
    float z0, iw0, u0, v0, zdx, iwdx, udx, vdx, tw, th;
    int mw, mh, shiftW;
    uint32_t alphaOr;
    const uint32_t* texels;
    uint32_t* color;    // the row
    uint16_t* depth;    // the row
};

#if defined(__x86_64__) && defined(__GNUC__)
#define QV_HAVE_AVX2_SPAN 1
// floor() of eight floats the way FloorToInt computes it.
__attribute__((target("avx2"))) inline __m256i Floor8(__m256 f) {
    const __m256i i = _mm256_cvttps_epi32(f);
    return _mm256_add_epi32(i, _mm256_castps_si256(_mm256_cmp_ps(f, _mm256_cvtepi32_ps(i), _CMP_LT_OQ)));
}

// Eight pixels at a time on processors with AVX2, computed with the very operations of the
// 4-wide loop (no fused multiply-add), so the pixels are the same. Returns where it stopped.
template <bool kBlend>
__attribute__((target("avx2"))) int WhiteSpan8(const PixelState& s, const WhiteSpan& sp, int x0, int x, int x1) {
    const __m256 z0v = _mm256_set1_ps(sp.z0), iw0v = _mm256_set1_ps(sp.iw0), u0v = _mm256_set1_ps(sp.u0),
                 v0v = _mm256_set1_ps(sp.v0);
    const __m256 zdxv = _mm256_set1_ps(sp.zdx), iwdxv = _mm256_set1_ps(sp.iwdx), udxv = _mm256_set1_ps(sp.udx),
                 vdxv = _mm256_set1_ps(sp.vdx);
    const __m256 lanes = _mm256_setr_ps(0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f);
    const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f), scale = _mm256_set1_ps(65535.0f),
                 half = _mm256_set1_ps(0.5f), twv = _mm256_set1_ps(sp.tw), thv = _mm256_set1_ps(sp.th);
    const __m256i mwv = _mm256_set1_epi32(sp.mw), mhv = _mm256_set1_epi32(sp.mh);
    const __m128i shiftv = _mm_cvtsi32_si128(sp.shiftW);
    const __m256i alphaOrv = _mm256_set1_epi32(static_cast<int>(sp.alphaOr));
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i bias32 = _mm_set1_epi32(0x8000), bias16 = _mm_set1_epi16(static_cast<short>(0x8000));
    uint32_t* color = sp.color;
    uint16_t* depth = sp.depth;
    for (; x + 7 <= x1; x += 8) {
        const __m256 k = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(x - x0)), lanes);
        const __m256 z = _mm256_add_ps(z0v, _mm256_mul_ps(zdxv, k));
        const __m256 zc = _mm256_min_ps(_mm256_max_ps(z, zero), one);
        const __m256i z16 = _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(zc, scale), half));
        const __m256i stored =
            _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(depth + x)));
        const int fail = _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(z16, stored)));
        if (fail == 0xFF) continue;
        const __m256 w = _mm256_div_ps(one, _mm256_add_ps(iw0v, _mm256_mul_ps(iwdxv, k)));
        const __m256 fu = _mm256_mul_ps(_mm256_mul_ps(_mm256_add_ps(u0v, _mm256_mul_ps(udxv, k)), w), twv);
        const __m256 fv = _mm256_mul_ps(_mm256_mul_ps(_mm256_add_ps(v0v, _mm256_mul_ps(vdxv, k)), w), thv);
        const __m256i iu = _mm256_and_si256(Floor8(fu), mwv);
        const __m256i iv = _mm256_and_si256(Floor8(fv), mhv);
        const __m256i idx = _mm256_add_epi32(_mm256_sll_epi32(iv, shiftv), iu);
        const __m256i tx =
            _mm256_or_si256(_mm256_i32gather_epi32(reinterpret_cast<const int*>(sp.texels), idx, 4), alphaOrv);
        if (fail == 0 &&
            (!kBlend || _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(tx, alphaMask), alphaMask)) == -1)) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(color + x), tx);
            const __m128i lo = _mm_sub_epi32(_mm256_castsi256_si128(z16), bias32);
            const __m128i hi = _mm_sub_epi32(_mm256_extracti128_si256(z16, 1), bias32);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(depth + x), _mm_xor_si128(_mm_packs_epi32(lo, hi), bias16));
            continue;
        }
        alignas(32) uint32_t texel[8];
        alignas(32) int32_t zz[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(texel), tx);
        _mm256_store_si256(reinterpret_cast<__m256i*>(zz), z16);
        for (int j = 0; j < 8; ++j)
            if (!(fail & (1 << j)))
                TexturedWhitePixel<kBlend>(s, color, depth, x + j, static_cast<uint32_t>(zz[j]), texel[j]);
    }
    return x;
}

bool HaveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}
#endif

// The common span: a power-of-two wrapped texture times white, alpha from the texture, depth
// test less-or-equal with writes, and either no blending or source-alpha blending. Gives the
// same pixels as the general span for that state.
template <bool kBlend>
void ShadeSpanTexturedWhite(const Target& t, const PixelState& s, const TrianglePlanes& pl, int y, int x0, int x1) {
    MarkDepthWritten(t, y, x0, x1);
    const float fx = static_cast<float>(x0), fy = static_cast<float>(y);
    const float z0 = pl.z.At(fx, fy, pl.ox, pl.oy), iw0 = pl.invW.At(fx, fy, pl.ox, pl.oy);
    const float u0 = pl.u.At(fx, fy, pl.ox, pl.oy), v0 = pl.v.At(fx, fy, pl.ox, pl.oy);
    const float zdx = pl.z.dx, iwdx = pl.invW.dx, udx = pl.u.dx, vdx = pl.v.dx;
    const TexInfo& tex = s.tex;
    const float tw = static_cast<float>(tex.width), th = static_cast<float>(tex.height);
    const int mw = tex.width - 1, mh = tex.height - 1, shiftW = __builtin_ctz(static_cast<unsigned>(tex.width));
    const uint32_t alphaOr = tex.alphaOr;
    const uint32_t* texels = tex.pixels;
    uint32_t* color = t.color + static_cast<size_t>(y) * static_cast<size_t>(t.width);
    uint16_t* depth = t.depth + static_cast<size_t>(y) * static_cast<size_t>(t.width);
    int x = x0;
#if defined(QV_HAVE_AVX2_SPAN)
    if (x1 - x0 >= 7 && HaveAvx2()) {
        const WhiteSpan sp{z0, iw0, u0, v0, zdx, iwdx, udx, vdx, tw, th, mw, mh, shiftW, alphaOr, texels, color, depth};
        x = WhiteSpan8<kBlend>(s, sp, x0, x, x1);
    }
#endif
#if defined(__SSE2__)
    const __m128 z0v = _mm_set1_ps(z0), iw0v = _mm_set1_ps(iw0), u0v = _mm_set1_ps(u0), v0v = _mm_set1_ps(v0);
    const __m128 zdxv = _mm_set1_ps(zdx), iwdxv = _mm_set1_ps(iwdx), udxv = _mm_set1_ps(udx), vdxv = _mm_set1_ps(vdx);
    const __m128 lanes = _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f), zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
    const __m128 scale = _mm_set1_ps(65535.0f), half = _mm_set1_ps(0.5f), twv = _mm_set1_ps(tw), thv = _mm_set1_ps(th);
    const __m128i mwv = _mm_set1_epi32(mw), mhv = _mm_set1_epi32(mh), shiftv = _mm_cvtsi32_si128(shiftW);
    const __m128i alphaOrv = _mm_set1_epi32(static_cast<int>(alphaOr)), alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i bias32 = _mm_set1_epi32(0x8000), bias16 = _mm_set1_epi16(static_cast<short>(0x8000));
    auto floorv = [](__m128 f) {
        const __m128i i = _mm_cvttps_epi32(f);
        return _mm_add_epi32(i, _mm_castps_si128(_mm_cmplt_ps(f, _mm_cvtepi32_ps(i))));
    };
    for (; x + 3 <= x1; x += 4) {
        const __m128 k = _mm_add_ps(_mm_set1_ps(static_cast<float>(x - x0)), lanes);
        const __m128 z = _mm_add_ps(z0v, _mm_mul_ps(zdxv, k));
        const __m128 zc = _mm_min_ps(_mm_max_ps(z, zero), one);
        const __m128i z16 = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(zc, scale), half));
        const __m128i stored = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(depth + x)),
                                                  _mm_setzero_si128());
        const int fail = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(z16, stored)));
        if (fail == 0xF) continue;
        const __m128 w = _mm_div_ps(one, _mm_add_ps(iw0v, _mm_mul_ps(iwdxv, k)));
        const __m128 fu = _mm_mul_ps(_mm_mul_ps(_mm_add_ps(u0v, _mm_mul_ps(udxv, k)), w), twv);
        const __m128 fv = _mm_mul_ps(_mm_mul_ps(_mm_add_ps(v0v, _mm_mul_ps(vdxv, k)), w), thv);
        const __m128i iu = _mm_and_si128(floorv(fu), mwv);
        const __m128i iv = _mm_and_si128(floorv(fv), mhv);
        alignas(16) int32_t idx[4], zz[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(idx), _mm_add_epi32(_mm_sll_epi32(iv, shiftv), iu));
        if (fail == 0) {
            // All four pass: when all four texels are opaque (blending then keeps the texel),
            // write the four colours and depths at once.
            const __m128i tx = _mm_or_si128(_mm_setr_epi32(static_cast<int>(texels[idx[0]]), static_cast<int>(texels[idx[1]]),
                                                           static_cast<int>(texels[idx[2]]), static_cast<int>(texels[idx[3]])),
                                            alphaOrv);
            if (!kBlend || _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(tx, alphaMask), alphaMask)) == 0xFFFF) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(color + x), tx);
                // Depths 0..65535 to 16 bits: shift into the signed range, pack, shift back.
                const __m128i zs = _mm_sub_epi32(z16, bias32);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(depth + x), _mm_xor_si128(_mm_packs_epi32(zs, zs), bias16));
                continue;
            }
        }
        _mm_store_si128(reinterpret_cast<__m128i*>(zz), z16);
        for (int j = 0; j < 4; ++j)
            if (!(fail & (1 << j)))
                TexturedWhitePixel<kBlend>(s, color, depth, x + j, static_cast<uint32_t>(zz[j]),
                                           texels[idx[j]] | alphaOr);
    }
#endif
    for (; x <= x1; ++x) {
        const float k = static_cast<float>(x - x0);
        const uint32_t z16 = DepthToBuffer(z0 + zdx * k);
        if (z16 > depth[x]) continue;
        const float w = 1.0f / (iw0 + iwdx * k);
        const int iu = FloorToInt(((u0 + udx * k) * w) * tw) & mw;
        const int iv = FloorToInt(((v0 + vdx * k) * w) * th) & mh;
        TexturedWhitePixel<kBlend>(s, color, depth, x, z16, texels[(iv << shiftW) + iu] | alphaOr);
    }
}

bool IsTexturedWhite(const Target& t, const PixelState& s, const Prim& p) {
    return t.depth && s.tex.pixels && s.tex.pow2 && s.tex.addressU == 1 && s.tex.addressV == 1 && s.colorOp == 4 &&
           (s.colorArg1 & 0x0F) == 2 && ((s.colorArg2 & 0x0F) == 0 || (s.colorArg2 & 0x0F) == 1) && s.alphaOp == 2 &&
           (s.alphaArg1 & 0x0F) == 2 && p.flatColor && (p.color & 0x00FFFFFFu) == 0x00FFFFFFu && s.depthTest &&
           s.depthWrite && s.depthFunc == 4 && (!s.blend || (s.srcBlend == 5 && s.dstBlend == 6));
}

}  // namespace

void DrawTriangle(const Target& t, const PixelState& s, const Prim& p, int band, int bands) {
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = std::llrint(static_cast<double>(p.v[i].x) * 16.0);
        Y[i] = std::llrint(static_cast<double>(p.v[i].y) * 16.0);
    }
    int idx[3] = {0, 1, 2};
    const int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) return;
    if (area < 0) std::swap(idx[1], idx[2]);

    int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    int x0 = static_cast<int>(std::max<int64_t>(CeilDiv(minX, 16), s.clipX0));
    int x1 = static_cast<int>(std::min<int64_t>(FloorDiv(maxX, 16), s.clipX1 - 1));
    int y0 = static_cast<int>(std::max<int64_t>(CeilDiv(minY, 16), s.clipY0));
    int y1 = static_cast<int>(std::min<int64_t>(FloorDiv(maxY, 16), s.clipY1 - 1));
    if (x0 > x1 || y0 > y1) return;
    y0 = NextOwnedRow(y0, band, bands);
    if (y0 > y1) return;

    struct Edge {
        int64_t a, kx, ky, bias;   // E(px, py) = a * px + kx + ky * py; covered when E + bias > 0
    } e[3];
    for (int k = 0; k < 3; ++k) {
        const int ia = idx[k], ib = idx[(k + 1) % 3];
        const int64_t dx = X[ib] - X[ia], dy = Y[ib] - Y[ia];
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        e[k] = Edge{-16 * dy, -dx * Y[ia] + dy * X[ia], 16 * dx, topLeft ? 1 : 0};
    }

    // Attribute planes from the snapped positions, relative to vertex 0.
    const double fx[3] = {X[0] / 16.0, X[1] / 16.0, X[2] / 16.0};
    const double fy[3] = {Y[0] / 16.0, Y[1] / 16.0, Y[2] / 16.0};
    const double x10 = fx[1] - fx[0], y10 = fy[1] - fy[0], x20 = fx[2] - fx[0], y20 = fy[2] - fy[0];
    const double invDet = 1.0 / (x10 * y20 - x20 * y10);
    TrianglePlanes pl;
    pl.ox = static_cast<float>(fx[0]);
    pl.oy = static_cast<float>(fy[0]);
    const ScreenVertex &a = p.v[0], &b = p.v[1], &c = p.v[2];
    pl.z = MakePlane(a.z, b.z, c.z, x10, y10, x20, y20, invDet);
    // Wholly behind what this band's tiles hold: every pixel would fail a less(-or-equal) test.
    if (t.tiles && s.depthTest && (s.depthFunc == 2 || s.depthFunc == 4)) {
        if (!std::isnan(a.z) && !std::isnan(b.z) && !std::isnan(c.z)) {
            const float zmin = std::min({a.z, b.z, c.z});
            // A pixel's depth is the plane evaluated in single precision, which may fall short of
            // the nearest vertex by the rounding of its terms; allow for that with room to spare.
            const float ex = std::max(std::fabs(static_cast<float>(x0) - pl.ox), std::fabs(static_cast<float>(x1) - pl.ox));
            const float ey = std::max(std::fabs(static_cast<float>(y0) - pl.oy), std::fabs(static_cast<float>(y1) - pl.oy));
            const double terms = std::fabs(pl.z.base) + std::fabs(pl.z.dx) * (static_cast<double>(ex) + (x1 - x0)) +
                                 std::fabs(pl.z.dy) * ey;
            const double slack = terms * 1.0e-6 + 1.0e-6;
            const double lowest = static_cast<double>(zmin) - slack;
            const uint32_t lowest16 = lowest > 0.0 && std::isfinite(terms) ? DepthToBuffer(static_cast<float>(lowest)) : 0;
            if (lowest16 >= 2 && BehindTiles(t, x0, x1, y0, y1, band, bands, lowest16 - 1)) return;
        }
    }
    pl.invW = MakePlane(a.invW, b.invW, c.invW, x10, y10, x20, y20, invDet);
    pl.u = MakePlane(a.u, b.u, c.u, x10, y10, x20, y20, invDet);
    pl.v = MakePlane(a.v, b.v, c.v, x10, y10, x20, y20, invDet);
    if (!p.flatColor) {
        pl.r = MakePlane(a.r, b.r, c.r, x10, y10, x20, y20, invDet);
        pl.g = MakePlane(a.g, b.g, c.g, x10, y10, x20, y20, invDet);
        pl.b = MakePlane(a.b, b.b, c.b, x10, y10, x20, y20, invDet);
        pl.a = MakePlane(a.a, b.a, c.a, x10, y10, x20, y20, invDet);
    } else {
        pl.r = pl.g = pl.b = pl.a = Plane{0.0f, 0.0f, 0.0f};   // not read: the colour is flat
    }

    const bool fast = IsTexturedWhite(t, s, p);
    for (int y = y0; y <= y1;) {
        int64_t lo = x0, hi = x1;
        for (const Edge& ed : e) {
            // a * px >= 1 - bias - (kx + ky * py)
            const int64_t r = 1 - ed.bias - (ed.kx + ed.ky * y);
            if (ed.a > 0) {
                lo = std::max(lo, CeilDiv(r, ed.a));
            } else if (ed.a < 0) {
                hi = std::min(hi, FloorDiv(r, ed.a));
            } else if (r > 0) {
                hi = lo - 1;
            }
        }
        if (lo <= hi) {
            if (!fast) {
                ShadeSpanGeneral(t, s, p, pl, y, static_cast<int>(lo), static_cast<int>(hi));
            } else if (s.blend) {
                ShadeSpanTexturedWhite<true>(t, s, pl, y, static_cast<int>(lo), static_cast<int>(hi));
            } else {
                ShadeSpanTexturedWhite<false>(t, s, pl, y, static_cast<int>(lo), static_cast<int>(hi));
            }
        }
        ++y;
        if (bands > 1 && (y & ((1 << kStripShift) - 1)) == 0) y = NextOwnedRow(y, band, bands);
    }
}

void DrawLine(const Target& t, const PixelState& s, const Prim& p, int band, int bands) {
    const ScreenVertex &a = p.v[0], &b = p.v[1];
    const float dx = b.x - a.x, dy = b.y - a.y;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const float s0 = xMajor ? a.x : a.y, s1 = xMajor ? b.x : b.y;
    const float m0 = xMajor ? a.y : a.x, dm = xMajor ? dy : dx;
    const float len = s1 - s0;
    int i0 = FloorToInt(s0 + 0.5f), i1 = FloorToInt(s1 + 0.5f);
    const int step = i1 >= i0 ? 1 : -1;
    for (int i = i0;; i += step) {
        float tt = len != 0.0f ? (static_cast<float>(i) - s0) / len : 0.0f;
        tt = std::clamp(tt, 0.0f, 1.0f);
        const int m = FloorToInt(m0 + tt * dm + 0.5f);
        const int x = xMajor ? i : m, y = xMajor ? m : i;
        if (x >= s.clipX0 && x < s.clipX1 && y >= s.clipY0 && y < s.clipY1 && OwnsRow(y, band, bands)) {
            const float z = a.z + tt * (b.z - a.z);
            const float iw = a.invW + tt * (b.invW - a.invW);
            const float w = 1.0f / iw;
            const float u = (a.u + tt * (b.u - a.u)) * w, v = (a.v + tt * (b.v - a.v)) * w;
            uint32_t diffuse = p.color;
            if (!p.flatColor)
                diffuse = PackColor((a.r + tt * (b.r - a.r)) * w, (a.g + tt * (b.g - a.g)) * w,
                                    (a.b + tt * (b.b - a.b)) * w, (a.a + tt * (b.a - a.a)) * w);
            if (s.depthWrite) MarkDepthWritten(t, y, x, x);
            ShadePixel(t, s, x, y, z, u, v, diffuse);
        }
        if (i == i1) break;
    }
}

// A clear primitive carries its rectangle in v[0].x, v[0].y, v[1].x, v[1].y, its colour in
// `color` (used when flatColor is set) and its depth in v[2].z (used when v[2].x is 1).
void DrawClear(const Target& t, const Prim& p, int band, int bands) {
    const int x0 = static_cast<int>(p.v[0].x), y0 = static_cast<int>(p.v[0].y);
    const int x1 = static_cast<int>(p.v[1].x), y1 = static_cast<int>(p.v[1].y);
    const bool depth = p.v[2].x == 1.0f && t.depth;
    const uint16_t z = static_cast<uint16_t>(p.v[2].z);
    const bool bytewise = (z >> 8) == (z & 0xFF);   // 0xFFFF (far) and 0: a byte fill
    for (int y = NextOwnedRow(y0, band, bands); y < y1;) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(t.width);
        if (p.flatColor) std::fill(t.color + row + x0, t.color + row + x1, p.color);
        if (depth) {
            if (bytewise)
                std::memset(t.depth + row + x0, z & 0xFF, static_cast<size_t>(x1 - x0) * sizeof(uint16_t));
            else
                std::fill(t.depth + row + x0, t.depth + row + x1, z);
            MarkDepthWritten(t, y, x0, x1 - 1);
        }
        ++y;
        if (bands > 1 && (y & ((1 << kStripShift) - 1)) == 0) y = NextOwnedRow(y, band, bands);
    }
    // Tiles the clear covers whole hold its depth alone: their bound is known without a look.
    if (depth && t.tiles) {
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
}

// ---- Queue and workers ----------------------------------------------------------------------

Rasterizer::Rasterizer(int threads) : threads_(std::max(0, threads)) {
    nextIndex_.assign(static_cast<size_t>(threads_), 0);
    for (int i = 0; i < threads_; ++i) workers_.emplace_back([this, i] { WorkerLoop(i); });
}

Rasterizer::~Rasterizer() {
    Flush();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    workCv_.notify_all();
    for (std::thread& w : workers_) w.join();
}

Rasterizer::Batch& Rasterizer::Current() {
    if (!current_) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!free_.empty()) {
            current_ = std::move(free_.back());
            free_.pop_back();
        }
        lock.unlock();
        if (!current_) {
            current_ = std::make_unique<Batch>();
            current_->prims.reserve(kBatchPrims);
        }
        current_->target = target_;
        stateDirty_ = true;
    }
    return *current_;
}

void Rasterizer::SetState(const PixelState& s, const std::shared_ptr<const void>& keepAlive) {
    state_ = s;
    stateKeep_ = keepAlive;
    stateDirty_ = true;
}

void Rasterizer::AddPrim(Prim::Kind kind, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                         bool flat, uint32_t color) {
    Batch& bt = Current();
    if (stateDirty_) {
        bt.states.push_back(state_);
        if (stateKeep_ && (bt.keep.empty() || bt.keep.back() != stateKeep_)) bt.keep.push_back(stateKeep_);
        stateDirty_ = false;
    }
    Prim& p = bt.prims.emplace_back();
    p.kind = kind;
    p.flatColor = flat;
    p.color = color;
    p.state = static_cast<uint32_t>(bt.states.size() - 1);
    p.v[0] = a;
    p.v[1] = b;
    p.v[2] = c;
    if (bt.prims.size() >= kBatchPrims) Submit();
}

void Rasterizer::AddTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, bool flat,
                             uint32_t color) {
    AddPrim(Prim::Triangle, a, b, c, flat, color);
}

void Rasterizer::AddLine(const ScreenVertex& a, const ScreenVertex& b, bool flat, uint32_t color) {
    AddPrim(Prim::Line, a, b, b, flat, color);
}

void Rasterizer::AddClear(int x0, int y0, int x1, int y1, bool color, uint32_t argb, bool depth, uint16_t z) {
    if (x0 >= x1 || y0 >= y1 || (!color && !depth)) return;
    Batch& bt = Current();
    Prim& p = bt.prims.emplace_back();
    p = Prim{};
    p.kind = Prim::ClearOp;
    p.flatColor = color;
    p.color = argb;
    p.v[0].x = static_cast<float>(x0);
    p.v[0].y = static_cast<float>(y0);
    p.v[1].x = static_cast<float>(x1);
    p.v[1].y = static_cast<float>(y1);
    p.v[2].x = depth ? 1.0f : 0.0f;
    p.v[2].z = static_cast<float>(z);
    if (bt.prims.size() >= kBatchPrims) Submit();
}

void Rasterizer::DrawBatch(const Batch& b, int band, int bands) const {
    for (const Prim& p : b.prims) {
        switch (p.kind) {
        case Prim::Triangle: DrawTriangle(b.target, b.states[p.state], p, band, bands); break;
        case Prim::Line: DrawLine(b.target, b.states[p.state], p, band, bands); break;
        case Prim::ClearOp: DrawClear(b.target, p, band, bands); break;
        }
    }
}

void Rasterizer::Submit() {
    if (!current_) return;
    if (threads_ == 0) {
        DrawBatch(*current_, 0, 1);
        current_->Clear();
        stateDirty_ = true;
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    waitingForRoom_ = true;
    doneCv_.wait(lock, [this] { return queue_.size() < kMaxBatchesInFlight; });
    waitingForRoom_ = false;
    current_->pending = threads_;
    queue_.push_back(std::move(current_));
    submitted_.store(submittedBase_ + queue_.size(), std::memory_order_release);
    lock.unlock();
    workCv_.notify_all();
}

void Rasterizer::Flush() {
    if (current_ && !current_->prims.empty()) Submit();
    if (threads_ == 0) return;
    const size_t all = submitted_.load(std::memory_order_relaxed);
    SpinUntil([&] { return finished_.load(std::memory_order_acquire) >= all; });
    std::unique_lock<std::mutex> lock(mutex_);
    doneCv_.wait(lock, [this] { return queue_.empty(); });
}

void Rasterizer::WorkerLoop(int index) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (nextIndex_[static_cast<size_t>(index)] >= submittedBase_ + queue_.size()) {
            if (stop_) return;
            // Nothing to draw: look out for the next batch for a moment before sleeping.
            const size_t next = nextIndex_[static_cast<size_t>(index)];
            lock.unlock();
            const bool arrived = SpinUntil([&] { return submitted_.load(std::memory_order_acquire) > next; });
            lock.lock();
            if (!arrived)
                workCv_.wait(lock, [&] { return stop_ || nextIndex_[static_cast<size_t>(index)] < submittedBase_ + queue_.size(); });
            continue;
        }
        Batch* b = queue_[nextIndex_[static_cast<size_t>(index)] - submittedBase_].get();
        lock.unlock();
        DrawBatch(*b, index, threads_);
        lock.lock();
        ++nextIndex_[static_cast<size_t>(index)];
        --b->pending;
        bool freed = false;
        while (!queue_.empty() && queue_.front()->pending == 0) {
            std::unique_ptr<Batch> done = std::move(queue_.front());
            queue_.erase(queue_.begin());
            ++submittedBase_;
            done->Clear();
            free_.push_back(std::move(done));
            freed = true;
        }
        if (freed) finished_.store(submittedBase_, std::memory_order_release);
        // Wake the producer only when it waits: for room in the queue, or for the queue to empty.
        if (freed && (queue_.empty() || waitingForRoom_)) doneCv_.notify_all();
    }
}

}  // namespace d3d8detail
