// Start-up and shut-down of the engine: device parameters and states, the splash wait, the
// tables, and what a failed start leaves behind.
#include <gtest/gtest.h>

#include "engine/frmZemLogo.h"
#include "engine/zemdx.h"
#include "engine_test_util.h"
#include "platform/d3d8/testswitch.h"
#include "platform/runtime/paths.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/system.h"

using namespace enginetest;
using Args = std::vector<int64_t>;

namespace {

// Counts the event pumps: each handled key-down posts the next one, so every pump handles
// exactly one, and moves the clock on by `step` ms.
class PumpCounter : public rt::Form {
public:
    PumpCounter() : rt::Form("frmPumpCounter") { StartUpPosition(rt::StartPosition::Manual); }
    void Form_KeyDown(int16_t& KeyCode, int16_t& Shift) override {
        (void)Shift;
        ++pumps;
        rt::headless::AdvanceClock(step);
        rt::headless::KeyDown(*this, KeyCode);
    }
    int pumps = 0;
    uint32_t step = 1;
};

PumpCounter& StartCounting(uint32_t step) {
    rt::headless::Use();
    PumpCounter& c = rt::FormOf<PumpCounter>();
    c.Load();
    c.step = step;
    rt::headless::KeyDown(c, 65);
    return c;
}

// The cursor's display counter, read without changing it.
int32_t CursorCounter() {
    const int32_t v = ShowCursor(0);
    ShowCursor(1);
    return v + 1;
}

// Each start test begins with the game window's display settings and the window for the device.
class EngineStart : public ::testing::Test {
protected:
    void SetUp() override {
        GameDisplaySettings();
        hWnd = DeviceWindowHandle();
    }
    rt::Long hWnd = 0;
};

}  // namespace

TEST_F(EngineStart, GameWindowStartMakesDeviceStatesAndTables) {
    d3d8test::Record(true);
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False), rt::True);

    EXPECT_EQ(CallsOf("CheckDeviceType"), (std::vector<Args>{{0, 1, 23, 23, 1}}));
    EXPECT_EQ(CallsOf("CreateDevice"), (std::vector<Args>{{0, 1, hWnd, 0x20}}));
    EXPECT_TRUE(CallsOf("CheckDeviceMultiSampleType").empty());

    // The eleven states in their order, and nothing else set on the device.
    std::vector<std::pair<std::string, Args>> states;
    for (const auto& c : d3d8test::Calls())
        if (c.Method.rfind("Set", 0) == 0) states.emplace_back(c.Method, c.Args);
    const std::vector<std::pair<std::string, Args>> expected = {
        {"SetRenderState", {22, 2}},          {"SetRenderState", {7, 1}},
        {"SetRenderState", {8, 3}},           {"SetTextureStageState", {0, 13, 1}},
        {"SetTextureStageState", {0, 14, 1}}, {"SetRenderState", {137, 1}},
        {"SetVertexShader", {0x142}},         {"SetRenderState", {27, 1}},
        {"SetRenderState", {19, 5}},          {"SetRenderState", {20, 6}},
        {"SetRenderState", {139, 0x00FFFFFF}},
    };
    EXPECT_EQ(states, expected);

    const D3DPRESENT_PARAMETERS& pp = ZemDx::D3DDevice->PresentParameters();
    EXPECT_EQ(pp.BackBufferWidth, 640);
    EXPECT_EQ(pp.BackBufferHeight, 480);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);  // the desktop's format, not the checked one
    EXPECT_EQ(pp.BackBufferCount, 1);
    EXPECT_EQ(pp.MultiSampleType, 0);
    EXPECT_EQ(pp.SwapEffect, 1);
    EXPECT_EQ(pp.hDeviceWindow, hWnd);
    EXPECT_EQ(pp.Windowed, 1);
    EXPECT_EQ(pp.EnableAutoDepthStencil, 1);
    EXPECT_EQ(pp.AutoDepthStencilFormat, 80);
    EXPECT_EQ(pp.Flags | pp.FullScreen_RefreshRateInHz | pp.FullScreen_PresentationInterval, 0);

    EXPECT_EQ(ZemDx::TextureCount, 2);
    EXPECT_EQ(ZemDx::Textures.size(), 2u);
    EXPECT_EQ(ZemDx::TextureNames.size(), 2u);
    EXPECT_FALSE(ZemDx::Textures[0] || ZemDx::Textures[1]);
    EXPECT_EQ(ZemDx::OverlayCount, 2);
    EXPECT_EQ(ZemDx::OverlayUsed, (std::vector<rt::Boolean>{rt::False, rt::False}));
    EXPECT_EQ(ZemDx::Overlays.size(), 2u);
    EXPECT_EQ(ZemDx::TextCount, 1);
    ASSERT_EQ(ZemDx::Texts.size(), 1u);
    EXPECT_EQ(ZemDx::Texts[0].Text, "");
    EXPECT_FALSE(ZemDx::Texts[0].Font);

    EXPECT_EQ(ZemDx::AppPath, rt::ProgramFolder() + "\\");
    EXPECT_EQ(ZemDx::AppPath.find("\\\\"), std::string::npos);
    // The splash was not asked for: its window was never loaded.
    EXPECT_FALSE(rt::FormOf<frmZemLogo>().Loaded());
    EXPECT_FALSE(rt::FormOf<frmZemLogo>().Visible());
}

