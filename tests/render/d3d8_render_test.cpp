// Small scenes drawn by the software device and compared with reference images: texturing with
// wrap and point sampling, culling, the depth test, blending a colour-keyed texture, a
// pre-transformed overlay, a line strip, and a triangle cut by the near plane.
// QV_UPDATE_REFS=1 in the environment rewrites the references instead of comparing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// The image reader and writer, private to this test.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include "platform/d3d8/raster_span.h"
#include "platform/d3d8/testswitch.h"
#include "tests/render/d3d8_scene.h"

using namespace d3d8testing;
using d3d8detail::AvailableSpanPaths;
using d3d8detail::SpanPath;
using d3d8detail::SpanPathName;

namespace {

constexpr int kW = 96, kH = 72;

std::string RefPath(const std::string& name) { return std::string(QV_SOURCE_DIR) + "/tests/render/ref/d3d8_" + name + ".png"; }

// Compares the frame with its reference (RGB only): at most 1% of the pixels may differ by more
// than 24 in a channel, and the mean difference must stay under 1.
void CheckAgainstReference(const std::string& name, const std::vector<uint32_t>& argb) {
    std::vector<unsigned char> rgb(static_cast<size_t>(kW) * kH * 3);
    for (size_t i = 0; i < argb.size(); ++i) {
        rgb[i * 3 + 0] = static_cast<unsigned char>(argb[i] >> 16);
        rgb[i * 3 + 1] = static_cast<unsigned char>(argb[i] >> 8);
        rgb[i * 3 + 2] = static_cast<unsigned char>(argb[i]);
    }
    const std::string path = RefPath(name);
    const char* update = std::getenv("QV_UPDATE_REFS");
    if (update && std::string(update) == "1") {
        ASSERT_NE(stbi_write_png(path.c_str(), kW, kH, 3, rgb.data(), kW * 3), 0) << path;
        return;
    }
    int w = 0, h = 0, n = 0;
    unsigned char* ref = stbi_load(path.c_str(), &w, &h, &n, 3);
    ASSERT_NE(ref, nullptr) << "missing reference " << path << " (QV_UPDATE_REFS=1 makes it)";
    ASSERT_EQ(w, kW);
    ASSERT_EQ(h, kH);
    size_t bad = 0;
    double total = 0;
    for (size_t p = 0; p < static_cast<size_t>(kW) * kH; ++p) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(static_cast<int>(rgb[p * 3 + c]) - static_cast<int>(ref[p * 3 + c]));
            worst = std::max(worst, d);
            total += d;
        }
        bad += worst > 24;
    }
    stbi_image_free(ref);
    EXPECT_LE(bad, static_cast<size_t>(kW) * kH / 100) << name;
    EXPECT_LT(total / (kW * kH * 3.0), 1.0) << name;
}

// A device on the small buffer with the engine's start-up states, cleared, in a scene.
Direct3DDevice8Ptr StartScene(int32_t multiSample = D3DMULTISAMPLE_NONE) {
    Direct3DDevice8Ptr dev = MakeDevice(kW, kH, true, multiSample);
    SetCamera(*dev, static_cast<float>(kW) / kH, 1.2f);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    dev->SetRenderState(D3DRS_LIGHTING, 1);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    D3DMATERIAL8 m{};
    m.ambient = {1, 1, 1, 1};
    dev->SetMaterial(m);
    dev->SetVertexShader(kWorldFVF);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, static_cast<int32_t>(0xFF203040u), 1.0f, 0);
    dev->BeginScene();
    return dev;
}

void Draw(Direct3DDevice8& dev, int32_t type, int32_t count, const std::vector<WorldVertex>& v) {
    dev.SetVertexShader(kWorldFVF);
    dev.DrawPrimitiveUP(type, count, v.data(), 24);
}

const uint32_t kWhite = 0x00FFFFFF;   // the engine's vertex colour: white with alpha 0

