// What the device makes of a draw: lighting and vertex colours, the texture stage, sampling,
// blending, depth, culling and clipping, checked pixel by pixel on small back buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/present.h"
#include "platform/d3d8/testswitch.h"
#include "platform/runtime/errors.h"
#include "tests/render/d3d8_scene.h"

using namespace d3d8testing;

namespace {

constexpr int kW = 8, kH = 8;

class Pipeline : public ::testing::Test {
protected:
    void SetUp() override {
        d3d8test::Reset();
        dev = MakeDevice(kW, kH);
        SetCamera(*dev, 1.0f);
        dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, static_cast<int32_t>(0xFF0000FFu), 1.0f, 0);
        dev->BeginScene();
    }
    // A world quad covering the whole view at depth z (the camera sees x, y in -z..z).
    void FullQuad(float z, uint32_t color, int32_t fvf = kWorldFVF) {
        const float e = z * 1.5f;
        std::vector<WorldVertex> q = {{-e, e, z, color, 0, 0}, {e, e, z, color, 1, 0},
                                      {-e, -e, z, color, 0, 1}, {e, -e, z, color, 1, 1}};
        dev->SetVertexShader(fvf);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q.data(), 24);
    }
    // A pre-transformed rectangle with texture coordinates u0..u1, v0..v1 and depth z.
    void ScreenRect(float x0, float y0, float x1, float y1, uint32_t color, float z = 0.0f, float u0 = 0,
                    float u1 = 1, float v0 = 0, float v1 = 1) {
        std::vector<ScreenVertexTL> q = {{x1, y0, z, 1, color, 0, u1, v0}, {x0, y0, z, 1, color, 0, u0, v0},
                                         {x1, y1, z, 1, color, 0, u1, v1}, {x0, y1, z, 1, color, 0, u0, v1}};
        dev->SetVertexShader(kScreenFVF);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q.data(), 32);
    }
    // A world triangle over the whole view at depth z (behind the camera when z < 0).
    static std::vector<WorldVertex> Across(float z, uint32_t color) {
        return {{-20, 20, z, color, 0, 0}, {20, 20, z, color, 0, 0}, {0, -20, z, color, 0, 0}};
    }
    // The triangle of each buffer, one draw call each, as the world is drawn.
    void DrawEach(const std::vector<Direct3DVertexBuffer8Ptr>& vbs) {
        for (const auto& vb : vbs) {
            dev->SetStreamSource(0, vb, 24);
            dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
        }
    }
    uint32_t At(int x, int y) { return Pixel(dev->GetBackBufferPixels(), kW, x, y); }
    Direct3DDevice8Ptr dev;
};

TEST_F(Pipeline, LitColourIsEmissivePlusAmbientTimesMaterialWithDiffuseAlpha) {
    dev->SetRenderState(D3DRS_AMBIENT, 0x00808080);
    D3DMATERIAL8 m{};
    m.ambient = {1.0f, 0.5f, 0.0f, 1.0f};
    m.emissive = {0.25f, 0.0f, 0.0f, 0.0f};
    dev->SetMaterial(m);
    FullQuad(2.0f, 0x00123456);
    // r = 0.25 + 128/255, g = 128/255 x 0.5, b = 0; the vertex colour itself adds nothing.
    EXPECT_EQ(At(4, 4), 0xFFC04000u);
    // Emissive and ambient together saturate.
    m.emissive = {1.0f, 1.0f, 1.0f, 0.0f};
    dev->SetMaterial(m);
    FullQuad(1.5f, 0);
    EXPECT_EQ(At(1, 1), 0xFFFFFFFFu);
}

