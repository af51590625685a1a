// The start of a walk-through and its main loop, and the frame-rate figure.
#include <string>

#include "app/frmSelect.h"
#include "app/frmWindowed.h"
#include "app/game_state.h"
#include "app/walls.h"
#include "app/world_map.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/types.h"
#include "platform/win32/regions.h"
#include "platform/win32/runtime.h"

namespace {

constexpr int32_t kWhite = 0x00FFFFFF;  // vertex colour of the floor and ceiling
constexpr rt::Integer kOpenFloor = 12;
constexpr rt::Integer kStartCell = 13;

// The wall texture of texture number n (a cell code, a floor or ceiling number): entry n - 1
// of WallTextures. Any number outside 1 to 12 stops the run with "Subscript out of range";
// the subtraction itself is 16-bit (so -32768 overflows).
int32_t WallTexture(rt::Integer n) {
    const rt::Integer entry = rt::SubInt(n, 1);
    if (entry < 0 || entry >= ModMain::kWallTextureEntries) rt::Raise(rt::ErrSubscript);
    return ModMain::WallTextures[entry];
}

// Wall blocks for the wall cells; the viewer on the start cell (the last one in reading order
// wins; without one the camera keeps its position).
void BuildWorld() {
    const rt::Integer rows = rt::CInt(ModMain::Map.UBound(1));
    const rt::Integer cols = rt::CInt(ModMain::Map.UBound(2));
    for (int xi = 1; xi <= rows; ++xi) {
        for (int zi = 1; zi <= cols; ++zi) {
            const rt::Integer x = rt::Integer(xi), z = rt::Integer(zi);
            const rt::Integer c = ModMain::Map(x, z);
            if (c == kOpenFloor) continue;
            if (c == kStartCell) {
                ZemDx::Camera.PosX = static_cast<float>(-(double(rt::MulInt(5, x)) + 2.5));
                ZemDx::Camera.PosZ = static_cast<float>(-(double(rt::MulInt(5, z)) + 2.5));
                continue;
            }
            ModMain::AddBlock(x, z, WallTexture(c));
        }
    }
}

// Floor and ceiling over the cells 1 to U by 1 to V, the texture repeated once per cell.
// Seen from between them, all four triangles run counter-clockwise like the walls' outer faces.
void AddFloorAndCeiling() {
    const rt::Long U = ModMain::Map.UBound(1);
    const rt::Long V = ModMain::Map.UBound(2);
    const float X1 = static_cast<float>(rt::MulLng(rt::AddLng(U, 1), 5));
    const float Z1 = static_cast<float>(rt::MulLng(rt::AddLng(V, 1), 5));
    const float u = static_cast<float>(U), v = static_cast<float>(V);
    const int32_t w = kWhite;

    ZemDx::AddTriangle(5, 0, 5, 0, 0, w, X1, 0, 5, u, 0, w, X1, 0, Z1, u, v, w,
                       WallTexture(ModMain::FloorTexture));
    ZemDx::AddTriangle(X1, 0, Z1, u, v, w, 5, 0, Z1, 0, v, w, 5, 0, 5, 0, 0, w,
                       WallTexture(ModMain::FloorTexture));
    ZemDx::AddTriangle(X1, 5, Z1, u, v, w, X1, 5, 5, u, 0, w, 5, 5, 5, 0, 0, w,
                       WallTexture(ModMain::CeilingTexture));
    ZemDx::AddTriangle(5, 5, 5, 0, 0, w, 5, 5, Z1, 0, v, w, X1, 5, Z1, u, v, w,
                       WallTexture(ModMain::CeilingTexture));
}

}  // namespace

void frmWindowed::Form_Load() {
    windowGone_ = false;

    // Shape, then show.
    const int32_t window = hWnd();
    const int32_t region = MakeFormRegion(1.0f, 1.0f, 0, 0);
    SetWindowRgn(window, region, -1);
    Show();

    // Display settings, then the engine on the picture box (after its splash).
    ZemDx::CullBackFaces = rt::True;
    ZemDx::ScreenHeight = 480;
    ZemDx::ScreenWidth = 640;
    ZemDx::VisibilityTest = 0;
    ZemDx::ZEnable = 1;
    ZemDx::AmbientColor = rt::RGB(255, 255, 255);
    ZemDx::Material.ambient = ZemDx::ColorValue(255, 255, 255);
    ZemDx::InitEngine(picGame.hWnd(), 1, 1, rt::False, rt::True);

    // The frame-rate figure in the top-left corner, the weapon in the bottom-right one.
    ModMain::FpsTextIndex = ZemDx::AddText("FPS - 0", 0, 0, 15, 100, 0, "Verdana", 12, rt::True,
                                           static_cast<rt::Long>(0xFFFFFFFFu));
    const rt::Long weapon = ZemDx::LoadTexture("Textures\\Phaser Type 3.bmp",
                                               static_cast<rt::Long>(0xFF00FF00u), rt::False);
    ZemDx::AddOverlay(384, 224, 256, 256, weapon, 1, 0, 0, 0, 1, 1, 0, 1, kWhite);

    // Wall textures 1 to 11.
    for (int i = 0; i <= 10; ++i)
        ModMain::WallTextures[i] = ZemDx::LoadTexture("Textures\\" + std::to_string(i + 1) + ".bmp",
                                                      static_cast<rt::Long>(0xFFFFFFFEu), rt::False);

    // The world highlighted in the selection window, read now.
    const rt::FileListBox& fileWorld = rt::FormOf<frmSelect>().fileWorld;
    ModMain::LoadMap(fileWorld.Path() + "\\" + fileWorld.FileName());
    BuildWorld();
    AddFloorAndCeiling();
    ZemDx::RefreshBuffers();

    ModMain::MoveSpeed = 1.0f;
    ZemDx::Camera.PosY = -2.0f;
    ZemDx::Camera.FOV = 1.04719f;
    ModMain::Running = rt::True;

    // Draw, let pending events run (keys, the timer, the menu windows), count; no pause.
    // Escape ends the program inside the pump. The loop also stops when the window itself has
    // gone (the menu's Exit or the system's close command unloaded it).
    while (ModMain::Running != rt::False && !windowGone_) {
        ZemDx::Render(ZemDx::Camera, rt::False, 255);
        rt::DoEvents();
        ModMain::FrameCount = rt::AddLng(ModMain::FrameCount, 1);
    }

    if (windowGone_) {
        // Nothing is left to draw into: release the device and end the program, as Escape does.
        ModMain::Running = rt::False;
        ZemDx::ShutdownEngine();
        rt::End();
    }
}

void frmWindowed::TimerFPS_Timer() {
    ZemDx::UpdateText(ModMain::FpsTextIndex, rt::True, "FPS - " + std::to_string(ModMain::FrameCount),
                      -1, -1, -1, -1, -12345, "", -1, -1);
    ModMain::FrameCount = 0;
}
