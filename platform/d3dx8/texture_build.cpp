#include "platform/d3dx8/texture_build.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace d3dx8detail {
namespace {

constexpr int kFilterNone = 1, kFilterPoint = 2, kFilterLinear = 3;

inline uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

uint32_t Pack(const float acc[4]) {
    uint32_t out = 0;
    for (int k = 0; k < 4; ++k) {
        const float v = std::clamp(acc[k] + 0.5f, 0.0f, 255.0f);
        out |= static_cast<uint32_t>(v) << (k * 8);
    }
    return out;
}

void ResampleNone(const uint32_t* src, int sw, int sh, uint32_t* dst, int w, int h) {
    // No scaling: the image sits in the top-left corner, the rest is transparent black.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dst[static_cast<size_t>(y) * w + x] = (x < sw && y < sh) ? src[static_cast<size_t>(y) * sw + x] : 0u;
}

void ResamplePoint(const uint32_t* src, int sw, int sh, uint32_t* dst, int w, int h) {
    for (int y = 0; y < h; ++y) {
        const int sy = std::min(sh - 1, static_cast<int>((static_cast<int64_t>(y) * 2 + 1) * sh / (2 * h)));
        for (int x = 0; x < w; ++x) {
            const int sx = std::min(sw - 1, static_cast<int>((static_cast<int64_t>(x) * 2 + 1) * sw / (2 * w)));
            dst[static_cast<size_t>(y) * w + x] = src[static_cast<size_t>(sy) * sw + sx];
        }
    }
}

// Where destination pixel `d` (of `dstSide`) samples a source side of `srcSide` pixels: the
// two source pixels around its centre, clamped at the edges, and the weight of the second.
struct LinearTap {
    int i0, i1;
    float t;
};
LinearTap TapOf(int d, int srcSide, int dstSide) {
    float f = (d + 0.5f) * srcSide / dstSide - 0.5f;
    f = std::clamp(f, 0.0f, static_cast<float>(srcSide - 1));
    const int i0 = static_cast<int>(f);
    return {i0, std::min(i0 + 1, srcSide - 1), f - i0};
}

// Bilinear between the four source pixels around each destination pixel centre, clamped at the
// edges. An exact halving averages each 2 x 2 block.
void ResampleLinear(const uint32_t* src, int sw, int sh, uint32_t* dst, int w, int h) {
    for (int y = 0; y < h; ++y) {
        const auto [y0, y1, ty] = TapOf(y, sh, h);
        for (int x = 0; x < w; ++x) {
            const auto [x0, x1, tx] = TapOf(x, sw, w);
            const uint32_t c00 = src[static_cast<size_t>(y0) * sw + x0], c01 = src[static_cast<size_t>(y0) * sw + x1];
            const uint32_t c10 = src[static_cast<size_t>(y1) * sw + x0], c11 = src[static_cast<size_t>(y1) * sw + x1];
            float acc[4];
            for (int k = 0; k < 4; ++k) {
                const float top = Channel(c00, k * 8) * (1 - tx) + Channel(c01, k * 8) * tx;
                const float bottom = Channel(c10, k * 8) * (1 - tx) + Channel(c11, k * 8) * tx;
                acc[k] = top * (1 - ty) + bottom * ty;
            }
            dst[static_cast<size_t>(y) * w + x] = Pack(acc);
        }
    }
}

// Area average: each destination pixel is the mean of the source area it covers (source pixels
// weighted by their overlap). Also used for enlarging, where it picks the covering pixels.
void ResampleBox(const uint32_t* src, int sw, int sh, uint32_t* dst, int w, int h) {
    const double sx = static_cast<double>(sw) / w, sy = static_cast<double>(sh) / h;
    for (int y = 0; y < h; ++y) {
        const double ya = y * sy, yb = (y + 1) * sy;
        for (int x = 0; x < w; ++x) {
            const double xa = x * sx, xb = (x + 1) * sx;
            double acc[4] = {0, 0, 0, 0}, total = 0;
            for (int j = static_cast<int>(ya); j < sh && j < yb; ++j) {
                const double wy = std::min<double>(j + 1, yb) - std::max<double>(j, ya);
                if (wy <= 0) continue;
                for (int i = static_cast<int>(xa); i < sw && i < xb; ++i) {
                    const double wx = std::min<double>(i + 1, xb) - std::max<double>(i, xa);
                    if (wx <= 0) continue;
                    const uint32_t c = src[static_cast<size_t>(j) * sw + i];
                    for (int k = 0; k < 4; ++k) acc[k] += Channel(c, k * 8) * wx * wy;
                    total += wx * wy;
                }
            }
            float out[4];
            for (int k = 0; k < 4; ++k) out[k] = total > 0 ? static_cast<float>(acc[k] / total) : 0.0f;
            dst[static_cast<size_t>(y) * w + x] = Pack(out);
        }
    }
}

}  // namespace

void ApplyColorKey(media::Image& image, uint32_t key) {
    if (key == 0) return;
    for (uint32_t& p : image.Pixels)
        if (p == key) p = 0;
}

int NextPowerOfTwo(int n) {
    int p = 1;
    while (p < n) p <<= 1;
    return p;
}

void Resample(const uint32_t* src, int sw, int sh, uint32_t* dst, int w, int h, int filter) {
    if (sw == w && sh == h) {
        std::copy(src, src + static_cast<size_t>(w) * h, dst);
        return;
    }
    switch (filter & 0xFF) {
        case kFilterNone: ResampleNone(src, sw, sh, dst, w, h); break;
        case kFilterPoint: ResamplePoint(src, sw, sh, dst, w, h); break;
        case kFilterLinear: ResampleLinear(src, sw, sh, dst, w, h); break;
        default: ResampleBox(src, sw, sh, dst, w, h); break;
    }
}

int FullMipCount(int width, int height) {
    int levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        ++levels;
    }
    return levels;
}

void BuildTexture(const media::Image& image, int width, int height, int levels, int filter,
                  int mipFilter, bool hasAlpha, int32_t format, Direct3DTexture8& out) {
    out.Format = format;
    out.HasAlpha = hasAlpha;
    out.Levels.assign(static_cast<size_t>(levels), {});
    for (int i = 0; i < levels; ++i) {
        Direct3DTexture8::Level& level = out.Levels[static_cast<size_t>(i)];
        if (i == 0) {
            level.Width = width;
            level.Height = height;
            level.Pixels.resize(static_cast<size_t>(width) * height);
            Resample(image.Pixels.data(), image.Width, image.Height, level.Pixels.data(), width,
                     height, filter);
        } else {
            const Direct3DTexture8::Level& above = out.Levels[static_cast<size_t>(i - 1)];
            level.Width = std::max(1, above.Width / 2);
            level.Height = std::max(1, above.Height / 2);
            level.Pixels.resize(static_cast<size_t>(level.Width) * level.Height);
            // The filter "none" would only crop each level; mips always shrink the whole image.
            const int f = (mipFilter & 0xFF) == kFilterNone ? kFilterPoint : mipFilter;
            Resample(above.Pixels.data(), above.Width, above.Height, level.Pixels.data(),
                     level.Width, level.Height, f);
        }
        if (!hasAlpha)
            for (uint32_t& p : level.Pixels) p |= 0xFF000000u;
    }
}

}  // namespace d3dx8detail