TEST_F(EngineStart, SettingsAreTestedExactly) {
    ZemDx::CullBackFaces = 1;  // not True: no culling
    ZemDx::ZEnable = 0;
    ZemDx::AmbientColor = 0x00102030;
    PumpCounter& counter = StartCounting(1);
    d3d8test::Record(true);
    // A ShowLogo of 1 is not True: no splash and no pump.
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 0, rt::False, 1), rt::True);
    EXPECT_EQ(counter.pumps, 0);
    EXPECT_EQ(ZemDx::D3DDevice->GetRenderState(D3DRS_CULLMODE), D3DCULL_NONE);
    EXPECT_EQ(ZemDx::D3DDevice->GetRenderState(D3DRS_ZENABLE), 0);
    EXPECT_EQ(ZemDx::D3DDevice->GetRenderState(D3DRS_LIGHTING), 0);
    EXPECT_EQ(ZemDx::D3DDevice->GetRenderState(D3DRS_AMBIENT), 0x00102030);
}

TEST_F(EngineStart, NonZeroDeviceCheckPicksTheReferenceDevice) {
    d3d8test::SetCheckDeviceTypeResult(D3DERR_NOTAVAILABLE);
    d3d8test::Record(true);
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False), rt::True);
    EXPECT_EQ(CallsOf("CreateDevice"), (std::vector<Args>{{0, 2, hWnd, 0x20}}));
    int32_t type = 0, focus = 0;
    ZemDx::D3DDevice->GetCreationParameters(type, focus);
    EXPECT_EQ(type, D3DDEVTYPE_REF);
    EXPECT_EQ(ZemDx::D3DDevice->PresentParameters().BackBufferWidth, 640);

    // A positive code is no success either.
    d3d8test::SetCheckDeviceTypeResult(1);
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False), rt::True);
    ZemDx::D3DDevice->GetCreationParameters(type, focus);
    EXPECT_EQ(type, D3DDEVTYPE_REF);
}

TEST_F(EngineStart, DeviceThatCannotBeMadeLeavesNoTablesAndNoDevice) {
    const int32_t cursorBefore = CursorCounter();
    d3d8test::FailCall("CreateDevice");
    EXPECT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False), rt::False);
    EXPECT_FALSE(ZemDx::D3DDevice);
    EXPECT_TRUE(ZemDx::D3D);  // made before the failure, and kept
    EXPECT_EQ(ZemDx::TextureCount, 0);
    EXPECT_EQ(ZemDx::OverlayCount, 0);
    EXPECT_EQ(ZemDx::TextCount, 0);
    EXPECT_TRUE(ZemDx::Textures.empty() && ZemDx::Overlays.empty() && ZemDx::Texts.empty());
    EXPECT_EQ(ZemDx::AppPath, "");
    EXPECT_EQ(CursorCounter(), cursorBefore + 1);  // the cursor call came before the device

    // The operations that need the device or the tables fail with their failure values.
    const ZemDx::CameraState cam{};
    EXPECT_EQ(ZemDx::Render(cam, rt::False, 255), rt::False);
    EXPECT_EQ(ZemDx::LoadTexture("Textures\\1.bmp", 0, rt::False), -1);
    EXPECT_EQ(ZemDx::UpdateText(0, rt::True, "x", -1, -1, -1, -1, -12345, "", -1, -1), rt::False);
    EXPECT_EQ(ZemDx::AddText("x", 0, 0, 10, 10, 0, "Verdana", 12, rt::True, -1), -1);
}

