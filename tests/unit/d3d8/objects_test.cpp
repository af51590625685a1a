// The root objects, device creation, states, scenes, buffers, present, and the test switches.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/present.h"
#include "platform/d3d8/raster.h"
#include "platform/d3d8/reset.h"
#include "platform/d3d8/testswitch.h"
#include "platform/runtime/errors.h"
#include "tests/render/d3d8_scene.h"

using namespace d3d8testing;

namespace {

// What a static of another layer holds, as the engine's state holds its device: this file's
// statics are made before the platform's (test files are linked before the libraries), so at
// exit they are destroyed after them. The buffer, bound to the device, goes first.
struct HeldByAStatic {
    Direct3DDevice8Ptr device;
    Direct3DVertexBuffer8Ptr buffer;
} g_heldByAStatic;

class D3D8 : public ::testing::Test {
protected:
    void SetUp() override { d3d8test::Reset(); }
    void TearDown() override {
        d3d8test::Reset();
        d3d8::SetPresentHandler(nullptr);
    }
    Direct3D8Ptr d3d = DirectX8().Direct3DCreate();
};

// The error number a call raises (0 when it raises none).
template <class F>
int RaisedNumber(F f) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST_F(D3D8, AdapterReportsTheDesktopModeAndAnswersChecksWithCodes) {
    D3DDISPLAYMODE mode{};
    d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, mode);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    EXPECT_GT(mode.Width, 0);
    SetDesktopDisplayMode({1920, 1080, 60, D3DFMT_X8R8G8B8});
    d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, mode);
    EXPECT_EQ(mode.Width, 1920);
    EXPECT_EQ(RaisedNumber([&] { d3d->GetAdapterDisplayMode(1, mode); }), D3DERR_INVALIDCALL);

    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, 1), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, 999, 999, 1), D3DERR_NOTAVAILABLE);
    // One or two samples per pixel, windowed and full screen, for the formats a start asks
    // about; other sample counts and unknown formats are reported, without raising.
    for (int32_t format : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8})
        for (int32_t windowed : {0, 1})
            for (int32_t samples : {D3DMULTISAMPLE_NONE, D3DMULTISAMPLE_2_SAMPLES})
                EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, format, windowed, samples), D3D_OK)
                    << format << " " << windowed << " " << samples;
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, 4), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, 999, 1, D3DMULTISAMPLE_2_SAMPLES), D3DERR_NOTAVAILABLE);
}

TEST_F(D3D8, CreateDeviceMakesTheRequestedBuffersForHalAndRef) {
    for (int32_t type : {D3DDEVTYPE_HAL, D3DDEVTYPE_REF}) {
        D3DPRESENT_PARAMETERS pp = PresentParameters(64, 48);
        pp.hDeviceWindow = 0;   // the focus window is then the device window
        Direct3DDevice8Ptr dev = d3d->CreateDevice(0, type, 42, D3DCREATE_SOFTWARE_VERTEXPROCESSING, pp);
        ASSERT_TRUE(dev);
        EXPECT_EQ(dev->BackBufferWidth(), 64);
        EXPECT_EQ(dev->BackBufferHeight(), 48);
        EXPECT_EQ(dev->GetDepthPixels().size(), 64u * 48u);
        int32_t gotType = 0, gotWindow = 0;
        dev->GetCreationParameters(gotType, gotWindow);
        EXPECT_EQ(gotType, type);
        EXPECT_EQ(gotWindow, 42);
        D3DVIEWPORT8 vp{};
        dev->GetViewport(vp);
        EXPECT_EQ(vp.Width, 64);
        EXPECT_EQ(vp.Height, 48);
        EXPECT_EQ(vp.MaxZ, 1.0f);
    }
    D3DPRESENT_PARAMETERS noDepth = PresentParameters(8, 8, false);
    Direct3DDevice8Ptr dev = d3d->CreateDevice(0, D3DDEVTYPE_HAL, 7, D3DCREATE_SOFTWARE_VERTEXPROCESSING, noDepth);
    EXPECT_TRUE(dev->GetDepthPixels().empty());
    EXPECT_EQ(dev->GetRenderState(D3DRS_ZENABLE), D3DZB_FALSE);
}