void TexturedFloorAndWallWrapWithPointSampling(Direct3DDevice8& dev) {
    dev.SetTexture(0, Checker(8, 2, 0xFFE0E0E0u, 0xFF802020u));
    // Geometry is set a little off the centre line so that no pixel centre falls exactly on a
    // texel edge. Faces are wound counter-clockwise on the screen, which the engine's clockwise culling
    // keeps. A floor 1 below the eye, u and v repeating four times.
    Draw(dev, D3DPT_TRIANGLESTRIP, 2, {{-3.87f, -1, 8, kWhite, 0, 4}, {-3.87f, -1, 1, kWhite, 0, 0},
                                  {4.13f, -1, 8, kWhite, 4, 4}, {4.13f, -1, 1, kWhite, 4, 0}});
    // A wall ahead with a texture whose quarters differ, shown twice across.
    dev.SetTexture(0, MakeTexture(4, 4, false, [](int x, int y) {
        return x < 2 ? (y < 2 ? 0xFF2060FFu : 0xFF20C040u) : (y < 2 ? 0xFFFFC020u : 0xFFFFFFFFu);
    }));
    Draw(dev, D3DPT_TRIANGLESTRIP, 2, {{-2.87f, 2, 8, kWhite, 0, 0}, {-2.87f, -1, 8, kWhite, 0, 1},
                                  {3.13f, 2, 8, kWhite, 2, 0}, {3.13f, -1, 8, kWhite, 2, 1}});
}

void CullingModes(Direct3DDevice8& dev) {
    dev.SetTexture(0, nullptr);
    dev.SetRenderState(D3DRS_LIGHTING, 0);
    dev.SetVertexShader(kScreenFVF);
    // Three columns (no culling, clockwise culled, counter-clockwise culled), each with a
    // clockwise red triangle above a counter-clockwise green one.
    const int32_t modes[3] = {D3DCULL_NONE, D3DCULL_CW, D3DCULL_CCW};
    for (int i = 0; i < 3; ++i) {
        const float x0 = 4.0f + 32.0f * i, x1 = x0 + 24.0f;
        dev.SetRenderState(D3DRS_CULLMODE, modes[i]);
        ScreenVertexTL cw[3] = {{x0, 4, 0.5f, 1, 0xFFFF4040u, 0, 0, 0}, {x1, 4, 0.5f, 1, 0xFFFF4040u, 0, 0, 0},
                                {x0, 30, 0.5f, 1, 0xFFFF4040u, 0, 0, 0}};
        ScreenVertexTL ccw[3] = {{x0, 40, 0.5f, 1, 0xFF40FF40u, 0, 0, 0}, {x0, 66, 0.5f, 1, 0xFF40FF40u, 0, 0, 0},
                                 {x1, 40, 0.5f, 1, 0xFF40FF40u, 0, 0, 0}};
        dev.DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, cw, 32);
        dev.DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, ccw, 32);
    }
}

void InterpenetratingTrianglesUnderTheDepthTest(Direct3DDevice8& dev) {
    dev.SetTexture(0, nullptr);
    dev.SetRenderState(D3DRS_LIGHTING, 0);
    dev.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // A red triangle leaning away to the right and a blue one leaning away to the left cross
    // in the middle: each hides the other on one side, with colours shaded across.
    Draw(dev, D3DPT_TRIANGLELIST, 1, {{-3, -2, 3, 0xFFFF0000u, 0, 0}, {3, -2, 9, 0xFFFFC000u, 0, 0},
                                 {0, 3, 6, 0xFFFF0000u, 0, 0}});
    Draw(dev, D3DPT_TRIANGLELIST, 1, {{-3, 2, 9, 0xFF0000FFu, 0, 0}, {3, 2, 3, 0xFF00C0FFu, 0, 0},
                                 {0, -3, 6, 0xFF0000FFu, 0, 0}});
}

void ColourKeyedTextureBlendedOverTheScene(Direct3DDevice8& dev) {
    // The scene: a checker wall.
    dev.SetTexture(0, Checker(8, 4, 0xFF3050A0u, 0xFFA0B0C0u));
    Draw(dev, D3DPT_TRIANGLESTRIP, 2, {{-3.87f, 3, 6, kWhite, 0, 0}, {-3.87f, -3, 6, kWhite, 0, 2},
                                  {4.13f, 3, 6, kWhite, 2, 0}, {4.13f, -3, 6, kWhite, 2, 2}});
    // A ring with a keyed-out (alpha 0) background and a half-transparent centre, nearer.
    dev.SetTexture(0, MakeTexture(16, 16, true, [](int x, int y) {
        const int dx = 2 * x - 15, dy = 2 * y - 15, r2 = dx * dx + dy * dy;
        if (r2 > 225) return 0x00000000u;          // keyed out
        if (r2 > 100) return 0xFFFFD000u;          // opaque ring
        return 0x80FF0000u;                        // half red centre
    }));
    Draw(dev, D3DPT_TRIANGLESTRIP, 2, {{-1.87f, 2, 4, kWhite, 0, 0}, {-1.87f, -2, 4, kWhite, 0, 1},
                                  {2.13f, 2, 4, kWhite, 1, 0}, {2.13f, -2, 4, kWhite, 1, 1}});
}