TEST_F(Pipeline, LitAlphaComesFromTheVertexColourOrElseTheMaterial) {
    dev->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    D3DMATERIAL8 m{};
    m.ambient = {1, 1, 1, 1};
    m.diffuse = {0, 0, 0, 0.5f};
    dev->SetMaterial(m);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    FullQuad(2.0f, 0x00FFFFFF);   // vertex alpha 0: the blue background stays
    EXPECT_EQ(At(3, 3), 0xFF0000FFu);
    FullQuad(1.9f, 0xFFFFFFFF);   // vertex alpha FF: white
    EXPECT_EQ(At(3, 3) & 0x00FFFFFFu, 0x00FFFFFFu);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, static_cast<int32_t>(0xFF000000u), 1.0f, 0);
    FullQuad(2.0f, 0, D3DFVF_XYZ | D3DFVF_TEX1);   // no vertex colour: the material's alpha 0.5
    // (The 20-byte format is read from the 24-byte records with their own stride.)
    EXPECT_EQ(At(3, 3) & 0x00FFFFFFu, 0x00808080u);
}

TEST_F(Pipeline, UnlitUsesTheVertexColourOrOpaqueWhite) {
    FullQuad(3.0f, 0x0000FF00);   // lit first: no ambient, no emissive -> black
    EXPECT_EQ(At(4, 4), 0xFF000000u);
    dev->SetRenderState(D3DRS_LIGHTING, 0);   // the next draw must see the change
    FullQuad(2.0f, 0x0000FF00);
    EXPECT_EQ(At(4, 4), 0xFF00FF00u);   // alpha from the (absent) texture: opaque
    FullQuad(1.5f, 0, D3DFVF_XYZ | D3DFVF_TEX1);
    EXPECT_EQ(At(4, 4), 0xFFFFFFFFu);
}

TEST_F(Pipeline, TextureIsModulatedByTheDiffuseColour) {
    dev->SetTexture(0, MakeTexture(2, 2, false, [](int, int) { return 0x00804020u; }));
    ScreenRect(0, 0, 8, 8, 0xFF808080u);
    // 0x80 x 0x80 / 255 = 0x40, 0x40 x 0x80 / 255 = 0x20, 0x20 x 0x80 / 255 = 0x10; no alpha in
    // the format reads as FF.
    EXPECT_EQ(At(2, 2), 0xFF402010u);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    ScreenRect(0, 0, 8, 8, 0xFF808080u);
    EXPECT_EQ(At(2, 2), 0xFF808080u);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    ScreenRect(0, 0, 8, 8, 0x11223344u);
    EXPECT_EQ(At(2, 2), 0x11223344u);
}

TEST_F(Pipeline, PointSamplingWrapsAndClamps) {
    // Texel i of a 4-wide texture holds i; u runs 0..2 across 8 pixels, so pixel x samples u = x / 4
    // and texel floor(4u) = x, wrapped to x mod 4.
    dev->SetRenderState(D3DRS_ZENABLE, 0);
    dev->SetTexture(0, MakeTexture(4, 1, false, [](int x, int) { return static_cast<uint32_t>(x); }));
    ScreenRect(0, 0, 8, 8, 0xFFFFFFFFu, 0, 0, 2, 0, 1);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(At(x, 3) & 0xFF, static_cast<uint32_t>(x % 4)) << x;
    dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    ScreenRect(0, 0, 8, 8, 0xFFFFFFFFu, 0, 0, 2, 0, 1);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(At(x, 3) & 0xFF, static_cast<uint32_t>(std::min(x, 3))) << x;
    dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR);
    ScreenRect(0, 0, 8, 8, 0xFFFFFFFFu, 0, 0, 2, 0, 1);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(At(x, 3) & 0xFF, static_cast<uint32_t>(x < 4 ? x : 7 - x)) << x;
    // A texture that is not a power of two wraps too.
    dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    dev->SetTexture(0, MakeTexture(3, 1, false, [](int x, int) { return static_cast<uint32_t>(x); }));
    // u runs from half a texel so that every pixel samples the middle of a texel.
    ScreenRect(0, 0, 8, 8, 0xFFFFFFFFu, 0, 1.0f / 6.0f, 1.0f / 6.0f + 8.0f / 3.0f, 0, 1);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(At(x, 3) & 0xFF, static_cast<uint32_t>(x % 3)) << x;
}