TEST_F(D3D8, CreateDeviceRejectsWhatItCannotMake) {
    auto create = [&](D3DPRESENT_PARAMETERS pp, int32_t window = 7, int32_t flags = D3DCREATE_SOFTWARE_VERTEXPROCESSING) {
        return RaisedNumber([&] { d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, flags, pp); });
    };
    D3DPRESENT_PARAMETERS pp = PresentParameters(64, 48);
    pp.MultiSampleType = 4;   // two samples at the most
    EXPECT_EQ(create(pp), D3DERR_INVALIDCALL);
    pp = PresentParameters(0, 48);
    EXPECT_EQ(create(pp), D3DERR_INVALIDCALL);
    pp = PresentParameters(64, 48);
    pp.hDeviceWindow = 0;
    EXPECT_EQ(create(pp, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(create(PresentParameters(64, 48), 7, 0), D3DERR_INVALIDCALL);
    pp = PresentParameters(64, 48);
    pp.AutoDepthStencilFormat = 75;
    EXPECT_EQ(create(pp), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] {
                  D3DPRESENT_PARAMETERS ok = PresentParameters(8, 8);
                  d3d->CreateDevice(0, 5, 7, D3DCREATE_SOFTWARE_VERTEXPROCESSING, ok);
              }),
              D3DERR_INVALIDCALL);

    // A QV_SPAN_PATH that names no span path is refused at each creation; a path forced for
    // tests comes first, until the layer is reset.
    struct SpanPathVariable {
        std::optional<std::string> was;
        SpanPathVariable() {
            if (const char* v = std::getenv("QV_SPAN_PATH")) was = v;
            setenv("QV_SPAN_PATH", "widest", 1);
        }
        ~SpanPathVariable() { was ? setenv("QV_SPAN_PATH", was->c_str(), 1) : unsetenv("QV_SPAN_PATH"); }
    } variable;
    EXPECT_EQ(create(PresentParameters(8, 8)), D3DERR_NOTAVAILABLE);
    d3d8test::ForceSpanPath(d3d8detail::SpanPath::Scalar);
    EXPECT_EQ(create(PresentParameters(8, 8)), 0);
    d3d8::ResetForTests();
    EXPECT_EQ(create(PresentParameters(8, 8)), D3DERR_NOTAVAILABLE);
}

TEST_F(D3D8, DeviceStartsWithThePlatformDefaults) {
    Direct3DDevice8Ptr dev = MakeDevice(16, 16);
    EXPECT_EQ(dev->GetRenderState(D3DRS_CULLMODE), D3DCULL_CCW);
    EXPECT_EQ(dev->GetRenderState(D3DRS_LIGHTING), 1);
    EXPECT_EQ(dev->GetRenderState(D3DRS_ZENABLE), D3DZB_TRUE);
    EXPECT_EQ(dev->GetRenderState(D3DRS_ZFUNC), D3DCMP_LESSEQUAL);
    EXPECT_EQ(dev->GetRenderState(D3DRS_ALPHABLENDENABLE), 0);
    EXPECT_EQ(dev->GetRenderState(D3DRS_AMBIENT), 0);
    EXPECT_EQ(dev->GetTextureStageState(0, D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(dev->GetTextureStageState(0, D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
    EXPECT_EQ(dev->GetTextureStageState(0, D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
    EXPECT_EQ(dev->GetTextureStageState(1, D3DTSS_COLOROP), D3DTOP_DISABLE);
    EXPECT_EQ(dev->GetTexture(0), nullptr);
    dev->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    EXPECT_EQ(dev->GetRenderState(D3DRS_AMBIENT), 0x00FFFFFF);
    EXPECT_EQ(RaisedNumber([&] { dev->SetRenderState(0, 1); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->SetRenderState(100000, 1); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->SetTextureStageState(8, D3DTSS_COLOROP, 1); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->SetTransform(7, D3DMATRIX{}); }), D3DERR_INVALIDCALL);
    // Formats: the world, overlay and mesh layouts are accepted; one without position is not.
    for (int32_t fvf : {0x142, 0x1C4, 0x112, 0x152}) EXPECT_EQ(RaisedNumber([&] { dev->SetVertexShader(fvf); }), 0);
    EXPECT_EQ(dev->GetVertexShader(), 0x152);
    EXPECT_EQ(RaisedNumber([&] { dev->SetVertexShader(D3DFVF_DIFFUSE); }), D3DERR_INVALIDCALL);
}

TEST_F(D3D8, ScenesDoNotNestAndDrawsNeedOne) {
    Direct3DDevice8Ptr dev = MakeDevice(16, 16);
    dev->SetVertexShader(kWorldFVF);
    std::vector<WorldVertex> tri = {{0, 0, 1, 0, 0, 0}, {1, 0, 1, 0, 0, 0}, {0, 1, 1, 0, 0, 0}};
    auto vb = MakeBuffer(*dev, tri, kWorldFVF);
    dev->SetStreamSource(0, vb, 24);
    EXPECT_EQ(RaisedNumber([&] { dev->EndScene(); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri.data(), 24); }), D3DERR_INVALIDCALL);
    EXPECT_FALSE(dev->InScene());
    dev->BeginScene();
    EXPECT_TRUE(dev->InScene());
    EXPECT_EQ(RaisedNumber([&] { dev->BeginScene(); }), D3DERR_INVALIDCALL);
    EXPECT_TRUE(dev->InScene());   // the failed BeginScene leaves the scene open
    EXPECT_EQ(RaisedNumber([&] { dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1); }), 0);
    dev->EndScene();
    EXPECT_FALSE(dev->InScene());
}

TEST_F(D3D8, DrawsThatReachPastTheirBuffersFail) {
    Direct3DDevice8Ptr dev = MakeDevice(16, 16);
    dev->SetVertexShader(kWorldFVF);
    std::vector<WorldVertex> tri(3, WorldVertex{0, 0, 1, 0, 0, 0});
    auto vb = MakeBuffer(*dev, tri, kWorldFVF);
    dev->BeginScene();
    EXPECT_EQ(RaisedNumber([&] { dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 1); }), D3DERR_INVALIDCALL);  // no stream
    dev->SetStreamSource(0, vb, 24);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 1); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawPrimitive(9, 0, 1); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 1); }), 0);
    dev->SetStreamSource(0, vb, 16);   // stride shorter than a vertex
    EXPECT_EQ(RaisedNumber([&] { dev->DrawPrimitive(D3DPT_POINTLIST, 0, 1); }), D3DERR_INVALIDCALL);

    // Indexed: an index outside the stated vertex range, or indices past the buffer, fail.
    dev->SetStreamSource(0, vb, 24);
    auto ib = dev->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED);
    const uint16_t bad[3] = {0, 1, 7};
    ASSERT_EQ(D3DIndexBuffer8SetData(ib, 0, 6, 0, bad), D3D_OK);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1); }), D3DERR_INVALIDCALL);
    dev->SetIndices(ib, 0);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1); }), D3DERR_INVALIDCALL);
    const uint16_t good[3] = {0, 1, 2};
    ASSERT_EQ(D3DIndexBuffer8SetData(ib, 0, 6, 0, good), D3D_OK);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1); }), 0);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 1, 1); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1); }), D3DERR_INVALIDCALL);
    dev->EndScene();
}