void PreTransformedOverlayOverTheWorld(Direct3DDevice8& dev) {
    dev.SetTexture(0, Checker(8, 2, 0xFF808080u, 0xFF404040u));
    Draw(dev, D3DPT_TRIANGLESTRIP, 2, {{-5.87f, 4, 3, kWhite, 0, 0}, {-5.87f, -4, 3, kWhite, 0, 3},
                                  {6.13f, 4, 3, kWhite, 3, 0}, {6.13f, -4, 3, kWhite, 3, 3}});
    // The engine's overlay layout: top-right, top-left, bottom-right, bottom-left, colour
    // 0x00FFFFFF, depth 0, in the lower-right corner; an upright arrow with keyed-out corners.
    dev.SetTexture(0, MakeTexture(16, 16, true, [](int x, int y) {
        const bool arrow = (y < 8 && std::abs(x - 8) <= y) || (y >= 8 && x >= 6 && x <= 9);
        return arrow ? 0xFFFFFF00u : 0x00FF00FFu;
    }));
    const float x = 56, y = 32, w = 40, h = 40;
    ScreenVertexTL ov[4] = {{x + w, y, 0, 1, kWhite, 0, 1, 0}, {x, y, 0, 1, kWhite, 0, 0, 0},
                            {x + w, y + h, 0, 1, kWhite, 0, 1, 1}, {x, y + h, 0, 1, kWhite, 0, 0, 1}};
    dev.SetVertexShader(kScreenFVF);
    dev.DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, ov, 32);
}

void LineStripInPerspectiveBehindAWall(Direct3DDevice8& dev) {
    dev.SetTexture(0, nullptr);
    dev.SetRenderState(D3DRS_LIGHTING, 0);
    // A wall block in the middle distance hides part of a zigzag line strip that runs from
    // near to far.
    Draw(dev, D3DPT_TRIANGLESTRIP, 2, {{-1, 1.5f, 5, 0xFF606060u, 0, 0}, {-1, -1.5f, 5, 0xFF606060u, 0, 0},
                                  {1, 1.5f, 5, 0xFF606060u, 0, 0}, {1, -1.5f, 5, 0xFF606060u, 0, 0}});
    std::vector<WorldVertex> strip;
    for (int i = 0; i <= 8; ++i)
        strip.push_back({-3.0f + 0.75f * i, (i % 2) ? 1.0f : -1.0f, 2.0f + 0.8f * i, 0xFFFFFF00u - 0x1C0000u * i, 0, 0});
    Draw(dev, D3DPT_LINESTRIP, 8, strip);
}

void TriangleCutByTheNearPlane(Direct3DDevice8& dev) {
    dev.SetTexture(0, Checker(8, 2, 0xFFFFFFFFu, 0xFF3060C0u));
    // A floor triangle whose near corners lie behind the eye: only the part beyond the near
    // plane (z = 1) is drawn, with its texture still in perspective.
    Draw(dev, D3DPT_TRIANGLELIST, 1, {{-5.87f, -1, -4, kWhite, 0, 0}, {6.13f, -1, -4, kWhite, 8, 0}, {0.13f, -1, 12, kWhite, 4, 8}});
}

struct Scene {
    const char* reference;
    void (*draw)(Direct3DDevice8&);
};

const Scene kScenes[] = {
    {"textured", TexturedFloorAndWallWrapWithPointSampling},
    {"culling", CullingModes},
    {"depth", InterpenetratingTrianglesUnderTheDepthTest},
    {"colourkey", ColourKeyedTextureBlendedOverTheScene},
    {"overlay", PreTransformedOverlayOverTheWorld},
    {"linestrip", LineStripInPerspectiveBehindAWall},
    {"nearplane", TriangleCutByTheNearPlane},
};

// Draws the scene on a fresh device; returns its back buffer, and its depth buffer in `depth`.
// A two-sample device draws with its anti-aliasing state set to `antiAlias`.
std::vector<uint32_t> DrawScene(const Scene& scene, std::vector<uint16_t>* depth = nullptr,
                                int32_t multiSample = D3DMULTISAMPLE_NONE, int32_t antiAlias = 1) {
    Direct3DDevice8Ptr dev = StartScene(multiSample);
    dev->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, antiAlias);
    scene.draw(*dev);
    dev->EndScene();
    if (depth) *depth = dev->GetDepthPixels();
    return dev->GetBackBufferPixels();
}

class Render : public ::testing::TestWithParam<Scene> {
protected:
    void SetUp() override { d3d8test::Reset(); }
};

