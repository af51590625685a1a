#include "platform/media/frame_scale.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#define QV_FRAME_SCALE_WIDE 1
#include <immintrin.h>
#endif

namespace media {

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

FrameScaler::Vectors Widest() {
#if defined(QV_FRAME_SCALE_WIDE)
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi"))
        return FrameScaler::Vectors::Avx512;
    if (__builtin_cpu_supports("avx2")) return FrameScaler::Vectors::Avx2;
#endif
    return FrameScaler::Vectors::Sse2;
}

// The first element of `v` at a 64-byte boundary (the vectors hold 64 spare bytes), so that no
// load of a whole register from it spans two cache lines.
template <class T>
T* Aligned(std::vector<T>& v) {
    const auto at = reinterpret_cast<uintptr_t>(v.data());
    return v.data() + ((64 - at % 64) % 64) / sizeof(T);
}

}  // namespace

FrameScaler::FrameScaler(Vectors widest) : vectors_(std::min(widest, Widest())) {}

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

const uint16_t* FrameScaler::RowTaps(const uint32_t* src, int32_t srcW, int32_t srcH, int32_t y,
                                     const uint32_t* (&r)[3]) const {
    const Taps& t = rows_.taps[static_cast<size_t>(y)];
    for (int32_t k = 0; k < kTaps; ++k)
        r[k] = src + static_cast<size_t>(std::min(t.first + k, srcH - 1)) * static_cast<size_t>(srcW);
    return rows_.weights.data() + t.weight;
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
    if (vectors_ != Vectors::Sse2 && three && rows_.bytes) {
        blocks_.Build(cols_, vectors_ == Vectors::Avx512 ? 16 : 8);
        if (blocks_.ok && vectors_ == Vectors::Avx512) {
            ScaleAvx512(src, srcW, srcH, dst, dstW, dstH, dstStride);
            return;
        }
        if (blocks_.ok) {
            ScaleAvx2(src, srcW, srcH, dst, dstW, dstH, dstStride);
            return;
        }
    }
    row_.assign(static_cast<size_t>(srcW) + kTaps, 0);
    for (int32_t y = 0; y < dstH; ++y) {
        // Down: the source rows this row covers, blended into one row of 16-bit channels.
        const Taps& rt = rows_.taps[static_cast<size_t>(y)];
        const uint32_t* r[kTaps];
        const uint16_t* rw = RowTaps(src, srcW, srcH, y, r);
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

// A block whose taps reach past its windows (a shrink across by more than about 1.66 for
// AVX2, 1.85 for AVX-512), or a weight of 256, leaves the wide paths off. The weights are
// bytes in pairs as the wide paths multiply them: the first two taps', then the third's with
// the rounding (see below).
void FrameScaler::Blocks::Build(const Axis& cols, int32_t blockWidth) {
    if (src == cols.src && dst == cols.dst && width == blockWidth) return;
    src = cols.src;
    dst = cols.dst;
    width = blockWidth;
    ok = false;
    if (cols.maxTaps > kTaps || !cols.bytes) return;
    const size_t n = static_cast<size_t>(blockWidth), blocks = static_cast<size_t>(cols.dst) / n;
    // Each half block takes its taps from a window of source pixels starting at its first
    // pixel's first tap: eight pixels for AVX2 (a dword permute), sixteen for AVX-512 (a byte
    // permute of one register).
    const int32_t span = n == 8 ? 8 : 16;
    const size_t reg = n * 4;                                  // bytes in one register
    const size_t indexBytes = n == 8 ? kTaps * reg : 4 * reg;   // a block's indices
    base.assign(blocks * 2, 0);
    index.assign(blocks * indexBytes + 64, 0);
    weight.assign(blocks * 4 * reg + 64, 0);
    uint8_t* const indices = Aligned(index);
    uint8_t* const weights = Aligned(weight);
    for (size_t b = 0; b < blocks; ++b) {
        for (size_t h = 0; h < 2; ++h) base[b * 2 + h] = cols.taps[b * n + h * n / 2].first;
        for (size_t i = 0; i < n; ++i) {
            const size_t j = b * n + i;
            const uint16_t* w = cols.weights.data() + j * kTaps;
            int32_t at[kTaps];
            for (int32_t k = 0; k < kTaps; ++k) {
                at[k] = cols.taps[j].first + k - base[b * 2 + i / (n / 2)];
                if (w[k] == 0) at[k] = std::min(at[k], span - 1);
                if (at[k] >= span) return;
            }
            // Where the pixel's pairs of bytes go. AVX-512: one register a half block, eight
            // bytes a pixel in order. AVX2 pairs bytes within each 128-bit part and packs each
            // part's two registers back (the low register's pixels first), so in part L the
            // low register holds pixels 4L, 4L + 1, the high one 4L + 2, 4L + 3.
            const size_t at8 = n == 8 ? (i % 4) / 2 * reg + (i / 4) * 16 + (i % 2) * 8 : (i / 8) * reg + (i % 8) * 8;
            for (size_t c = 0; c < 4; ++c) {
                uint8_t* first = weights + b * 4 * reg + at8 + c * 2;
                uint8_t* third = first + 2 * reg;
                const bool alpha = c == 3;
                first[0] = alpha ? 255 : static_cast<uint8_t>(w[0]);
                first[1] = alpha ? 255 : static_cast<uint8_t>(w[1]);
                third[0] = alpha ? 0 : static_cast<uint8_t>(w[2]);
                third[1] = alpha ? 0 : (n == 8 ? 128 : 2);
                if (n == 16) {
                    uint8_t* pair = indices + b * indexBytes + at8 + c * 2;
                    pair[0] = static_cast<uint8_t>(at[0] * 4 + static_cast<int32_t>(c));
                    pair[1] = static_cast<uint8_t>(at[1] * 4 + static_cast<int32_t>(c));
                    pair[2 * reg] = static_cast<uint8_t>(at[2] * 4 + static_cast<int32_t>(c));
                    pair[2 * reg + 1] = static_cast<uint8_t>(at[2] * 4 + 3);   // its alpha, 64
                }
            }
            if (n == 8)
                for (int32_t k = 0; k < kTaps; ++k)
                    std::memcpy(indices + b * indexBytes + static_cast<size_t>(k) * reg + i * 4, &at[k], 4);
        }
    }
    ok = true;
}

// The wide paths make the same sums as Scale's, with a multiply-add of unsigned bytes by signed
// bytes: the weights are the unsigned side and the pixels, less 128 (each byte's top bit
// flipped), the signed side. Two taps then sum to within [-128 x 256, 127 x 256], never
// saturating, the third tap comes paired with a byte that adds the rounding 128, and as the
// weights add up to 256 the sum is 256 x 128 below the unsigned one. Shifted right
// arithmetically by 8 it is the 8-bit result less 128, which a signed pack keeps exactly and
// which is what the second pass multiplies; flipping the top bits back gives the result.
// Alpha rides along without extra work: the first pass makes it 64 (from a byte 127 weighted
// 130, its taps weighted 0), and the second weights two such bytes 255 each, a sum of 32640
// that shifts to 127, the largest signed byte, which flips to 0xFF. The AVX-512 path pairs the
// third tap with its own alpha byte weighted 2 for the rounding.
namespace {
constexpr uint32_t kFlip = 0x80808080u, kAlpha = 0x40000000u;
constexpr uint32_t kOne = 0x7F010101u;   // the bytes the first pass pairs the third tap with
// The first pass's weights: the first two rows' as pairs of bytes, the third's with 128 (and
// alpha's with 130), and the rounding alone for rows with two taps.
inline uint64_t FirstPair(const uint16_t* w) {
    const uint64_t p = w[0] | w[1] << 8;
    return p | p << 16 | p << 32;
}
inline uint64_t ThirdPair(const uint16_t* w) {
    const uint64_t p = w[2] | 0x8000u;
    return p | p << 16 | p << 32 | 0x8200ull << 48;
}
constexpr uint64_t kRound = 0x407E008000800080ull;   // 128 for colours, 127 x 130 for alpha

// The first pass's remainder, one pixel at a time, stored as the wide loops store.
inline uint32_t DownOne(const uint32_t* const* r, const uint16_t* w, int32_t x) {
    const uint64_t sum = kHalf + Spread(r[0][x]) * w[0] + Spread(r[1][x]) * w[1] + Spread(r[2][x]) * w[2];
    return ((Gather((sum >> 8) & kChannels) ^ kFlip) & 0xFFFFFFu) | kAlpha;
}
// The second pass's remainder.
inline uint32_t AcrossOne(const uint32_t* p, const uint16_t* w) {
    const uint64_t sum =
        kHalf + Spread(p[0] ^ kFlip) * w[0] + Spread(p[1] ^ kFlip) * w[1] + Spread(p[2] ^ kFlip) * w[2];
    return Gather((sum >> 8) & kChannels) | kOpaque;
}
}  // namespace

#if defined(QV_FRAME_SCALE_WIDE)
namespace {
// One tap of eight destination pixels: pixels 0-3 from window a, 4-7 from window b.
__attribute__((target("avx2"))) inline __m256i Taps8(__m256i a, __m256i b, __m256i at) {
    return _mm256_blend_epi32(_mm256_permutevar8x32_epi32(a, at), _mm256_permutevar8x32_epi32(b, at), 0xF0);
}
}  // namespace

__attribute__((target("avx2")))
#endif
void FrameScaler::ScaleAvx2(const uint32_t* src, int32_t srcW, int32_t srcH, uint32_t* dst, int32_t dstW,
                           int32_t dstH, int32_t dstStride) {
    // Spare pixels let the last block's windows be read whole.
    row8_.assign(static_cast<size_t>(srcW) + 32 + 16, kAlpha | 0x808080u);
    uint32_t* v = Aligned(row8_);
    const int32_t blocks = dstW / 8;
#if defined(QV_FRAME_SCALE_WIDE)
    const __m256i flip = _mm256_set1_epi32(static_cast<int>(kFlip)), one = _mm256_set1_epi32(static_cast<int>(kOne));
    const __m256i round = _mm256_set1_epi64x(static_cast<long long>(kRound));
#endif
    for (int32_t y = 0; y < dstH; ++y) {
        // Down: the source rows this row covers, blended into one row of 8-bit channels.
        const uint32_t* r[kTaps];
        const uint16_t* rw = RowTaps(src, srcW, srcH, y, r);
        int32_t x = 0;
#if defined(QV_FRAME_SCALE_WIDE)
        const __m256i first = _mm256_set1_epi64x(static_cast<long long>(FirstPair(rw)));
        const __m256i third = _mm256_set1_epi64x(static_cast<long long>(ThirdPair(rw)));
        const bool three = rw[2] != 0;
        for (; x + 8 <= srcW; x += 8) {
            const __m256i a = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(r[0] + x)), flip);
            const __m256i b = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(r[1] + x)), flip);
            __m256i lo = _mm256_maddubs_epi16(first, _mm256_unpacklo_epi8(a, b));
            __m256i hi = _mm256_maddubs_epi16(first, _mm256_unpackhi_epi8(a, b));
            if (three) {
                const __m256i c =
                    _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(r[2] + x)), flip);
                lo = _mm256_add_epi16(lo, _mm256_maddubs_epi16(third, _mm256_unpacklo_epi8(c, one)));
                hi = _mm256_add_epi16(hi, _mm256_maddubs_epi16(third, _mm256_unpackhi_epi8(c, one)));
            } else {
                lo = _mm256_add_epi16(lo, round);
                hi = _mm256_add_epi16(hi, round);
            }
            const __m256i px = _mm256_packs_epi16(_mm256_srai_epi16(lo, 8), _mm256_srai_epi16(hi, 8));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(v + x), px);
        }
