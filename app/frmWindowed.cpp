// The game window's data: caption, size, position, skin and controls.
#include "app/frmWindowed.h"

#include "platform/win32/runtime.h"

frmWindowed::frmWindowed()
    : Outline::ShapedForm("frmWindowed", Outline::kWindowed, Outline::kWindowedCount),
      TimerFPS(*this, "TimerFPS", 1000, true),
      picGame(*this, "picGame", 48, 34, 402, 302) {
    Caption("Quorvane -- Windowed Mode");
    ClientSize(500, 370);
    StartUpPosition(rt::StartPosition::CenterScreen);
    // The form's own key handlers see every key, whichever control has the focus.
    KeyPreview(true);
    LoadSkin("frmWindowed.bmp");
    picGame.BackColor(rt::RGB(128, 255, 255));
    TimerFPS.OnTimer = [this] { TimerFPS_Timer(); };
}

void frmWindowed::Form_Unload(int16_t& Cancel) {
    (void)Cancel;
    // Stop the main loop after the pump that unloaded the window; the run then shuts down.
    windowGone_ = true;
}
