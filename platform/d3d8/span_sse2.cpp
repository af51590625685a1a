// The common span four pixels at a time with SSE2: the operations of the scalar loop in
// span.cpp, lane by lane, so the pixels are the same.
#include "platform/d3d8/raster_span.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace d3d8detail {

template <bool kBlend>
int WhiteSpanSse2(const PixelState& s, const WhiteSpan& sp, int x0, int x, int x1) {
#if defined(__SSE2__)
    const __m128 z0v = _mm_set1_ps(sp.z0), iw0v = _mm_set1_ps(sp.iw0), u0v = _mm_set1_ps(sp.u0), v0v = _mm_set1_ps(sp.v0);
    const __m128 zdxv = _mm_set1_ps(sp.zdx), iwdxv = _mm_set1_ps(sp.iwdx), udxv = _mm_set1_ps(sp.udx),
                 vdxv = _mm_set1_ps(sp.vdx);
    const __m128 lanes = _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f), zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
    const __m128 scale = _mm_set1_ps(kDepthScale), half = _mm_set1_ps(0.5f), twv = _mm_set1_ps(sp.tw),
                 thv = _mm_set1_ps(sp.th);
    const __m128i mwv = _mm_set1_epi32(sp.mw), mhv = _mm_set1_epi32(sp.mh), shiftv = _mm_cvtsi32_si128(sp.shiftW);
    const __m128i alphaOrv = _mm_set1_epi32(static_cast<int>(sp.alphaOr)),
                  alphaMask = _mm_set1_epi32(static_cast<int>(kAlphaMask));
    const __m128i bias32 = _mm_set1_epi32(0x8000), bias16 = _mm_set1_epi16(static_cast<short>(0x8000));
    auto floorv = [](__m128 f) {
        const __m128i i = _mm_cvttps_epi32(f);
        return _mm_add_epi32(i, _mm_castps_si128(_mm_cmplt_ps(f, _mm_cvtepi32_ps(i))));
    };
    const uint32_t* texels = sp.texels;
    uint32_t* color = sp.color;
    uint16_t* depth = sp.depth;
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
                                           texels[idx[j]] | sp.alphaOr);
    }
#else
    (void)s, (void)sp, (void)x0, (void)x1;
#endif
    return x;
}

template int WhiteSpanSse2<true>(const PixelState&, const WhiteSpan&, int, int, int);
template int WhiteSpanSse2<false>(const PixelState&, const WhiteSpan&, int, int, int);

}  // namespace d3d8detail