// Buffers share the record of their usage and format with the others of the same kind: made
// interleaved, small and large, each still answers with its own.
TEST_F(D3D8, EachVertexBufferKeepsItsOwnLengthUsageFormatAndPool) {
    Direct3DDevice8Ptr dev = MakeDevice(8, 8);
    struct Made {
        int32_t length, usage, fvf, pool;
        Direct3DVertexBuffer8Ptr vb;
    };
    std::vector<Made> made;
    for (int i = 0; i < 12; ++i) {
        const int32_t length = i % 3 == 2 ? 8192 + 24 * i : 24 * (i + 1);
        const int32_t usage = i % 2 ? 8 : 0, fvf = i % 4 < 2 ? kWorldFVF : 0x112, pool = i % 3;
        made.push_back({length, usage, fvf, pool, dev->CreateVertexBuffer(length, usage, fvf, pool)});
    }
    for (const Made& m : made) {
        EXPECT_EQ(m.vb->Length(), m.length);
        EXPECT_EQ(m.vb->Usage(), m.usage);
        EXPECT_EQ(m.vb->FVF(), m.fvf);
        EXPECT_EQ(m.vb->Pool(), m.pool);
        EXPECT_EQ(m.vb->Data()[m.length - 1], 0);
    }
}

// A program that ends by exit() (Xlib does when the X server goes) destroys its statics in
// an order no file decides: a device and its bound buffer destroyed after the platform's own
// statics still find the list of devices (under AddressSanitizer the old order was reported).
TEST_F(D3D8, ADeviceAndBufferDestroyedAtExitAfterThePlatformsStaticsGoQuietly) {
    EXPECT_EXIT(
        {
            g_heldByAStatic.device = MakeDevice(8, 8);
            g_heldByAStatic.buffer = MakeBuffer(*g_heldByAStatic.device, std::vector<WorldVertex>(3), kWorldFVF);
            g_heldByAStatic.device->SetStreamSource(0, g_heldByAStatic.buffer, sizeof(WorldVertex));
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(D3D8, BufferDataCopiesExactlyTheRangeAsked) {
    Direct3DDevice8Ptr dev = MakeDevice(8, 8);
    auto vb = dev->CreateVertexBuffer(72, 0, kWorldFVF, D3DPOOL_DEFAULT);
    EXPECT_EQ(vb->Length(), 72);
    EXPECT_EQ(vb->FVF(), kWorldFVF);
    float first[6] = {1, 2, 3, 0, 0.25f, 0.75f};
    const uint32_t color = 0x80FF0102u;
    std::memcpy(&first[3], &color, 4);
    EXPECT_EQ(D3DVertexBuffer8SetData(vb, 0, 24, 0, first), D3D_OK);
    float back[6];
    EXPECT_EQ(D3DVertexBuffer8GetData(vb, 0, 24, 0, back), D3D_OK);
    EXPECT_EQ(std::memcmp(first, back, 24), 0);
    EXPECT_EQ(D3DVertexBuffer8SetData(vb, 60, 24, 0, first), D3DERR_INVALIDCALL);   // past the end: nothing copied
    EXPECT_EQ(vb->Data()[60], 0);
    EXPECT_EQ(D3DVertexBuffer8SetData(vb, -1, 4, 0, first), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DVertexBuffer8SetData(nullptr, 0, 4, 0, first), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DVertexBuffer8SetData(vb, 0, 4, 0, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->CreateVertexBuffer(0, 0, kWorldFVF, D3DPOOL_DEFAULT); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->CreateVertexBuffer(12, 0, kWorldFVF, D3DPOOL_DEFAULT); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->CreateIndexBuffer(12, 0, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT); }), D3DERR_INVALIDCALL);
}

// Small buffers are carved from shared blocks in the order they are made: each must still start
// zeroed (also where released buffers lay before), keep its own bytes, and outlive the others.
TEST_F(D3D8, BuffersMadeInARowAreZeroedSeparateAndReusable) {
    Direct3DDevice8Ptr dev = MakeDevice(8, 8);
    for (int round = 0; round < 2; ++round) {
        std::vector<Direct3DVertexBuffer8Ptr> vbs;
        for (int i = 0; i < 30000; ++i) {   // more than one block's worth
            const int32_t length = i % 1000 == 999 ? 8000 : 72;   // now and then one too large to carve
            vbs.push_back(dev->CreateVertexBuffer(length, 0, kWorldFVF, D3DPOOL_DEFAULT));
            ASSERT_EQ(vbs.back()->Length(), length);
            for (int32_t k = 0; k < length; ++k) ASSERT_EQ(vbs.back()->Data()[k], 0) << "buffer " << i;
            std::memset(vbs.back()->Data(), i & 0xFF, static_cast<size_t>(length));
        }
        // One-triangle buffers lie side by side, at most 56 bytes of bookkeeping apart.
        const ptrdiff_t step = vbs[1]->Data() - vbs[0]->Data();
        EXPECT_GT(step, 0);
        EXPECT_LE(step, 72 + 56);
        vbs.erase(vbs.begin(), vbs.begin() + 15000);   // the older half goes first
        for (size_t i = 0; i < vbs.size(); ++i)
            for (int32_t k = 0; k < vbs[i]->Length(); ++k)
                ASSERT_EQ(vbs[i]->Data()[k], static_cast<uint8_t>((i + 15000) & 0xFF)) << "buffer " << i + 15000;
    }
}

TEST_F(D3D8, PresentHandsTheWholeFrameToTheHandlerOrKeepsIt) {
    Direct3DDevice8Ptr dev = MakeDevice(4, 3);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, static_cast<int32_t>(0xFF112233u), 1.0f, 0);
    const int before = d3d8::LastPresentedFrame().count;
    dev->Present(nullptr, nullptr, 0, nullptr);
    const d3d8::PresentedFrame& f = d3d8::LastPresentedFrame();
    EXPECT_EQ(f.count, before + 1);
    EXPECT_EQ(f.hWnd, 7);
    EXPECT_EQ(f.width, 4);
    ASSERT_EQ(f.pixels.size(), 12u);
    EXPECT_EQ(f.pixels[11], 0xFF112233u);

    int32_t gotWindow = 0;
    int calls = 0;
    uint32_t firstPixel = 0;
    d3d8::SetPresentHandler([&](int32_t hWnd, const uint32_t* argb, int w, int h) {
        gotWindow = hWnd;
        firstPixel = argb[0];
        calls += (w == 4 && h == 3);
    });
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, static_cast<int32_t>(0xFF445566u), 1.0f, 0);
    dev->Present(nullptr, nullptr, 0, nullptr);
    dev->Present(nullptr, nullptr, 99, nullptr);   // the window override
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(gotWindow, 99);
    EXPECT_EQ(firstPixel, 0xFF445566u);
    EXPECT_EQ(d3d8::LastPresentedFrame().count, before + 1);   // not kept while a handler is installed
    d3d8::SetPresentHandler([&](int32_t, const uint32_t*, int, int) { ++calls; }, true);  // unless asked
    dev->Present(nullptr, nullptr, 0, nullptr);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(d3d8::LastPresentedFrame().count, before + 2);
    EXPECT_EQ(d3d8::LastPresentedFrame().pixels[0], 0xFF445566u);
    D3DRECT r{0, 0, 1, 1};
    EXPECT_EQ(RaisedNumber([&] { dev->Present(&r, nullptr, 0, nullptr); }), D3DERR_INVALIDCALL);
}