TEST_F(EngineStart, FailedStateCallEndsTheStartAfterTheDevice) {
    d3d8test::FailCall("SetRenderState", 4);  // the lighting state
    EXPECT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False), rt::False);
    ASSERT_TRUE(ZemDx::D3DDevice);  // the device stays made
    EXPECT_EQ(ZemDx::D3DDevice->GetRenderState(D3DRS_FILLMODE), D3DFILL_SOLID);
    EXPECT_EQ(ZemDx::TextureCount, 0);
    EXPECT_EQ(ZemDx::AppPath, "");
}

TEST_F(EngineStart, FailedRootObjectsAndDisplayModeGiveFalse) {
    d3d8test::FailCall("Direct3DCreate");
    EXPECT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False), rt::False);
    EXPECT_TRUE(ZemDx::DX);
    EXPECT_FALSE(ZemDx::D3D);
    d3d8test::Reset();
    d3d8test::FailCall("GetAdapterDisplayMode");
    EXPECT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False), rt::False);
    EXPECT_FALSE(ZemDx::D3DDevice);
    d3d8test::Reset();
    EXPECT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False), rt::True);
}

TEST_F(EngineStart, AntiAliasAsksForTwoSamples) {
    d3d8test::Record(true);
    // Any value but False is a request: the present parameters ask for two samples, the device
    // is made with them, and after a passing check the device draws anti-aliased (state 161),
    // set after the start-up states.
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::True, rt::False), rt::True);
    EXPECT_EQ(ZemDx::D3DDevice->PresentParameters().MultiSampleType, D3DMULTISAMPLE_2_SAMPLES);
    EXPECT_EQ(CallsOf("CheckDeviceMultiSampleType"), (std::vector<Args>{{0, 1, 23, 0, 2}}));
    const auto& calls = d3d8test::Calls();
    ASSERT_FALSE(calls.empty());
    size_t check = 0, aa = 0, ambient = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].Method == "CheckDeviceMultiSampleType") check = i;
        if (calls[i].Method == "SetRenderState" && calls[i].Args == Args{161, 1}) aa = i;
        if (calls[i].Method == "SetRenderState" && calls[i].Args.at(0) == 139) ambient = i;
    }
    EXPECT_GT(aa, check);
    EXPECT_GT(check, ambient);
    EXPECT_EQ(ZemDx::D3DDevice->GetRenderState(D3DRS_MULTISAMPLEANTIALIAS), 1);
    ZemDx::ShutdownEngine();

    // A failing check leaves the state alone; the two-sample device is still made and the
    // start succeeds.
    d3d8test::Reset();
    d3d8test::Record(true);
    d3d8test::SetCheckDeviceMultiSampleTypeResult(D3DERR_NOTAVAILABLE);
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, 1, rt::False), rt::True);
    EXPECT_EQ(CallsOf("CheckDeviceMultiSampleType").size(), 1u);
    for (const auto& c : d3d8test::Calls())
        EXPECT_FALSE(c.Method == "SetRenderState" && c.Args.at(0) == 161);
    EXPECT_EQ(ZemDx::D3DDevice->PresentParameters().MultiSampleType, D3DMULTISAMPLE_2_SAMPLES);
}