#endif
        for (; x < srcW; ++x) v[x] = DownOne(r, rw, x);
        // Across: each block's three taps gathered from its two windows by dword permutes, the
        // third paired with a byte 1 weighted 128 (alpha's weighted 0).
        uint32_t* out = dst + static_cast<size_t>(y) * static_cast<size_t>(dstStride);
        int32_t j = 0;
#if defined(QV_FRAME_SCALE_WIDE)
        const int32_t* base = blocks_.base.data();
        const __m256i* index = reinterpret_cast<const __m256i*>(Aligned(blocks_.index));
        const __m256i* weight = reinterpret_cast<const __m256i*>(Aligned(blocks_.weight));
        for (; j < blocks * 8; j += 8, base += 2, index += kTaps, weight += 4) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + base[0]));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + base[1]));
            const __m256i t0 = Taps8(a, b, _mm256_loadu_si256(index));
            const __m256i t1 = Taps8(a, b, _mm256_loadu_si256(index + 1));
            const __m256i t2 = Taps8(a, b, _mm256_loadu_si256(index + 2));
            __m256i lo = _mm256_maddubs_epi16(_mm256_loadu_si256(weight), _mm256_unpacklo_epi8(t0, t1));
            __m256i hi = _mm256_maddubs_epi16(_mm256_loadu_si256(weight + 1), _mm256_unpackhi_epi8(t0, t1));
            lo = _mm256_add_epi16(lo, _mm256_maddubs_epi16(_mm256_loadu_si256(weight + 2),
                                                           _mm256_unpacklo_epi8(t2, one)));
            hi = _mm256_add_epi16(hi, _mm256_maddubs_epi16(_mm256_loadu_si256(weight + 3),
                                                           _mm256_unpackhi_epi8(t2, one)));
            const __m256i px = _mm256_packs_epi16(_mm256_srai_epi16(lo, 8), _mm256_srai_epi16(hi, 8));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), _mm256_xor_si256(px, flip));
        }