TEST_F(Pipeline, TextureCoordinatesArePerspectiveCorrect) {
    // From x = 0 (w 1, u 0) to x = 8 (w 3, u 1): at x = 3, 1/w = 0.75 and u/w = 0.125, so
    // u = 1/6 -> texel 1 of 8 (straight interpolation: 3); at x = 5, u = 0.357 -> texel 2 (not 5).
    dev->SetRenderState(D3DRS_ZENABLE, 0);
    dev->SetTexture(0, MakeTexture(8, 1, false, [](int x, int) { return static_cast<uint32_t>(x); }));
    const float r = 1.0f / 3.0f;
    std::vector<ScreenVertexTL> q = {{8, 0, 0, r, 0xFFFFFFFF, 0, 1, 0}, {0, 0, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                     {8, 8, 0, r, 0xFFFFFFFF, 0, 1, 1}, {0, 8, 0, 1, 0xFFFFFFFF, 0, 0, 1}};
    dev->SetVertexShader(kScreenFVF);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q.data(), 32);
    EXPECT_EQ(At(3, 4) & 0xFF, 1u);
    EXPECT_EQ(At(5, 4) & 0xFF, 2u);
    EXPECT_EQ(At(0, 4) & 0xFF, 0u);
}

TEST_F(Pipeline, AlphaBlendingMixesSourceOverDestination) {
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetTexture(0, MakeTexture(4, 4, true, [](int x, int) {
        return x < 2 ? 0x80FF0000u : (x == 2 ? 0x00FF0000u : 0xFFFF0000u);
    }));
    ScreenRect(0, 0, 8, 8, 0xFFFFFFFFu);
    // Over blue FF0000FF: red 255 x 128/255 = 128, blue 255 x 127/255 = 127, alpha 128 x 128/255 +
    // 255 x 127/255 = 191.
    EXPECT_EQ(At(1, 1), 0xBF80007Fu);
    EXPECT_EQ(At(5, 1), 0xFF0000FFu);   // alpha 0: untouched
    EXPECT_EQ(At(7, 1), 0xFFFF0000u);   // alpha FF: the texel
    // With blending off the texel is written as it is, alpha included.
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    ScreenRect(0, 0, 8, 8, 0xFFFFFFFFu);
    EXPECT_EQ(At(1, 1), 0x80FF0000u);
}

TEST_F(Pipeline, DepthTestIsLessOrEqualAndClearsToFar) {
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    FullQuad(3.0f, 0xFFFF0000);
    FullQuad(5.0f, 0xFF00FF00);   // behind: hidden
    EXPECT_EQ(At(4, 4), 0xFFFF0000u);
    FullQuad(3.0f, 0xFF00FF00);   // the same depth: drawn
    EXPECT_EQ(At(4, 4), 0xFF00FF00u);
    FullQuad(2.0f, 0xFFFFFFFF);   // nearer: drawn
    EXPECT_EQ(At(4, 4), 0xFFFFFFFFu);
    // Pre-transformed depth 0 wins against everything.
    ScreenRect(0, 0, 8, 8, 0xFF000000u, 0.0f);
    EXPECT_EQ(At(4, 4), 0xFF000000u);
    EXPECT_EQ(dev->GetDepthPixels()[4 * kW + 4], 0);
    dev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, static_cast<int32_t>(0xFF), 1.0f, 0);
    EXPECT_EQ(dev->GetDepthPixels()[4 * kW + 4], 0xFFFF);
    EXPECT_EQ(At(4, 4), 0xFF000000u);   // a depth-only clear leaves the colours
    // With the depth test off nothing is compared and nothing is written.
    dev->SetRenderState(D3DRS_ZENABLE, 0);
    FullQuad(50.0f, 0xFF123456);
    EXPECT_EQ(At(4, 4), 0xFF123456u);
    EXPECT_EQ(dev->GetDepthPixels()[4 * kW + 4], 0xFFFF);
}

