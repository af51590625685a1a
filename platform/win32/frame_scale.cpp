#include "platform/win32/frame_scale.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#define QV_FRAME_SCALE_AVX2 1
#include <immintrin.h>
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

bool HasAvx2() {
#if defined(QV_FRAME_SCALE_AVX2)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

}  // namespace

FrameScaler::FrameScaler(bool wide) : wide_(wide && HasAvx2()) {}

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
    bytes = std::all_of(weights.begin(), weights.end(), [](uint16_t w) { return w < 256; });
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
    if (wide_ && three && rows_.bytes) {
        wideCols_.Build(cols_);
        if (wideCols_.ok) {
            ScaleWide(src, srcW, srcH, dst, dstW, dstH, dstStride);
            return;
        }
    }
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

// Blocks of eight destination pixels, each half block taking its taps from a window of eight
// source pixels that starts at its first pixel's first tap. A block whose taps reach past its
// windows (a shrink by more than about 1.75), or a weight of 256, leaves the 256-bit path off.
void FrameScaler::WideCols::Build(const Axis& cols) {
    if (src == cols.src && dst == cols.dst) return;
    src = cols.src;
    dst = cols.dst;
    ok = false;
    if (cols.maxTaps > kTaps || !cols.bytes) return;
    const size_t blocks = static_cast<size_t>(cols.dst / 8);
    base.assign(blocks * 2, 0);
    index.assign(blocks * kTaps * 8, 0);
    weight.assign(blocks * 4 * 32, 0);
    for (size_t b = 0; b < blocks; ++b) {
        base[b * 2] = cols.taps[b * 8].first;
        base[b * 2 + 1] = cols.taps[b * 8 + 4].first;
        for (size_t i = 0; i < 8; ++i) {
            const size_t j = b * 8 + i;
            for (int32_t k = 0; k < kTaps; ++k) {
                int32_t at = cols.taps[j].first + k - base[b * 2 + i / 4];
                if (cols.weights[j * kTaps + static_cast<size_t>(k)] == 0) at = std::min(at, 7);
                if (at > 7) return;
                index[b * kTaps * 8 + static_cast<size_t>(k) * 8 + i] = at;
            }
            // The byte interleave works within each 128-bit half: pixels 0, 1 (4, 5) come out
            // of the low unpack, pixels 2, 3 (6, 7) out of the high one, eight bytes each.
            const size_t half = (i % 4) / 2, at = (i / 4) * 16 + (i % 2) * 8;
            const uint16_t* w = cols.weights.data() + j * kTaps;
            for (size_t c = 0; c < 4; ++c) {
                uint8_t* first = weight.data() + b * 128 + half * 32 + at + c * 2;
                uint8_t* third = weight.data() + b * 128 + (2 + half) * 32 + at + c * 2;
                first[0] = static_cast<uint8_t>(w[0]);
                first[1] = static_cast<uint8_t>(w[1]);
                third[0] = static_cast<uint8_t>(w[2]);
            }
        }
    }
    ok = true;
}

// The same sums as Scale's, eight pixels at a time. Products are taken with a multiply-add of
// unsigned bytes by signed bytes: the weights are the unsigned side and the pixels, offset by
// -128 (each byte's top bit flipped), the signed side. A pair of taps then sums to within
// [-128 x 256, 127 x 256], never saturating, and adding 128 x 256 back, with the rounding 128,
// in wrapping 16-bit arithmetic gives the exact unsigned sum, which is at most 255 x 256 + 128.
#if defined(QV_FRAME_SCALE_AVX2)
namespace {
// One tap of eight destination pixels: pixels 0-3 from window a, 4-7 from window b.
__attribute__((target("avx2"))) inline __m256i Taps8(__m256i a, __m256i b, __m256i at) {
    return _mm256_blend_epi32(_mm256_permutevar8x32_epi32(a, at), _mm256_permutevar8x32_epi32(b, at), 0xF0);
}
}  // namespace

