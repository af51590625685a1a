#include "platform/win32/frame_scale.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rt::detail {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint64_t kChannels = 0x00FF00FF00FF00FFull;   // four 8-bit values in 16-bit fields
constexpr uint64_t kHalf = 0x0080008000800080ull;       // rounding of four fields shifted by 8
constexpr int32_t kTaps = 3;

// The pixel's four channels in four 16-bit fields.
inline uint64_t Spread(uint32_t p) {
    const uint64_t v = p;
    return ((v & 0xFF000000u) << 24) | ((v & 0x00FF0000u) << 16) | ((v & 0x0000FF00u) << 8) | (v & 0xFFu);
}

inline uint32_t Gather(uint64_t f) {
    return static_cast<uint32_t>(((f >> 24) & 0xFF000000u) | ((f >> 16) & 0x00FF0000u) | ((f >> 8) & 0x0000FF00u) |
                                 (f & 0xFFu));
}

}  // namespace

// Destination pixel j covers the source stretch [j * src, (j + 1) * src) in units of 1/dst of a
// source pixel; source pixel i is [i * dst, (i + 1) * dst). Each overlap becomes a weight out of
// 256, rounded, the remainder going to the largest so that the weights add up to exactly 256.
void FrameScaler::Axis::Build(int32_t srcSize, int32_t dstSize) {
    if (src == srcSize && dst == dstSize) return;
    src = srcSize;
    dst = dstSize;
    taps.assign(static_cast<size_t>(dstSize), Taps{});
    weights.clear();
    const int64_t s = srcSize, d = dstSize;
    maxTaps = static_cast<int32_t>((s + d - 1) / d + 1);
    for (int64_t j = 0; j < d; ++j) {
        const int64_t lo = j * s, hi = (j + 1) * s;
        Taps& t = taps[static_cast<size_t>(j)];
        t.first = static_cast<int32_t>(lo / d);
        t.weight = static_cast<int32_t>(weights.size());
        int32_t sum = 0;
        size_t largest = weights.size();
        for (int64_t i = lo / d; i * d < hi; ++i) {
            const int64_t overlap = std::min(hi, (i + 1) * d) - std::max(lo, i * d);
            const auto w = static_cast<uint16_t>((overlap * 256 + s / 2) / s);
            if (w == 0 && t.count == 0) {   // a sliver at the start: start at the next pixel
                ++t.first;
                continue;
            }
            weights.push_back(w);
            ++t.count;
            sum += w;
            if (w > weights[largest]) largest = weights.size() - 1;
        }
        weights[largest] = static_cast<uint16_t>(weights[largest] + 256 - sum);
        // Up to three taps (shrinking by up to 2) are padded to three with weight 0, which
        // lets the loops below run without a count; the pixels they name are read, not used.
        while (t.count < kTaps && maxTaps <= kTaps) {
            weights.push_back(0);
            ++t.count;
        }
    }
    pairs.clear();
    if (maxTaps <= kTaps) {
        pairs.resize(static_cast<size_t>((dstSize + 1) / 2) * kTaps * 8, 0);
        for (int64_t j = 0; j < d; ++j)
            for (int32_t k = 0; k < kTaps; ++k)
                for (int c = 0; c < 4; ++c)
                    pairs[static_cast<size_t>((j / 2) * kTaps * 8 + k * 8 + (j % 2) * 4 + c)] =
                        weights[static_cast<size_t>(j * kTaps + k)];
    }
}