#endif
        for (; j < dstW; ++j)
            out[j] = AcrossOne(v + cols_.taps[static_cast<size_t>(j)].first,
                               cols_.weights.data() + static_cast<size_t>(j) * kTaps);
    }
}

#if defined(QV_FRAME_SCALE_WIDE)
namespace {
// Byte indices that pick the top byte of each 16-bit sum of two registers: in pixel order when
// each register holds eight pixels in order, or as the first pass's unpacks leave them (in
// each 128-bit part, the low register's two pixels, then the high one's).
struct Bytes64 {
    alignas(64) uint8_t at[64];
};
constexpr Bytes64 TopBytes(bool unpacked) {
    Bytes64 t{};
    for (int i = 0; i < 64; ++i)
        t.at[i] = static_cast<uint8_t>(unpacked ? (i % 16 < 8 ? 0 : 64) + 2 * ((i / 16) * 8 + i % 8) + 1 : 2 * i + 1);
    return t;
}
constexpr Bytes64 kTopsUnpacked = TopBytes(true), kTopsInOrder = TopBytes(false);

// The first pass for one destination row, sixteen pixels at a time: the source rows `r`
// blended with weights `w` into `v`.
__attribute__((target("avx512bw,avx512vbmi"))) void Down512(const uint32_t* const* r, const uint16_t* w,
                                                             int32_t srcW, uint32_t* v) {
    const __m512i flip = _mm512_set1_epi32(static_cast<int>(kFlip)), one = _mm512_set1_epi32(static_cast<int>(kOne));
    const __m512i round = _mm512_set1_epi64(static_cast<long long>(kRound));
    const __m512i top = _mm512_load_si512(kTopsUnpacked.at);
    const __m512i pair = _mm512_set1_epi64(static_cast<long long>(FirstPair(w)));
    const __m512i third = _mm512_set1_epi64(static_cast<long long>(ThirdPair(w)));
    const bool three = w[2] != 0;
    int32_t x = 0;
    for (; x + 16 <= srcW; x += 16) {
        const __m512i a = _mm512_xor_si512(_mm512_loadu_si512(r[0] + x), flip);
        const __m512i b = _mm512_xor_si512(_mm512_loadu_si512(r[1] + x), flip);
        __m512i lo = _mm512_maddubs_epi16(pair, _mm512_unpacklo_epi8(a, b));
        __m512i hi = _mm512_maddubs_epi16(pair, _mm512_unpackhi_epi8(a, b));
        if (three) {
            const __m512i c = _mm512_xor_si512(_mm512_loadu_si512(r[2] + x), flip);
            lo = _mm512_add_epi16(lo, _mm512_maddubs_epi16(third, _mm512_unpacklo_epi8(c, one)));
            hi = _mm512_add_epi16(hi, _mm512_maddubs_epi16(third, _mm512_unpackhi_epi8(c, one)));
        } else {
            lo = _mm512_add_epi16(lo, round);
            hi = _mm512_add_epi16(hi, round);
        }
        _mm512_store_si512(v + x, _mm512_permutex2var_epi8(lo, top, hi));
    }
    for (; x < srcW; ++x) v[x] = DownOne(r, w, x);
}

// The bytes of `a` that `at` names (a byte permute; the masked form, all bytes kept, is the
// one whose header leaves nothing undefined).
__attribute__((target("avx512bw,avx512vbmi"))) inline __m512i Pick(__m512i at, __m512i a) {
    return _mm512_maskz_permutexvar_epi8(~0ull, at, a);
}

// The second pass for one block of sixteen destination pixels of a row.
__attribute__((target("avx512bw,avx512vbmi"))) inline void Across512(const uint32_t* v, const int32_t* base,
                                                                      const __m512i* index, const __m512i* weight,
                                                                      uint32_t* out) {
    const __m512i a = _mm512_loadu_si512(v + base[0]), b = _mm512_loadu_si512(v + base[1]);
    const __m512i lo = _mm512_add_epi16(_mm512_maddubs_epi16(weight[0], Pick(index[0], a)),
                                        _mm512_maddubs_epi16(weight[2], Pick(index[2], a)));
    const __m512i hi = _mm512_add_epi16(_mm512_maddubs_epi16(weight[1], Pick(index[1], b)),
                                        _mm512_maddubs_epi16(weight[3], Pick(index[3], b)));
    const __m512i px = _mm512_permutex2var_epi8(lo, _mm512_load_si512(kTopsInOrder.at), hi);
    _mm512_storeu_si512(out, _mm512_xor_si512(px, _mm512_set1_epi32(static_cast<int>(kFlip))));
}
}  // namespace

