// A 640 x 480 frame shown in the game's 402 x 302 picture box: every frame pixel counts in the
// shrunk picture, so a one-pixel line shows wherever it lies, with the same total brightness,
// and a frame of the box's own size is copied unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/media/frame_scale.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/win32.h"
#include "tests/render/d3dx8_refimage.h"

namespace {

constexpr int kW = 640, kH = 480, kBoxW = 402, kBoxH = 302;

struct Window : rt::Form {
    Window() : Form("ShrinkWindow") {
        ClientSize(kBoxW + 20, kBoxH + 20);
        Move(0, 0);
    }
    rt::PictureBox pic{*this, "pic", 10, 10, kBoxW, kBoxH};
};

// Lines one pixel wide on every seventh row and column, a diagonal, a checkerboard of single
// pixels and colour ramps: what dropping rows and columns would lose or break up.
std::vector<uint32_t> TestCard() {
    std::vector<uint32_t> f(static_cast<size_t>(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint32_t c = 0xFF000000u | static_cast<uint32_t>(x * 255 / kW) << 16 | static_cast<uint32_t>(y * 255 / kH);
            if (x % 7 == 0 || y % 7 == 0) c = 0xFFFFFFFFu;
            if (std::abs(x - y) == 0) c = 0xFF00FF00u;
            if (x >= 400 && y >= 300 && ((x + y) & 1)) c = 0xFFFFFF00u;
            f[static_cast<size_t>(y) * kW + x] = c;
        }
    return f;
}

TEST(PictureShrink, TestCardShrunkIntoTheBoxMatchesTheReference) {
    rt::headless::Use();
    auto& w = rt::FormOf<Window>();
    w.Show();
    const std::vector<uint32_t> card = TestCard();
    rt::PresentToWindow(w.pic.hWnd(), card.data(), kW, kH);
    const std::vector<uint32_t> window = rt::headless::WindowPixels(w);
    const int stride = kBoxW + 20;
    std::vector<uint32_t> box(static_cast<size_t>(kBoxW) * kBoxH);
    for (int y = 0; y < kBoxH; ++y)
        for (int x = 0; x < kBoxW; ++x) box[static_cast<size_t>(y) * kBoxW + x] = window[static_cast<size_t>(y + 10) * stride + x + 10];
    d3dx8ref::ExpectMatchesReference("picture_shrink", box, kBoxW, kBoxH, 0);
}

// A white line one pixel wide on black, at every column and then every row of the frame: each
// row (column) of the box shows it at least 30% as bright as the line (at least half of the
// line falls within one box pixel), and the brightness it spreads over the box adds up to the
// line's share of the area (255 x 402 / 640 per box row).
TEST(PictureShrink, AOnePixelLineStaysVisibleAtEveryPosition) {
    media::FrameScaler scaler;
    std::vector<uint32_t> frame(static_cast<size_t>(kW) * kH), box(static_cast<size_t>(kBoxW) * kBoxH);
    for (int vertical = 0; vertical < 2; ++vertical) {
        const int positions = vertical ? kW : kH;
        const int across = vertical ? kBoxH : kBoxW, along = vertical ? kBoxW : kBoxH;
        const double share = 255.0 * (vertical ? double(kBoxW) / kW : double(kBoxH) / kH);
        for (int at = 0; at < positions; ++at) {
            std::fill(frame.begin(), frame.end(), 0xFF000000u);
            for (int k = 0; k < (vertical ? kH : kW); ++k)
                frame[vertical ? static_cast<size_t>(k) * kW + at : static_cast<size_t>(at) * kW + k] = 0xFFFFFFFFu;
            scaler.Scale(frame.data(), kW, kH, box.data(), kBoxW, kBoxH, kBoxW);
            for (int a = 0; a < across; ++a) {
                int brightest = 0, sum = 0;
                for (int b = 0; b < along; ++b) {
                    const uint32_t p = box[vertical ? static_cast<size_t>(a) * kBoxW + b : static_cast<size_t>(b) * kBoxW + a];
                    ASSERT_EQ(p & 0xFF, (p >> 8) & 0xFF);   // grey stays grey
                    brightest = std::max(brightest, static_cast<int>(p & 0xFF));
                    sum += static_cast<int>(p & 0xFF);
                }
                ASSERT_GE(brightest, 75) << (vertical ? "column " : "row ") << at;
                ASSERT_NEAR(sum, share, 4.0) << (vertical ? "column " : "row ") << at;
            }
        }
    }
}

// A ramp across and down the frame comes out, at any size (odd, shrunk more than twice, or
// grown), as the ramp's value at the centre of each destination pixel.
TEST(PictureShrink, RampsKeepTheirValueAtEveryDestinationPixel) {
    media::FrameScaler scaler;
    std::vector<uint32_t> frame(static_cast<size_t>(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            frame[static_cast<size_t>(y) * kW + x] = static_cast<uint32_t>(x * 255 / (kW - 1)) |
                                                      static_cast<uint32_t>(y * 255 / (kH - 1)) << 8;
    const int sizes[][2] = {{401, 301}, {160, 120}, {1000, 700}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        std::vector<uint32_t> out(static_cast<size_t>(w) * h);
        scaler.Scale(frame.data(), kW, kH, out.data(), w, h, w);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double cx = std::clamp((x + 0.5) * kW / w - 0.5, 0.0, kW - 1.0);
                const double cy = std::clamp((y + 0.5) * kH / h - 0.5, 0.0, kH - 1.0);
                const uint32_t p = out[static_cast<size_t>(y) * w + x];
                ASSERT_NEAR(p & 0xFF, cx * 255 / (kW - 1), 2.0) << w << " x " << h << " at " << x << ", " << y;
                ASSERT_NEAR((p >> 8) & 0xFF, cy * 255 / (kH - 1), 2.0) << w << " x " << h << " at " << x << ", " << y;
            }
    }
}

// The AVX2 and AVX-512 paths give the same pixels as the SSE2 and scalar ones, bit for bit, at
// the box's size and at sizes whose rows or columns leave a remainder after the blocks, into
// rows wider than the picture.
TEST(PictureShrink, TheWidePathsMatchTheNarrowOneBitForBit) {
    using V = media::FrameScaler::Vectors;
    media::FrameScaler narrow(V::Sse2);
    ASSERT_EQ(narrow.Uses(), V::Sse2);
    const int sizes[][4] = {{640, 480, 402, 302}, {640, 480, 401, 301}, {643, 479, 403, 300},
                            {17, 13, 9, 10},      {640, 480, 330, 250}, {100, 40, 63, 21}};
    int compared = 0;
    for (const V vectors : {V::Avx2, V::Avx512}) {
        media::FrameScaler wide(vectors);
        if (wide.Uses() != vectors) continue;   // not on this processor
        ++compared;
        uint32_t seed = 7;
        for (const auto& size : sizes) {
            const int sw = size[0], sh = size[1], dw = size[2], dh = size[3], stride = dw + 5;
            std::vector<uint32_t> frame(static_cast<size_t>(sw) * sh);
            for (uint32_t& p : frame) p = seed = seed * 1664525u + 1013904223u;
            // Runs of black and white as well, where the sums reach their extremes.
            for (size_t i = 0; i < frame.size() / 2; ++i) frame[i] = (i / 3) % 2 ? 0xFFFFFFFFu : 0u;
            std::vector<uint32_t> a(static_cast<size_t>(stride) * dh, 1u), b(a);
            wide.Scale(frame.data(), sw, sh, a.data(), dw, dh, stride);
            narrow.Scale(frame.data(), sw, sh, b.data(), dw, dh, stride);
            for (size_t i = 0; i < a.size(); ++i)
                ASSERT_EQ(a[i], b[i]) << (vectors == V::Avx2 ? "AVX2 " : "AVX-512 ") << sw << " x " << sh << " to "
                                      << dw << " x " << dh << " at " << i % stride << ", " << i / stride;
        }
    }
    if (compared == 0) GTEST_SKIP() << "neither AVX2 nor AVX-512 on this processor";
}

TEST(PictureShrink, AFrameOfTheBoxSizeIsCopiedUnchangedAndOpaque) {
    media::FrameScaler scaler;
    std::vector<uint32_t> frame(static_cast<size_t>(kBoxW) * kBoxH), box(frame.size());
    uint32_t seed = 12345;
    for (uint32_t& p : frame) p = seed = seed * 1664525u + 1013904223u;
    scaler.Scale(frame.data(), kBoxW, kBoxH, box.data(), kBoxW, kBoxH, kBoxW);
    for (size_t i = 0; i < frame.size(); ++i) ASSERT_EQ(box[i], frame[i] | 0xFF000000u) << i;
}

}  // namespace
