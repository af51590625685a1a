// The game window's keys. Each key-down event (auto-repeat included) takes at most one action,
// the first key of the table that matches; the shift state is never read, so Shift with an
// arrow walks or turns as the arrow alone does. Keys that arrive during the engine's splash,
// before the world is read, find no grid: every step is refused, turning and tilting act.
#include "app/frmWindowed.h"
#include "app/frmWindowed_motion.h"
#include "app/game_state.h"
#include "engine/zemdx.h"
#include "platform/win32/keys.h"
#include "platform/win32/runtime.h"

void frmWindowed::WalkStep(int direction) {
    GameMotion::Walk(ZemDx::Camera.PosX, ZemDx::Camera.PosZ, ModMain::MoveSpeed, ZemDx::Camera.Heading,
                     direction);
}

void frmWindowed::Form_KeyDown(int16_t& KeyCode, int16_t& Shift) {
    (void)Shift;
    const int16_t key = KeyCode;
    auto& cam = ZemDx::Camera;
    if (key == rt::vbKeyLeft) {
        cam.Heading = GameMotion::TurnLeft(cam.Heading);
    } else if (key == rt::vbKeyRight) {
        cam.Heading = GameMotion::TurnRight(cam.Heading);
    } else if (key == rt::vbKeyDown) {
        WalkStep(-1);
    } else if (key == rt::vbKeyUp) {
        WalkStep(+1);
    } else if (key == rt::vbKeyZ) {
        cam.Pitch = GameMotion::TiltDown(cam.Pitch);
    } else if (key == rt::vbKeyA) {
        cam.Pitch = GameMotion::TiltUp(cam.Pitch);
    } else if (key == rt::vbKeyEnd) {
        cam.Pitch = 0.0f;
    } else if (key == rt::vbKeyShift) {
        ModMain::MoveSpeed = 2.0f;
    } else if (key == rt::vbKeyEscape) {
        // Quit: the whole program ends here, inside the event pump; no unload handler runs and
        // the main loop never resumes.
        EndRun();
    }
}

void frmWindowed::Form_KeyUp(int16_t& KeyCode, int16_t& Shift) {
    (void)Shift;
    if (KeyCode == rt::vbKeyShift) ModMain::MoveSpeed = 1.0f;
}
