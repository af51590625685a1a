// Whole frames of the engine compared with reference images: a small walled world built with
// the wall builder, its floor and ceiling, the weapon image as a colour-keyed overlay and the
// frame-rate label, drawn by Render from two places of the viewer.
#include <gtest/gtest.h>

#include <string>

#include "app/cells.h"
#include "app/walls.h"
#include "d3dx8_refimage.h"
#include "engine/zemdx.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/present.h"
#include "platform/win32/form.h"
#include "platform/win32/headless/headless.h"

namespace {

constexpr int kW = 320, kH = 240;

class DeviceWindow : public rt::Form {
public:
    DeviceWindow() : rt::Form("frmEngineRenderWindow") { ClientSize(kW, kH); }
};

// The world as cells 1..4 by 1..4: walls round three sides and one pillar, open toward +z.
//   row x = 1..4 (world x), column z = 1..4 (world z)
const char* const kGrid[4] = {
    "WWWW",
    "W..W",
    "W.P.",
    "W...",
};

class EngineFrames : public ::testing::Test {
protected:
    void SetUp() override {
        rt::headless::Use();
        ZemDx::CullBackFaces = rt::True;
        ZemDx::ScreenHeight = kH;
        ZemDx::ScreenWidth = kW;
        ZemDx::VisibilityTest = 0;
        ZemDx::ZEnable = 1;
        ZemDx::AmbientColor = 0x00FFFFFF;
        ZemDx::Material.ambient = ZemDx::ColorValue(255, 255, 255);
        const rt::Long hWnd = rt::FormOf<DeviceWindow>().hWnd();
        ASSERT_EQ(ZemDx::InitEngine(hWnd, 1, 1, rt::False, rt::False), rt::True);

        std::string root = QV_SOURCE_DIR;
        for (char& c : root)
            if (c == '/') c = '\\';
        ZemDx::AppPath = root + "\\";

        ASSERT_EQ(ZemDx::AddText("FPS - 0", 0, 0, 15, 100, 0, "Verdana", 12, rt::True, -1), 0);
        const rt::Long weapon =
            ZemDx::LoadTexture("Textures\\Phaser Type 3.bmp", static_cast<rt::Long>(0xFF00FF00), rt::False);
        ASSERT_EQ(weapon, 0);
        ASSERT_EQ(ZemDx::AddOverlay(kW - 128, kH - 128, 128, 128, weapon, 1, 0, 0, 0, 1, 1, 0, 1, 0x00FFFFFF), 0);
        for (int n = 1; n <= 11; ++n)
            wall[n - 1] = ZemDx::LoadTexture("Textures\\" + std::to_string(n) + ".bmp",
                                             static_cast<rt::Long>(0xFFFFFFFE), rt::False);
        for (int n = 0; n < 11; ++n) ASSERT_EQ(wall[n], n + 1);

        for (int x = 1; x <= 4; ++x)
            for (int z = 1; z <= 4; ++z) {
                const char c = kGrid[x - 1][z - 1];
                if (c == 'W') ModMain::AddBlock(static_cast<rt::Integer>(x), static_cast<rt::Integer>(z), wall[0]);
                if (c == 'P') ModMain::AddBlock(static_cast<rt::Integer>(x), static_cast<rt::Integer>(z), wall[4]);
            }
        // Floor and ceiling over cells 1..4 by 1..4, one texture repeat per cell.
        const float X1 = 25, Z1 = 25, U = 4, V = 4;
        const int32_t white = 0x00FFFFFF;
        ZemDx::AddTriangle(5, 0, 5, 0, 0, white, X1, 0, 5, U, 0, white, X1, 0, Z1, U, V, white, wall[2]);
        ZemDx::AddTriangle(X1, 0, Z1, U, V, white, 5, 0, Z1, 0, V, white, 5, 0, 5, 0, 0, white, wall[2]);
        ZemDx::AddTriangle(X1, 5, Z1, U, V, white, X1, 5, 5, U, 0, white, 5, 5, 5, 0, 0, white, wall[7]);
        ZemDx::AddTriangle(5, 5, 5, 0, 0, white, 5, 5, Z1, 0, V, white, X1, 5, Z1, U, V, white, wall[7]);
        ASSERT_EQ(ZemDx::RefreshBuffers(), rt::True);
    }

    // The fonts go before the font handle registry of the OLE font stand-in, which is destroyed
    // before the engine's module variables at the program's end.
    void TearDown() override {
        ZemDx::Texts.clear();
        ZemDx::TextIFont = nullptr;
        ZemDx::TextStdFont = nullptr;
    }

    // Draws one frame from the viewer in the middle of cell (x, z) and compares it.
    void DrawAndCompare(const std::string& name, int x, int z, float heading, float pitch) {
        constexpr float s = ModMain::kCellSize;
        ZemDx::Camera.PosX = -(s * x + s / 2);
        ZemDx::Camera.PosZ = -(s * z + s / 2);
        ZemDx::Camera.PosY = -2.0f;
        ZemDx::Camera.FOV = 1.04719f;
        ZemDx::Camera.Heading = heading;
        ZemDx::Camera.Pitch = pitch;
        const int before = d3d8::LastPresentedFrame().count;
        ASSERT_EQ(ZemDx::Render(ZemDx::Camera, rt::True, static_cast<rt::Long>(0xFF203040)), rt::True);
        const auto& frame = d3d8::LastPresentedFrame();
        ASSERT_EQ(frame.count, before + 1);
        ASSERT_EQ(frame.width, kW);
        ASSERT_EQ(frame.height, kH);
        // The label's glyph edges may round differently between font library versions.
        d3dx8ref::ExpectMatchesReference(name, frame.pixels, kW, kH, 3, 60);
    }

    rt::Long wall[11] = {};
};

}  // namespace

TEST_F(EngineFrames, LookingDownTheRoomAlongZ) { DrawAndCompare("engine_frame_room", 2, 2, 0.0f, 0.0f); }

TEST_F(EngineFrames, TurnedTowardThePillarAndLookingUp) {
    DrawAndCompare("engine_frame_pillar", 4, 2, -0.6f, 0.15f);
}