TEST_F(Pipeline, CullingByScreenWinding) {
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    dev->SetRenderState(D3DRS_ZENABLE, 0);
    // On the screen (y down): (0,0) (8,0) (0,8) turns clockwise; reversed it turns counter-clockwise.
    std::vector<ScreenVertexTL> cw = {{0, 0, 0, 1, 0xFFFF0000, 0, 0, 0}, {8, 0, 0, 1, 0xFFFF0000, 0, 0, 0},
                                      {0, 8, 0, 1, 0xFFFF0000, 0, 0, 0}};
    std::vector<ScreenVertexTL> ccw = {cw[0], cw[2], cw[1]};
    for (auto& v : ccw) v.diffuse = 0xFF00FF00;
    dev->SetVertexShader(kScreenFVF);
    struct Case {
        int32_t mode;
        bool cwDrawn, ccwDrawn;
    } cases[] = {{D3DCULL_NONE, true, true}, {D3DCULL_CW, false, true}, {D3DCULL_CCW, true, false}};
    for (const Case& c : cases) {
        dev->SetRenderState(D3DRS_CULLMODE, c.mode);
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, cw.data(), 32);
        EXPECT_EQ(At(1, 1) == 0xFFFF0000u, c.cwDrawn) << c.mode;
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, ccw.data(), 32);
        EXPECT_EQ(At(1, 1) == 0xFF00FF00u, c.ccwDrawn) << c.mode;
    }
    // Transformed triangles cull by the same rule: a triangle of the world seen from the camera.
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    dev->SetVertexShader(kWorldFVF);
    // Left-top, right-top, left-bottom in view: clockwise on the screen.
    std::vector<WorldVertex> w = {{-3, 3, 2, 0xFFFF0000, 0, 0}, {3, 3, 2, 0xFFFF0000, 0, 0}, {-3, -3, 2, 0xFFFF0000, 0, 0}};
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, w.data(), 24);
    EXPECT_EQ(At(1, 1), 0u);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, w.data(), 24);
    EXPECT_EQ(At(1, 1), 0xFFFF0000u);
}

TEST_F(Pipeline, StripTrianglesKeepOneWinding) {
    // A strip's odd triangles are turned round so that a flat strip faces one way: with culling
    // of counter-clockwise triangles, a clockwise quad strip is drawn whole.
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    std::vector<ScreenVertexTL> s = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0, 0}, {8, 0, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                     {0, 8, 0, 1, 0xFFFFFFFF, 0, 0, 0}, {8, 8, 0, 1, 0xFFFFFFFF, 0, 0, 0}};
    dev->SetVertexShader(kScreenFVF);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, s.data(), 32);
    const auto px = dev->GetBackBufferPixels();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) EXPECT_EQ(Pixel(px, kW, x, y), 0xFFFFFFFFu) << x << "," << y;
}

TEST_F(Pipeline, NearPlaneCutsTrianglesAndWhatIsBehindTheEyeIsNotDrawn) {
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    // A floor-like triangle reaching from behind the eye to far ahead, below the eye.
    std::vector<WorldVertex> t = {{-50, -1, -10, 0xFFFF0000, 0, 0}, {50, -1, -10, 0xFFFF0000, 0, 0},
                                  {0, -1, 50, 0xFFFF0000, 0, 0}};
    dev->SetVertexShader(kWorldFVF);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, t.data(), 24);
    EXPECT_EQ(At(4, 7), 0xFFFF0000u);   // the floor below the horizon
    EXPECT_EQ(At(4, 1), 0xFF0000FFu);   // nothing above it
    std::vector<WorldVertex> behind = {{-5, -5, -2, 0xFF00FF00, 0, 0}, {5, -5, -2, 0xFF00FF00, 0, 0},
                                       {0, 5, -2, 0xFF00FF00, 0, 0}};
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, behind.data(), 24);
    const auto px = dev->GetBackBufferPixels();
    for (uint32_t p : px) EXPECT_NE(p, 0xFF00FF00u);
}