TEST_F(EngineStart, MultiSampleCheckUsesObjectsOfItsOwn) {
    d3d8test::Record(true);
    d3d8test::SetCheckDeviceMultiSampleTypeResult(D3D_OK);
    EXPECT_EQ(ZemDx::CheckMultiSample(0, D3DFMT_R5G6B5), rt::True);
    EXPECT_EQ(CallsOf("CheckDeviceMultiSampleType"), (std::vector<Args>{{0, 1, 23, 0, 2}}));
    EXPECT_FALSE(ZemDx::DX);
    EXPECT_FALSE(ZemDx::D3D);
    d3d8test::SetCheckDeviceMultiSampleTypeResult(1);  // 0 or greater passes
    EXPECT_EQ(ZemDx::CheckMultiSample(0, D3DFMT_R5G6B5), rt::True);
    d3d8test::SetCheckDeviceMultiSampleTypeResult(D3DERR_NOTAVAILABLE);
    EXPECT_EQ(ZemDx::CheckMultiSample(0, D3DFMT_R5G6B5), rt::False);
    // The stand-in's own answer for two samples.
    d3d8test::Reset();
    EXPECT_EQ(ZemDx::CheckMultiSample(0, D3DFMT_R5G6B5), rt::True);
    // A root object that cannot be made is an error for the caller.
    d3d8test::FailCall("Direct3DCreate");
    EXPECT_THROW(ZemDx::CheckMultiSample(0, D3DFMT_R5G6B5), rt::RuntimeError);
}

TEST_F(EngineStart, SplashWaitsForItsTickThenUnloads) {
    PumpCounter& counter = StartCounting(10);
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::True), rt::True);
    EXPECT_EQ(ZemDx::LogoDone, rt::True);
    // 10 ms a pump: the tick falls due in the hundredth pump.
    EXPECT_EQ(counter.pumps, 100);
    frmZemLogo& logo = rt::FormOf<frmZemLogo>();
    EXPECT_FALSE(logo.Loaded());
    EXPECT_EQ(logo.Caption(), "Form1");
    EXPECT_EQ(logo.BorderStyle(), rt::vbBSNone);
    EXPECT_EQ(logo.Width(), 182);
    EXPECT_EQ(logo.Height(), 127);
    EXPECT_EQ(logo.StartUpPosition(), rt::StartPosition::CenterScreen);
    EXPECT_EQ(logo.Timer1.Interval(), 1000);
    EXPECT_FALSE(logo.Timer1.Enabled());  // it fires once
    // The embedded picture fills the client area.
    EXPECT_EQ(logo.Picture().Width, 182);
    EXPECT_EQ(logo.Picture().Height, 127);
    ASSERT_TRUE(ZemDx::D3DDevice);
}

TEST_F(EngineStart, SecondStartPumpsOnceAndDropsTheTables) {
    PumpCounter& counter = StartCounting(10);
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::True), rt::True);
    ZemDx::AppPath = RepoAppPath();
    ASSERT_EQ(ZemDx::LoadTexture("Textures\\1.bmp", 0, rt::False), 0);
    ASSERT_EQ(ZemDx::AddOverlay(0, 0, 8, 8, 0, 1, 0, 0, 0, 1, 1, 0, 1, 0), 0);
    ASSERT_EQ(ZemDx::AddText("a", 0, 0, 10, 10, 0, "Verdana", 10, rt::False, -1), 0);
    ZemDx::AddTriangle(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0);

    counter.pumps = 0;
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::True), rt::True);
    EXPECT_EQ(counter.pumps, 1);
    EXPECT_FALSE(rt::FormOf<frmZemLogo>().Loaded());
    EXPECT_EQ(ZemDx::TextureCount, 2);
    EXPECT_FALSE(ZemDx::Textures[0]);
    EXPECT_EQ(ZemDx::TextureNames[0].FileName, "");
    EXPECT_EQ(ZemDx::OverlayUsed[0], rt::False);
    EXPECT_EQ(ZemDx::Texts[0].Text, "");
    EXPECT_EQ(ZemDx::TriangleCount, 1);  // the lists are not the start's business
}

