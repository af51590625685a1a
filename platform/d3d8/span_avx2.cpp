// The common span eight pixels at a time on processors with AVX2 (compiled for them alone,
// chosen at run time), computed with the very operations of the scalar loop in span.cpp (no
// fused multiply-add), so the pixels are the same.
#include "platform/d3d8/raster_span.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace d3d8detail {

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

// floor() of eight floats the way FloorToInt computes it.
__attribute__((target("avx2"))) inline __m256i Floor8(__m256 f) {
    const __m256i i = _mm256_cvttps_epi32(f);
    return _mm256_add_epi32(i, _mm256_castps_si256(_mm256_cmp_ps(f, _mm256_cvtepi32_ps(i), _CMP_LT_OQ)));
}

template <bool kBlend>
__attribute__((target("avx2"))) int Loop8(const PixelState& s, const WhiteSpan& sp, int x0, int x, int x1) {
    const __m256 z0v = _mm256_set1_ps(sp.z0), iw0v = _mm256_set1_ps(sp.iw0), u0v = _mm256_set1_ps(sp.u0),
                 v0v = _mm256_set1_ps(sp.v0);
    const __m256 zdxv = _mm256_set1_ps(sp.zdx), iwdxv = _mm256_set1_ps(sp.iwdx), udxv = _mm256_set1_ps(sp.udx),
                 vdxv = _mm256_set1_ps(sp.vdx);
    const __m256 lanes = _mm256_setr_ps(0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f);
    const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f), scale = _mm256_set1_ps(kDepthScale),
                 half = _mm256_set1_ps(0.5f), twv = _mm256_set1_ps(sp.tw), thv = _mm256_set1_ps(sp.th);
    const __m256i mwv = _mm256_set1_epi32(sp.mw), mhv = _mm256_set1_epi32(sp.mh);
    const __m128i shiftv = _mm_cvtsi32_si128(sp.shiftW);
    const __m256i alphaOrv = _mm256_set1_epi32(static_cast<int>(sp.alphaOr));
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(kAlphaMask));
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

}  // namespace

template <bool kBlend>
int WhiteSpanAvx2(const PixelState& s, const WhiteSpan& sp, int x0, int x, int x1) {
    return Loop8<kBlend>(s, sp, x0, x, x1);
}
#else
template <bool kBlend>
int WhiteSpanAvx2(const PixelState&, const WhiteSpan&, int, int x, int) {
    return x;   // never chosen: AvailableSpanPaths() has no AVX2 here
}
#endif

template int WhiteSpanAvx2<true>(const PixelState&, const WhiteSpan&, int, int, int);
template int WhiteSpanAvx2<false>(const PixelState&, const WhiteSpan&, int, int, int);

}  // namespace d3d8detail