TEST_F(Pipeline, LineStripsAreOnePixelWideAndDepthTested) {
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    std::vector<ScreenVertexTL> l = {{1, 1, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0}, {6, 1, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0},
                                     {6, 6, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0}};
    dev->SetVertexShader(kScreenFVF);
    ScreenRect(4, 0, 8, 8, 0xFF00FF00u, 0.25f);   // nearer block over the right part
    dev->DrawPrimitiveUP(D3DPT_LINESTRIP, 2, l.data(), 32);
    const auto px = dev->GetBackBufferPixels();
    for (int x = 1; x <= 3; ++x) EXPECT_EQ(Pixel(px, kW, x, 1), 0xFFFFFFFFu) << x;
    EXPECT_EQ(Pixel(px, kW, 5, 1), 0xFF00FF00u);   // hidden by the nearer block
    EXPECT_EQ(Pixel(px, kW, 1, 0), 0u);
    EXPECT_EQ(Pixel(px, kW, 1, 2), 0u);
    EXPECT_EQ(Pixel(px, kW, 0, 1), 0u);
}

TEST_F(Pipeline, DrawingFromMemoryUnsetsTheStream) {
    std::vector<WorldVertex> tri(3, WorldVertex{0, 0, 1, 0, 0, 0});
    auto vb = MakeBuffer(*dev, tri, kWorldFVF);
    dev->SetVertexShader(kWorldFVF);
    dev->SetStreamSource(0, vb, 24);
    dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri.data(), 24);
    EXPECT_THROW(dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), rt::RuntimeError);
}

// One-triangle buffers made in a row share bounds, and draws from them are passed over while
// the bounds lie beyond the view: a buffer rewritten into the view (by SetData or through its
// bytes) and a camera turned towards them must still draw.
TEST_F(Pipeline, BuffersBeyondTheViewDoNotHideANeighbourMovedIntoIt) {
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    dev->SetVertexShader(kWorldFVF);
    const uint32_t yellow = 0xFFFFFF00u;
    std::vector<Direct3DVertexBuffer8Ptr> vbs;
    for (int i = 0; i < 200; ++i) vbs.push_back(MakeBuffer(*dev, Across(-5, yellow), kWorldFVF));
    DrawEach(vbs);
    EXPECT_EQ(At(4, 4), 0xFF0000FFu);   // all behind the camera
    const std::vector<WorldVertex> red = Across(2, 0xFFFF0000u);
    D3DVertexBuffer8SetData(vbs[20], 0, 72, 0, red.data());
    DrawEach(vbs);
    EXPECT_EQ(At(4, 4), 0xFFFF0000u);
    const std::vector<WorldVertex> green = Across(1.5f, 0xFF00FF00u);
    std::memcpy(vbs[150]->Data(), green.data(), 72);
    DrawEach(vbs);
    EXPECT_EQ(At(4, 4), 0xFF00FF00u);
    // Turned half a turn, the camera faces the others, nearer than the red and green ones were.
    D3DMATRIX turn;
    D3DXMatrixRotationY(turn, 3.14159265f);
    dev->SetTransform(D3DTS_VIEW, turn);
    vbs.erase(vbs.begin() + 20);
    vbs.erase(vbs.begin() + 149);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, static_cast<int32_t>(0xFF0000FFu), 1.0f, 0);
    DrawEach(vbs);
    EXPECT_EQ(At(4, 4), yellow);
}

TEST_F(Pipeline, ABufferReleasedWhileBoundStillDrawsWhatItHeld) {
    // The device keeps what it draws from: the caller may drop its reference after binding.
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    const float e = 3.0f;
    std::vector<WorldVertex> q = {{-e, e, 2, 0xFFFF0000u, 0, 0}, {e, e, 2, 0xFFFF0000u, 1, 0},
                                  {-e, -e, 2, 0xFFFF0000u, 0, 1}, {e, -e, 2, 0xFFFF0000u, 1, 1}};
    auto vb = MakeBuffer(*dev, q, kWorldFVF);
    dev->SetVertexShader(kWorldFVF);
    dev->SetStreamSource(0, vb, 24);
    vb.reset();
    dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    for (uint32_t p : dev->GetBackBufferPixels()) EXPECT_EQ(p, 0xFFFF0000u);
    // A second device bound to a buffer its first user has dropped draws it the same way.
    auto other = MakeDevice(kW, kH);
    SetCamera(*other, 1.0f);
    other->SetRenderState(D3DRS_LIGHTING, 0);
    other->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    auto shared = MakeBuffer(*dev, q, kWorldFVF);
    dev->SetStreamSource(0, shared, 24);
    other->SetVertexShader(kWorldFVF);
    other->SetStreamSource(0, shared, 24);
    shared.reset();
    other->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    other->BeginScene();
    other->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    other->EndScene();
    for (uint32_t p : other->GetBackBufferPixels()) EXPECT_EQ(p, 0xFFFF0000u);
}