void FrameScaler::Scale(const uint32_t* src, int32_t srcW, int32_t srcH, uint32_t* dst, int32_t dstW, int32_t dstH,
                        int32_t dstStride) {
    if (!src || !dst || srcW <= 0 || srcH <= 0 || dstW <= 0 || dstH <= 0) return;
    if (srcW == dstW && srcH == dstH) {
        for (int32_t y = 0; y < dstH; ++y) {
            const uint32_t* s = src + static_cast<size_t>(y) * static_cast<size_t>(srcW);
            uint32_t* d = dst + static_cast<size_t>(y) * static_cast<size_t>(dstStride);
            for (int32_t x = 0; x < dstW; ++x) d[x] = s[x] | kOpaque;
        }
        return;
    }
    cols_.Build(srcW, dstW);
    rows_.Build(srcH, dstH);
    // Three padded taps may reach two pixels past the last row or column: those are read with
    // weight 0, from spare zeroed entries and from the last row itself.
    const bool three = cols_.maxTaps <= kTaps && rows_.maxTaps <= kTaps;
    row_.assign(static_cast<size_t>(srcW) + kTaps, 0);
    for (int32_t y = 0; y < dstH; ++y) {
        // Down: the source rows this row covers, blended into one row of 16-bit channels.
        const Taps& rt = rows_.taps[static_cast<size_t>(y)];
        const uint16_t* rw = rows_.weights.data() + rt.weight;
        const uint32_t* r[kTaps];
        for (int32_t k = 0; k < kTaps; ++k)
            r[k] = src + static_cast<size_t>(std::min(rt.first + k, srcH - 1)) * static_cast<size_t>(srcW);
        int32_t x = 0;
        if (three) {
#if defined(__SSE2__)
            // Two pixels at a time: 8 channels of 16 bits, each a weighted sum of at most 255 x 256.
            const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128);
            const __m128i w0 = _mm_set1_epi16(static_cast<short>(rw[0]));
            const __m128i w1 = _mm_set1_epi16(static_cast<short>(rw[1]));
            const __m128i w2 = _mm_set1_epi16(static_cast<short>(rw[2]));
            auto at = [&](const uint32_t* row, int32_t i) {
                return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i)), zero);
            };
            for (; x + 2 <= srcW; x += 2) {
                __m128i acc = _mm_add_epi16(half, _mm_mullo_epi16(at(r[0], x), w0));
                acc = _mm_add_epi16(acc, _mm_mullo_epi16(at(r[1], x), w1));
                acc = _mm_add_epi16(acc, _mm_mullo_epi16(at(r[2], x), w2));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row_.data() + x), _mm_srli_epi16(acc, 8));
            }
#endif
            for (; x < srcW; ++x)
                row_[static_cast<size_t>(x)] =
                    ((kHalf + Spread(r[0][x]) * rw[0] + Spread(r[1][x]) * rw[1] + Spread(r[2][x]) * rw[2]) >> 8) &
                    kChannels;
        } else {
            for (; x < srcW; ++x) {
                uint64_t acc = kHalf;
                for (int32_t k = 0; k < rt.count; ++k)
                    acc += Spread(src[static_cast<size_t>(rt.first + k) * static_cast<size_t>(srcW) +
                                      static_cast<size_t>(x)]) * rw[k];
                row_[static_cast<size_t>(x)] = (acc >> 8) & kChannels;
            }
        }
        // Across: the blended pixels each destination pixel covers.
        uint32_t* out = dst + static_cast<size_t>(y) * static_cast<size_t>(dstStride);
        const uint64_t* row = row_.data();
        const Taps* ct = cols_.taps.data();
        const uint16_t* cw = cols_.weights.data();
        if (three) {
            int32_t j = 0;
#if defined(__SSE2__)
            // Two destination pixels at a time, the taps of each in its half of the register.
            const __m128i half = _mm_set1_epi16(128), opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
            const __m128i* pw = reinterpret_cast<const __m128i*>(cols_.pairs.data());
            auto taps = [&](int32_t k) {
                const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + ct[j].first + k));
                return _mm_castpd_si128(
                    _mm_loadh_pd(_mm_castsi128_pd(a), reinterpret_cast<const double*>(row + ct[j + 1].first + k)));
            };
            for (; j + 2 <= dstW; j += 2, pw += kTaps) {
                __m128i acc = _mm_add_epi16(half, _mm_mullo_epi16(taps(0), _mm_loadu_si128(pw)));
                acc = _mm_add_epi16(acc, _mm_mullo_epi16(taps(1), _mm_loadu_si128(pw + 1)));
                acc = _mm_add_epi16(acc, _mm_mullo_epi16(taps(2), _mm_loadu_si128(pw + 2)));
                const __m128i px = _mm_packus_epi16(_mm_srli_epi16(acc, 8), _mm_setzero_si128());
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out + j), _mm_or_si128(px, opaque));
            }
            cw += static_cast<size_t>(j) * kTaps;
#endif
            for (; j < dstW; ++j, cw += kTaps) {
                const uint64_t* p = row + ct[j].first;
                out[j] = Gather(((kHalf + p[0] * cw[0] + p[1] * cw[1] + p[2] * cw[2]) >> 8) & kChannels) | kOpaque;
            }
        } else {
            for (int32_t j = 0; j < dstW; ++j) {
                const uint64_t* p = row + ct[j].first;
                const uint16_t* w = cw + ct[j].weight;
                uint64_t acc = kHalf;
                for (int32_t k = 0; k < ct[j].count; ++k) acc += p[k] * w[k];
                out[j] = Gather((acc >> 8) & kChannels) | kOpaque;
            }
        }
    }
}

}  // namespace rt::detail