__attribute__((target("avx512bw,avx512vbmi")))
#endif
void FrameScaler::ScaleAvx512(const uint32_t* src, int32_t srcW, int32_t srcH, uint32_t* dst, int32_t dstW,
                             int32_t dstH, int32_t dstStride) {
    // Two rows of the first pass, so that the second pass reads its tables once for both; each
    // starts at a cache line, with spare pixels for the last block's windows.
    const size_t stride = (static_cast<size_t>(srcW) + 32 + 15) / 16 * 16;
    row8_.assign(2 * stride + 16, kAlpha | 0x808080u);
    uint32_t* const v[2] = {Aligned(row8_), Aligned(row8_) + stride};
    const int32_t blocks = dstW / 16;
    for (int32_t y = 0; y < dstH; y += 2) {
        const int32_t rows = std::min(2, dstH - y);
        uint32_t* out[2] = {dst + static_cast<size_t>(y) * static_cast<size_t>(dstStride), nullptr};
        for (int32_t h = 0; h < rows; ++h) {
            const uint32_t* r[kTaps];
            const uint16_t* rw = RowTaps(src, srcW, srcH, y + h, r);
#if defined(QV_FRAME_SCALE_WIDE)
            Down512(r, rw, srcW, v[h]);
#else
            for (int32_t x = 0; x < srcW; ++x) v[h][x] = DownOne(r, rw, x);
#endif
            out[h] = dst + static_cast<size_t>(y + h) * static_cast<size_t>(dstStride);
        }
        int32_t j = 0;
#if defined(QV_FRAME_SCALE_WIDE)
        const int32_t* base = blocks_.base.data();
        const __m512i* index = reinterpret_cast<const __m512i*>(Aligned(blocks_.index));
        const __m512i* weight = reinterpret_cast<const __m512i*>(Aligned(blocks_.weight));
        for (; j < blocks * 16; j += 16, base += 2, index += 4, weight += 4) {
            const __m512i at[4] = {index[0], index[1], index[2], index[3]};
            const __m512i w[4] = {weight[0], weight[1], weight[2], weight[3]};
            for (int32_t h = 0; h < rows; ++h) Across512(v[h], base, at, w, out[h] + j);
        }
#endif
        for (int32_t h = 0; h < rows; ++h)
            for (int32_t k = j; k < dstW; ++k)
                out[h][k] = AcrossOne(v[h] + cols_.taps[static_cast<size_t>(k)].first,
                                      cols_.weights.data() + static_cast<size_t>(k) * kTaps);
    }
}

}  // namespace media