// The copy a device keeps of a buffer released while bound is carved beside the newest
// buffers: a draw from it is not passed over by their bounds lying beyond the view, and
// dropping buffers of the same block that are not bound leaves the stream alone.
TEST_F(Pipeline, TheCopyOfAReleasedBufferDrawsAmongBuffersBeyondTheView) {
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    dev->SetVertexShader(kWorldFVF);
    auto visible = MakeBuffer(*dev, Across(2, 0xFFFF0000u), kWorldFVF);
    std::vector<Direct3DVertexBuffer8Ptr> far;
    for (int i = 0; i < 200; ++i) far.push_back(MakeBuffer(*dev, Across(-5, 0xFFFFFF00u), kWorldFVF));
    DrawEach(far);
    EXPECT_EQ(At(4, 4), 0xFF0000FFu);
    dev->SetStreamSource(0, visible, 24);
    visible.reset();
    far.pop_back();
    dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    EXPECT_EQ(At(4, 4), 0xFFFF0000u);
}

// The text of the error `f` raises ("" when it raises none).
template <class F>
std::string RaisedText(F f) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e.Text();
    }
    return {};
}

TEST_F(Pipeline, BrokenInputIsDroppedOrRefusedNotDrawnWild) {
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const uint32_t red = 0xFFFF0000u;
    // Triangles across the view with a coordinate that is no number (or infinite), drawn from
    // memory and from a buffer (the one-triangle way), and pre-transformed: each is dropped, and
    // every pixel and depth stays as the clear left it.
    const std::vector<std::vector<WorldVertex>> world = {
        {{nan, 0, 2, red, 0, 0}, {1, 0, 2, red, 0, 0}, {0, inf, 2, red, 0, 0}},
        {{-3, 3, 2, red, 0, 0}, {3, 3, nan, red, 0, 0}, {0, -3, 2, red, 0, 0}},
        {{-3, 3, 2, red, 0, 0}, {3, 3, 2, red, 0, 0}, {0, -3, 2, red, nan, 0}},
    };
    dev->SetVertexShader(kWorldFVF);
    std::vector<Direct3DVertexBuffer8Ptr> buffers;
    for (const std::vector<WorldVertex>& t : world) {
        dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, t.data(), 24);
        buffers.push_back(MakeBuffer(*dev, t, kWorldFVF));
        dev->SetStreamSource(0, buffers.back(), 24);
        dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    }
    const std::vector<ScreenVertexTL> screen = {{8, 0, 0, 1, red, 0, 0, 0}, {nan, 0, 0, 1, red, 0, 0, 0},
                                                {8, 8, 0, 1, red, 0, 0, 0}};
    dev->SetVertexShader(kScreenFVF);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, screen.data(), 32);
    const std::vector<uint32_t> colors = dev->GetBackBufferPixels();
    const std::vector<uint16_t> depths = dev->GetDepthPixels();
    EXPECT_EQ(std::count(colors.begin(), colors.end(), 0xFF0000FFu), kW * kH);
    EXPECT_EQ(std::count(depths.begin(), depths.end(), 0xFFFF), kW * kH);

    // Enormous pre-transformed coordinates are cut to the screen and still fill it.
    ScreenRect(-1e9f, -1e9f, 1e9f, 1e9f, 0xFF00FF00u);
    for (uint32_t p : dev->GetBackBufferPixels()) EXPECT_EQ(p, 0xFF00FF00u);

    // A texture whose pixels are missing, or that has no level, is refused; the error names the
    // draw call that met it.
    auto noPixels = std::make_shared<Direct3DTexture8>();
    noPixels->Levels.push_back({4, 4, {}});
    const std::vector<WorldVertex> whole = {{-3, 3, 2, red, 0, 0}, {3, 3, 2, red, 1, 0}, {0, -3, 2, red, 0, 1}};
    auto vb = MakeBuffer(*dev, whole, kWorldFVF);
    auto ib = dev->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED);
    const uint16_t indices[3] = {0, 1, 2};
    ASSERT_EQ(D3DIndexBuffer8SetData(ib, 0, 6, 0, indices), D3D_OK);
    for (const Direct3DTexture8Ptr& broken : {noPixels, std::make_shared<Direct3DTexture8>()}) {
        dev->SetTexture(0, broken);
        const std::string up = RaisedText([&] { ScreenRect(0, 0, 8, 8, 0xFFFFFFFFu); });
        EXPECT_EQ(up.rfind("Direct3DDevice8.DrawPrimitiveUP failed: D3DERR_INVALIDCALL (texture without", 0), 0u) << up;
        dev->SetVertexShader(kWorldFVF);
        dev->SetStreamSource(0, vb, 24);
        const std::string one = RaisedText([&] { dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1); });
        EXPECT_EQ(one.rfind("Direct3DDevice8.DrawPrimitive failed: D3DERR_INVALIDCALL (texture without", 0), 0u) << one;
        dev->SetIndices(ib, 0);
        const std::string indexed = RaisedText([&] { dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1); });
        EXPECT_EQ(indexed.rfind("Direct3DDevice8.DrawIndexedPrimitive failed: D3DERR_INVALIDCALL (texture without", 0),
                  0u)
            << indexed;
    }
}

}  // namespace

