// The start of a walk-through and its main loop, and the frame-rate figure.
#include <string>

#include "app/frmSelect.h"
#include "app/frmWindowed.h"
#include "app/frmWindowed_world.h"
#include "app/game_state.h"
#include "engine/zemdx.h"
#include "platform/runtime/types.h"
#include "platform/win32/runtime.h"

void frmWindowed::Form_Load() {
    windowGone_ = false;

    // Shape, then show.
    ApplyOutline();
    Show();

    // The engine on the picture box, after its splash.
    GameWorld::SetDisplaySettings();
    ZemDx::InitEngine(picGame.hWnd(), 1, 1, rt::False, rt::True);
    // The splash pumps events: a window closed there (or the menu's Exit) ends the run here,
    // before the world is read.
    if (windowGone_) EndRun();
    GameWorld::MakeLabelAndImages();

    // The world highlighted in the selection window, read now.
    const rt::FileListBox& fileWorld = rt::FormOf<frmSelect>().fileWorld;
    GameWorld::ReadAndBuildWorld(fileWorld.Path() + "\\" + fileWorld.FileName());

    GameWorld::PlaceCamera();
    ModMain::Running = rt::True;

    // Draw, let pending events run (keys, the timer, the menu windows), count; no pause.
    // Escape ends the program inside the pump. The loop also stops when the window itself has
    // gone (the menu's Exit or the system's close command unloaded it).
    while (ModMain::Running != rt::False && !windowGone_) {
        ZemDx::Render(ZemDx::Camera, rt::False, 255);
        rt::DoEvents();
        ModMain::FrameCount = rt::AddLng(ModMain::FrameCount, 1);
    }

    // Nothing is left to draw into: release the device and end the program, as Escape does.
    if (windowGone_) EndRun();
}

void frmWindowed::EndRun() {
    ModMain::Running = rt::False;
    ZemDx::ShutdownEngine();
    rt::End();
}

void frmWindowed::TimerFPS_Timer() {
    // Only the text changes; the font arguments go unused without a font name.
    using ZemDx::KeepCoordinate;
    ZemDx::UpdateText(ModMain::FpsTextIndex, rt::True, "FPS - " + std::to_string(ModMain::FrameCount),
                      KeepCoordinate, KeepCoordinate, KeepCoordinate, KeepCoordinate, ZemDx::KeepFormat, "",
                      -1, ZemDx::KeepColor);
    ModMain::FrameCount = 0;
}
