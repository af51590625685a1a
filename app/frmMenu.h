// The main menu "Quorvane": the first window of the program, a shaped skin with five painted
// buttons under transparent click zones. Begin starts a walk-through in the game window once a
// world has been accepted; Options, Select Simulation and About bring up their windows beside
// the menu; Exit closes every window, which ends the program.
#pragma once
#include <cstdint>

#include "app/outline/shaped_form.h"
#include "platform/win32/controls.h"

class frmMenu : public Outline::ShapedForm {
public:
    frmMenu();

    // Click zones, in creation order (a later one lies above an earlier one, so on row 72,
    // shared by cmdBegin and CmdOptions, the press goes to CmdOptions).
    rt::Label cmdAbout;        // (288, 200) 41 x 41
    rt::Label cmdSelectWorld;  // (112, 32) 73 x 81
    rt::Label cmdBegin;        // (24, 16) 81 x 57
    rt::Label cmdExit;         // (224, 248) 97 x 49
    rt::Label CmdOptions;      // (24, 72) 81 x 57

    // Shapes the window, then sets WindowedMode.
    void Form_Load() override;
    // Without an accepted world, or with no name highlighted in the selection window: the
    // message box; otherwise loads the game window, which runs the whole walk-through before
    // returning.
    void cmdBegin_Click();
    void CmdOptions_Click();
    void cmdSelectWorld_Click();
    void cmdAbout_Click();
    // Unloads every window that is loaded, the menu last.
    void cmdExit_Click();

private:
    // "You must first select a simulation.", the answer to Begin without a world to run.
    static void NoWorldMessage();
};
