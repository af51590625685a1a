// The game window "Quorvane -- Windowed Mode": a skinned, shaped window around the picture box
// that the 3D device draws into. Loading it starts a walk-through and runs its main loop; the
// load returns only when the run ends. The keys turn, walk, run, tilt and quit.
#pragma once
#include <cstdint>

#include "app/outline/shaped_form.h"
#include "platform/win32/controls.h"

class frmWindowed : public Outline::ShapedForm {
public:
    frmWindowed();

    // Controls, in creation order.
    rt::Timer TimerFPS;     // 1000 ms, running from the window's load
    rt::PictureBox picGame; // (48, 34), 402 x 302: the device window

    // Starts a run: outline, show, engine, label, weapon image, wall textures, world, floor and
    // ceiling, vertex buffers, camera; then the main loop. It does not return: the run ends by
    // ending the program, through Escape or when the window goes away (the engine is shut down
    // and the program ends with status 0).
    void Form_Load() override;
    // Shows the number of frames drawn since the last tick.
    void TimerFPS_Timer();

    // Keyboard: Left/Right turn, Up/Down walk (with collision), Z/A tilt, End levels the view,
    // Shift runs while held, Escape ends the program.
    void Form_KeyDown(int16_t& KeyCode, int16_t& Shift) override;
    void Form_KeyUp(int16_t& KeyCode, int16_t& Shift) override;

    // The window going away during a run (the menu's Exit or the system's close command) ends
    // the run.
    void Form_Unload(int16_t& Cancel) override;

private:
    // A walking step of MoveSpeed along the heading, forward (+1) or back (-1), followed by the
    // collision test.
    void WalkStep(int direction);
    // Ends the run and the program: the main loop's flag cleared, the engine shut down, then
    // the program ended at once. Does not return.
    [[noreturn]] void EndRun();

    bool windowGone_ = false;  // unloaded while its run was going
};
