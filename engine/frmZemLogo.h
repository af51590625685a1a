// The engine's splash window: the engine's emblem and name on a borderless 182 x 127 window in
// the middle of the screen, shown by InitEngine for one second before the device is made.
#pragma once
#include "platform/win32/controls.h"
#include "platform/win32/form.h"

class frmZemLogo : public rt::Form {
public:
    frmZemLogo();

    // Fires once, 1000 ms after the window's load.
    rt::Timer Timer1;

    // Shows the window.
    void Form_Load() override;
    // Tells InitEngine's wait that the splash has had its time, and stops the timer.
    void Timer1_Timer();
};