__attribute__((target("avx2")))
#endif
void FrameScaler::ScaleWide(const uint32_t* src, int32_t srcW, int32_t srcH, uint32_t* dst, int32_t dstW,
                           int32_t dstH, int32_t dstStride) {
    constexpr uint32_t kFlip = 0x80808080u;
    // Eight spare pixels let the last block's windows be read whole.
    row8_.assign(static_cast<size_t>(srcW) + 8, kFlip);
    uint32_t* v = row8_.data();
    const int32_t blocks = dstW / 8;
#if defined(QV_FRAME_SCALE_AVX2)
    const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80)), zero = _mm256_setzero_si256();
    const __m256i bias = _mm256_set1_epi16(static_cast<short>(0x8080));
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
#endif
    for (int32_t y = 0; y < dstH; ++y) {
        // Down: the source rows this row covers, blended into one row of 8-bit channels.
        const Taps& rt = rows_.taps[static_cast<size_t>(y)];
        const uint16_t* rw = rows_.weights.data() + rt.weight;
        const uint32_t* r[kTaps];
        for (int32_t k = 0; k < kTaps; ++k)
            r[k] = src + static_cast<size_t>(std::min(rt.first + k, srcH - 1)) * static_cast<size_t>(srcW);
        int32_t x = 0;
#if defined(QV_FRAME_SCALE_AVX2)
        const __m256i w01 = _mm256_set1_epi16(static_cast<short>(rw[0] | rw[1] << 8));
        const __m256i w2 = _mm256_set1_epi16(static_cast<short>(rw[2]));
        for (; x + 8 <= srcW; x += 8) {
            const __m256i a = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(r[0] + x)), flip);
            const __m256i b = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(r[1] + x)), flip);
            __m256i lo = _mm256_add_epi16(_mm256_maddubs_epi16(w01, _mm256_unpacklo_epi8(a, b)), bias);
            __m256i hi = _mm256_add_epi16(_mm256_maddubs_epi16(w01, _mm256_unpackhi_epi8(a, b)), bias);
            if (rw[2]) {
                const __m256i c =
                    _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(r[2] + x)), flip);
                lo = _mm256_add_epi16(lo, _mm256_maddubs_epi16(w2, _mm256_unpacklo_epi8(c, zero)));
                hi = _mm256_add_epi16(hi, _mm256_maddubs_epi16(w2, _mm256_unpackhi_epi8(c, zero)));
            }
            const __m256i px = _mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(v + x), _mm256_xor_si256(px, flip));
        }
#endif
        for (; x < srcW; ++x)
            v[x] = Gather(((kHalf + Spread(r[0][x]) * rw[0] + Spread(r[1][x]) * rw[1] + Spread(r[2][x]) * rw[2]) >> 8) &
                          kChannels) ^
                   kFlip;
        // Across: each block's three taps gathered from its two windows by dword permutes.
        uint32_t* out = dst + static_cast<size_t>(y) * static_cast<size_t>(dstStride);
        int32_t j = 0;
#if defined(QV_FRAME_SCALE_AVX2)
        const int32_t* base = wideCols_.base.data();
        const __m256i* index = reinterpret_cast<const __m256i*>(wideCols_.index.data());
        const __m256i* weight = reinterpret_cast<const __m256i*>(wideCols_.weight.data());
        for (; j < blocks * 8; j += 8, base += 2, index += kTaps, weight += 4) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + base[0]));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + base[1]));
            const __m256i t0 = Taps8(a, b, _mm256_loadu_si256(index));
            const __m256i t1 = Taps8(a, b, _mm256_loadu_si256(index + 1));
            const __m256i t2 = Taps8(a, b, _mm256_loadu_si256(index + 2));
            __m256i lo = _mm256_maddubs_epi16(_mm256_loadu_si256(weight), _mm256_unpacklo_epi8(t0, t1));
            __m256i hi = _mm256_maddubs_epi16(_mm256_loadu_si256(weight + 1), _mm256_unpackhi_epi8(t0, t1));
            lo = _mm256_add_epi16(lo, _mm256_maddubs_epi16(_mm256_loadu_si256(weight + 2), _mm256_unpacklo_epi8(t2, zero)));
            hi = _mm256_add_epi16(hi, _mm256_maddubs_epi16(_mm256_loadu_si256(weight + 3), _mm256_unpackhi_epi8(t2, zero)));
            lo = _mm256_srli_epi16(_mm256_add_epi16(lo, bias), 8);
            hi = _mm256_srli_epi16(_mm256_add_epi16(hi, bias), 8);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), _mm256_or_si256(_mm256_packus_epi16(lo, hi), opaque));
        }
#endif
        for (; j < dstW; ++j) {
            const uint32_t* p = v + cols_.taps[static_cast<size_t>(j)].first;
            const uint16_t* w = cols_.weights.data() + static_cast<size_t>(j) * kTaps;
            out[j] = Gather(((kHalf + Spread(p[0] ^ kFlip) * w[0] + Spread(p[1] ^ kFlip) * w[1] +
                              Spread(p[2] ^ kFlip) * w[2]) >> 8) & kChannels) | kOpaque;
        }
    }
}

}  // namespace rt::detail
