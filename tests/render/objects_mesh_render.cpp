// Frames of the engine with two meshes in its mesh list, compared with reference images: the
// three-material panel (red checker, blue stripes, plain green) and the two-frame mesh (a
// yellow triangle over a magenta one), each at its own position and rotation.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "d3dx8_refimage.h"
#include "engine/clsZemMesh.h"
#include "engine/zemdx.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/present.h"
#include "platform/win32/form.h"
#include "platform/win32/headless/headless.h"
#include "tests/unit/engine/engine_test_util.h"

namespace {

constexpr int kW = 160, kH = 120;

class DeviceWindow : public rt::Form {
public:
    DeviceWindow() : rt::Form("frmObjectsRenderWindow") { ClientSize(kW, kH); }
};

class ObjectFrames : public ::testing::Test {
protected:
    void SetUp() override {
        rt::headless::Use();
        // The game's display settings (back faces culled, depth buffer, white ambient light) on
        // a smaller back buffer.
        enginetest::GameDisplaySettings();
        ZemDx::ScreenHeight = kH;
        ZemDx::ScreenWidth = kW;
        ASSERT_EQ(ZemDx::InitEngine(rt::FormOf<DeviceWindow>().hWnd(), 1, 1, rt::False, rt::False), rt::True);
        ZemDx::AppPath = enginetest::RepoAppPath() + "tests\\";

        panel = std::make_shared<clsZemMesh>();
        ASSERT_EQ(panel->LoadMeshFromFile("meshes\\objects_panel.x"), 0);
        frames = std::make_shared<clsZemMesh>();
        ASSERT_EQ(frames->LoadMeshFromFile("meshes\\objects_frames.x"), 0);
        ZemDx::Meshes = {panel, frames};
        ZemDx::MeshCount = 2;
    }

    void DrawAndCompare(const std::string& name) {
        ZemDx::CameraState cam;
        cam.FOV = 1.04719f;
        const int before = d3d8::LastPresentedFrame().count;
        ASSERT_EQ(ZemDx::Render(cam, rt::True, static_cast<rt::Long>(0xFF203040)), rt::True);
        const auto& frame = d3d8::LastPresentedFrame();
        ASSERT_EQ(frame.count, before + 1);
        ASSERT_EQ(frame.width, kW);
        ASSERT_EQ(frame.height, kH);
        d3dx8ref::ExpectMatchesReference(name, frame.pixels, kW, kH);
    }

    clsZemMeshPtr panel, frames;
};

}  // namespace

TEST_F(ObjectFrames, TwoMeshesAtTheirPositions) {
    panel->PosX(-1.5f);
    panel->PosY(1.2f);
    panel->PosZ(10.0f);
    frames->PosX(2.5f);
    frames->PosY(-2.0f);
    frames->PosZ(8.0f);
    DrawAndCompare("objects_two_meshes");
}

TEST_F(ObjectFrames, TurnedAboutTheirOwnOrigins) {
    // The panel a little turned away about y, the two-frame mesh rolled an eighth turn.
    panel->PosX(-1.0f);
    panel->PosY(1.5f);
    panel->PosZ(10.0f);
    panel->SpinY(0.6f);
    frames->PosX(2.5f);
    frames->PosY(-2.0f);
    frames->PosZ(8.0f);
    frames->SpinZ(0.785398f);
    DrawAndCompare("objects_two_meshes_turned");
}
