// The main menu "Quorvane": the first window of the program, a shaped skin with five painted
// buttons under transparent click zones. Begin starts a walk-through in the game window once a
// world has been accepted; Options, Select Simulation and About bring up their windows beside
// the menu; Exit closes every window, which ends the program.
#pragma once
#include <cstdint>

#include "platform/win32/controls.h"
#include "platform/win32/form.h"

class frmMenu : public rt::Form {
public:
    frmMenu();

    // Click zones, in creation order (a later one lies above an earlier one, so on row 72,
    // shared by cmdBegin and CmdOptions, the press goes to CmdOptions).
    rt::Label cmdAbout;        // (288, 200) 41 x 41
    rt::Label cmdSelectWorld;  // (112, 32) 73 x 81
    rt::Label cmdBegin;        // (24, 16) 81 x 57
    rt::Label cmdExit;         // (224, 248) 97 x 49
    rt::Label CmdOptions;      // (24, 72) 81 x 57

    // The window's outline region (handed to the window system in Form_Load).
    int32_t hFormRegion = 0;

    // Shapes the window, then sets WindowedMode.
    void Form_Load() override;
    // Without an accepted world: the message box; otherwise loads the game window, which runs
    // the whole walk-through before returning.
    void cmdBegin_Click();
    void CmdOptions_Click();
    void cmdSelectWorld_Click();
    void cmdAbout_Click();
    // Unloads every window that is loaded, the menu last.
    void cmdExit_Click();

    // Dragging the window by its skin.
    void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override;
    // The system's close command on the menu does what Exit does: without the menu nothing could
    // bring the other windows back, and hidden ones would keep the program alive.
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override;

private:
    int32_t MakeFormRegion(float ScaleX, float ScaleY, int16_t OffsetX, int16_t OffsetY);
    int16_t ShapePointX(int16_t Index) const;
    int16_t ShapePointY(int16_t Index) const;
};