TEST_F(EngineStart, EveryLoadOfTheSplashRunsItsTimerAfresh) {
    PumpCounter& counter = StartCounting(10);
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::True), rt::True);
    ASSERT_EQ(counter.pumps, 100);
    // With the flag cleared by hand, a second splash waits its full second again.
    ZemDx::LogoDone = rt::False;
    counter.pumps = 0;
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::True), rt::True);
    EXPECT_EQ(counter.pumps, 100);
    EXPECT_EQ(ZemDx::LogoDone, rt::True);
}

TEST_F(EngineStart, ClosingTheSplashEndsTheWait) {
    frmZemLogo& logo = rt::FormOf<frmZemLogo>();
    // The close command is pending when the wait begins; the clock never moves, so the tick
    // never comes.
    logo.Load();
    rt::headless::Close(logo);
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::True), rt::True);
    EXPECT_FALSE(logo.Loaded());
    EXPECT_EQ(ZemDx::LogoDone, rt::False);
    EXPECT_TRUE(ZemDx::D3DDevice);
}

TEST(EngineShutdown, ReleasesDeviceObjectsAndKeepsTheRecords) {
    ASSERT_EQ(StartEngine(), rt::True);
    ZemDx::AppPath = RepoAppPath();
    ASSERT_EQ(ZemDx::LoadTexture("Textures\\1.bmp", 0, rt::False), 0);
    ZemDx::AddTriangle(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0);
    ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    ASSERT_EQ(ZemDx::AddText("a", 0, 0, 10, 10, 0, "Verdana", 10, rt::False, -1), 0);
    ASSERT_TRUE(ZemDx::D3DX);
    std::weak_ptr<Direct3DDevice8> device = ZemDx::D3DDevice;
    std::weak_ptr<Direct3DTexture8> texture = ZemDx::Textures[0];
    std::weak_ptr<Direct3DVertexBuffer8> buffer = ZemDx::TriangleBuffers[0];
    const int32_t cursor = CursorCounter();

    ZemDx::ShutdownEngine();
    EXPECT_TRUE(texture.expired());
    EXPECT_TRUE(buffer.expired());
    EXPECT_FALSE(ZemDx::DX || ZemDx::D3D || ZemDx::D3DDevice || ZemDx::D3DX);
    EXPECT_TRUE(ZemDx::Textures.empty());
    EXPECT_TRUE(ZemDx::TriangleBuffers.empty());
    EXPECT_EQ(CursorCounter(), cursor + 1);
    // The records, the names and the labels stay.
    EXPECT_EQ(ZemDx::Triangles.size(), 1u);
    EXPECT_EQ(ZemDx::TextureNames[0].FileName, "Textures\\1.bmp");
    EXPECT_EQ(ZemDx::TextureCount, 2);
    EXPECT_EQ(ZemDx::Texts[0].Text, "a");
    // The label's font still holds the device; it goes with the label.
    ZemDx::Texts.clear();
    EXPECT_TRUE(device.expired());
    // The texture table is gone: a load now fails.
    EXPECT_EQ(ZemDx::LoadTexture("Textures\\1.bmp", 0, rt::False), -1);
    EXPECT_EQ(ZemDx::LoadTexture("Textures\\2.bmp", 0, rt::True), -1);
}

TEST(EngineShutdown, CursorIsVisibleAgainAfterFullScreenStart) {
    GameDisplaySettings();
    const rt::Long hWnd = DeviceWindowHandle();
    const int32_t before = CursorCounter();
    ASSERT_EQ(ZemDx::InitEngine(hWnd, 0, 1, rt::False, rt::False), rt::True);
    EXPECT_EQ(CursorCounter(), before - 1);
    ZemDx::ShutdownEngine();
    EXPECT_EQ(CursorCounter(), before);
    EXPECT_TRUE(rt::headless::CursorVisible());
}

TEST(EngineShutdown, HarmlessWithoutAStart) {
    rt::headless::Use();
    ZemDx::ShutdownEngine();
    ZemDx::ShutdownEngine();
    EXPECT_FALSE(ZemDx::D3DDevice);
}