namespace {

// On a two-sample device the back buffer handed out for writing (as text drawing does) is the
// resolved picture: what is written there is presented, and goes into both samples, so drawing
// more neither loses it nor halves it.
TEST(TwoSamples, WhatIsWrittenThroughTheBackBufferIsPresentedAndKept) {
    d3d8test::Reset();
    d3d8::SetPresentHandler(nullptr);
    Direct3DDevice8Ptr dev = MakeDevice(kW, kH, true, D3DMULTISAMPLE_2_SAMPLES);
    dev->SetRenderState(D3DRS_LIGHTING, 0);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    dev->SetVertexShader(kScreenFVF);
    auto rect = [&](float x0, float y0, float x1, float y1, uint32_t color) {
        ScreenVertexTL q[4] = {{x1, y0, 0, 1, color, 0, 0, 0}, {x0, y0, 0, 1, color, 0, 0, 0},
                               {x1, y1, 0, 1, color, 0, 0, 0}, {x0, y1, 0, 1, color, 0, 0, 0}};
        dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, 32);
    };
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, static_cast<int32_t>(0xFF0000FFu), 1.0f, 0);
    dev->BeginScene();
    rect(-0.5f, -0.5f, 3.5f, 7.5f, 0xFF00FF00u);
    dev->BackBufferData()[1 * kW + 6] = 0xFFFFFFFFu;
    dev->EndScene();
    dev->Present(nullptr, nullptr, 0, nullptr);
    const std::vector<uint32_t>& shown = d3d8::LastPresentedFrame().pixels;
    ASSERT_EQ(shown.size(), static_cast<size_t>(kW * kH));
    EXPECT_EQ(Pixel(shown, kW, 6, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(shown, kW, 1, 1), 0xFF00FF00u);
    EXPECT_EQ(Pixel(shown, kW, 5, 5), 0xFF0000FFu);

    dev->BeginScene();
    rect(3.5f, 3.5f, 7.5f, 7.5f, 0xFFFF0000u);
    dev->EndScene();
    dev->Present(nullptr, nullptr, 0, nullptr);
    EXPECT_EQ(Pixel(shown, kW, 6, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(shown, kW, 1, 1), 0xFF00FF00u);
    EXPECT_EQ(Pixel(shown, kW, 5, 5), 0xFFFF0000u);
}

}  // namespace