TEST_F(D3D8, ArmedFaultsFailTheChosenCallOnly) {
    Direct3DDevice8Ptr dev = MakeDevice(8, 8);
    d3d8test::FailCall("CreateVertexBuffer", 3);
    EXPECT_EQ(RaisedNumber([&] { dev->CreateVertexBuffer(72, 0, kWorldFVF, 0); }), 0);
    EXPECT_EQ(RaisedNumber([&] { dev->CreateVertexBuffer(72, 0, kWorldFVF, 0); }), 0);
    EXPECT_EQ(RaisedNumber([&] { dev->CreateVertexBuffer(72, 0, kWorldFVF, 0); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { dev->CreateVertexBuffer(72, 0, kWorldFVF, 0); }), 0);

    d3d8test::FailCall("SetTransform", 1, -1, D3DERR_OUTOFVIDEOMEMORY);
    D3DMATRIX m{};
    EXPECT_EQ(RaisedNumber([&] { dev->SetTransform(D3DTS_VIEW, m); }), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(RaisedNumber([&] { dev->SetTransform(D3DTS_VIEW, m); }), D3DERR_OUTOFVIDEOMEMORY);
    try {
        dev->SetTransform(D3DTS_WORLD, m);
        ADD_FAILURE();
    } catch (const rt::RuntimeError& e) {
        EXPECT_NE(e.Text().find("SetTransform"), std::string::npos);
    }

    d3d8test::FailCall("CreateDevice");
    EXPECT_EQ(RaisedNumber([&] { MakeDevice(8, 8); }), D3DERR_INVALIDCALL);
    EXPECT_EQ(RaisedNumber([&] { MakeDevice(8, 8); }), 0);

    d3d8test::SetCheckDeviceTypeResult(D3DERR_NOTAVAILABLE);
    d3d8test::SetCheckDeviceMultiSampleTypeResult(D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, 1), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, 2), D3D_OK);

    // A module outside the device (D3DX) asks the same switch for its own calls.
    d3d8test::FailCall("CreateFont", 2);
    EXPECT_EQ(d3d8test::Intercept("CreateFont"), D3D_OK);
    EXPECT_EQ(d3d8test::Intercept("CreateFont"), D3DERR_INVALIDCALL);

    d3d8test::Reset();
    EXPECT_FALSE(d3d8test::Active());
    EXPECT_EQ(RaisedNumber([&] { dev->SetTransform(D3DTS_VIEW, m); }), 0);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, 1), D3D_OK);
}

TEST_F(D3D8, RecordKeepsTheCallsInOrderWithTheirArguments) {
    Direct3DDevice8Ptr dev = MakeDevice(8, 8);
    dev->SetRenderState(D3DRS_LIGHTING, 0);   // not recorded yet
    d3d8test::Record(true);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    dev->SetVertexShader(kWorldFVF);
    dev->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    const auto& calls = d3d8test::Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].Method, "SetRenderState");
    EXPECT_EQ(calls[0].Args, (std::vector<int64_t>{D3DRS_CULLMODE, D3DCULL_CW}));
    EXPECT_EQ(calls[1].Method, "SetTextureStageState");
    EXPECT_EQ(calls[1].Args, (std::vector<int64_t>{0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP}));
    EXPECT_EQ(calls[2].Args, (std::vector<int64_t>{kWorldFVF}));
    EXPECT_EQ(d3d8test::CallCount("SetRenderState"), 2);
    d3d8test::ClearCalls();
    EXPECT_EQ(d3d8test::CallCount("SetRenderState"), 0);
}

}  // namespace