TEST_P(Render, MatchesItsReference) { CheckAgainstReference(GetParam().reference, DrawScene(GetParam())); }

INSTANTIATE_TEST_SUITE_P(Scenes, Render, ::testing::ValuesIn(kScenes),
                         [](const ::testing::TestParamInfo<Scene>& info) { return std::string(info.param.reference); });

// Every span path this processor has draws every scene exactly as the scalar path does, colour
// and depth alike.
TEST(SpanPaths, EveryPathDrawsTheScenesAsTheScalarPathDoes) {
    d3d8test::Reset();
    const std::vector<SpanPath> paths = AvailableSpanPaths();
    ASSERT_EQ(paths.front(), SpanPath::Scalar);
    for (const Scene& scene : kScenes) {
        d3d8test::ForceSpanPath(SpanPath::Scalar);
        std::vector<uint16_t> wantDepth;
        const std::vector<uint32_t> want = DrawScene(scene, &wantDepth);
        for (SpanPath path : paths) {
            d3d8test::ForceSpanPath(path);
            std::vector<uint16_t> depth;
            const std::vector<uint32_t> got = DrawScene(scene, &depth);
            size_t differ = 0;
            for (size_t i = 0; i < got.size(); ++i) differ += got[i] != want[i] || depth[i] != wantDepth[i];
            EXPECT_EQ(differ, 0u) << scene.reference << " on the " << SpanPathName(path) << " path";
        }
    }
}

// Two flat triangles with slanted edges, one through the other under the depth test.
void SlantedTriangles(Direct3DDevice8& dev) {
    dev.SetTexture(0, nullptr);
    dev.SetRenderState(D3DRS_LIGHTING, 0);
    dev.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Draw(dev, D3DPT_TRIANGLELIST, 1, {{-3.1f, -2.2f, 5, 0xFFE03020u, 0, 0}, {2.9f, -1.1f, 5, 0xFFE03020u, 0, 0},
                                      {-0.7f, 2.6f, 5, 0xFFE03020u, 0, 0}});
    Draw(dev, D3DPT_TRIANGLELIST, 1, {{-1.3f, 1.9f, 3, 0xFF20D060u, 0, 0}, {3.3f, 2.4f, 7, 0xFF20D060u, 0, 0},
                                      {0.6f, -2.7f, 5, 0xFF20D060u, 0, 0}});
}

// Two samples per pixel: the edges of flat triangles blend with what lies behind them (every
// edge pixel the rounded average of two of the three colours the one-sample picture has), the
// inside stays as one sample draws it, and with anti-aliasing off the picture is the
// one-sample picture exactly, for every scene.
TEST(TwoSamples, SmoothTriangleEdgesAndDrawAsOneSampleWhenOff) {
    d3d8test::Reset();
    const Scene slanted{"multisample", SlantedTriangles};
    const std::vector<uint32_t> one = DrawScene(slanted);
    const std::vector<uint32_t> two = DrawScene(slanted, nullptr, D3DMULTISAMPLE_2_SAMPLES);
    CheckAgainstReference("multisample", two);
    const uint32_t colours[3] = {0xFF203040u, 0xFFE03020u, 0xFF20D060u};
    auto average = [](uint32_t a, uint32_t b) { return (a | b) - (((a ^ b) >> 1) & 0x7F7F7F7Fu); };
    size_t blended = 0, same = 0, stray = 0;
    for (size_t i = 0; i < two.size(); ++i) {
        bool plain = false, mixed = false;
        ASSERT_TRUE(one[i] == colours[0] || one[i] == colours[1] || one[i] == colours[2]) << i;
        for (uint32_t a : colours) {
            plain = plain || two[i] == a;
            for (uint32_t b : colours) mixed = mixed || (a != b && two[i] == average(a, b));
        }
        same += two[i] == one[i];
        blended += mixed;
        stray += !plain && !mixed;
    }
    EXPECT_EQ(stray, 0u);
    EXPECT_GT(blended, 60u);                     // the edges, about 110 pixels long
    EXPECT_GT(same, two.size() - 2 * blended);   // the rest as one sample draws it
    for (const Scene& scene : kScenes) {
        std::vector<uint16_t> depth, wantDepth;
        const std::vector<uint32_t> want = DrawScene(scene, &wantDepth);
        EXPECT_EQ(DrawScene(scene, &depth, D3DMULTISAMPLE_2_SAMPLES, 0), want) << scene.reference;
        EXPECT_EQ(depth, wantDepth) << scene.reference;
    }
}

}  // namespace
