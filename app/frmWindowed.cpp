// The game window's data: caption, size, position, skin and controls.
#include "app/frmWindowed.h"

#include "platform/win32/runtime.h"
#include "resources/resources.h"

frmWindowed::frmWindowed()
    : rt::Form("frmWindowed"),
      TimerFPS(*this, "TimerFPS", 1000, true),
      picGame(*this, "picGame", 48, 34, 402, 302) {
    Caption("Quorvane -- Windowed Mode");
    ClientSize(500, 370);
    StartUpPosition(rt::StartPosition::CenterScreen);
    BorderStyle(rt::vbBSNone);
    // The form's own key handlers see every key, whichever control has the focus.
    KeyPreview(true);
    const auto skin = GetResource("frmWindowed.bmp");
    if (!skin.empty()) Picture(rt::LoadPictureFromMemory(skin.data(), skin.size()));
    picGame.BackColor(rt::RGB(128, 255, 255));
    TimerFPS.OnTimer = [this] { TimerFPS_Timer(); };
}

void frmWindowed::Form_Unload(int16_t& Cancel) {
    (void)Cancel;
    // Stop the main loop after the pump that unloaded the window; the run then shuts down.
    windowGone_ = true;
}
