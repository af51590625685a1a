#include "app/frmMenu.h"

#include "app/frmAbout.h"
#include "app/frmGame.h"
#include "app/frmOptions.h"
#include "app/frmSelect.h"
#include "app/frmWindowed.h"
#include "app/menu_flags.h"
#include "platform/win32/runtime.h"

frmMenu::frmMenu()
    : Outline::ShapedForm("frmMenu", Outline::kMenu, Outline::kMenuCount),
      cmdAbout(*this, "cmdAbout", 288, 200, 41, 41),
      cmdSelectWorld(*this, "cmdSelectWorld", 112, 32, 73, 81),
      cmdBegin(*this, "cmdBegin", 24, 16, 81, 57),
      cmdExit(*this, "cmdExit", 224, 248, 97, 49),
      CmdOptions(*this, "CmdOptions", 24, 72, 81, 57) {
    Caption("Quorvane");
    ClientSize(342, 309);
    StartUpPosition(rt::StartPosition::CenterScreen);
    LoadSkin("frmMenu.bmp");

    MakeClickZone(cmdAbout, [this] { cmdAbout_Click(); });
    MakeClickZone(cmdSelectWorld, [this] { cmdSelectWorld_Click(); });
    MakeClickZone(cmdBegin, [this] { cmdBegin_Click(); });
    MakeClickZone(cmdExit, [this] { cmdExit_Click(); });
    MakeClickZone(CmdOptions, [this] { CmdOptions_Click(); });
    // The system's close command on the menu does what Exit does: without the menu nothing
    // could bring the other windows back, and hidden ones would keep the program alive.
    OnCloseCommand([this] { cmdExit_Click(); });
}

void frmMenu::Form_Load() {
    ApplyOutline();
    ModMain::WindowedMode = rt::True;
}

void frmMenu::cmdBegin_Click() {
    if (ModMain::WorldSelected != rt::True) {
        NoWorldMessage();
    } else if (ModMain::WindowedMode == rt::True) {
        // Accept does not look at the highlight, and the run reads the highlighted name only
        // when it starts: with none highlighted there is no world to run.
        if (rt::FormOf<frmSelect>().fileWorld.FileName().empty()) {
            NoWorldMessage();
            return;
        }
        // The run lives inside this load; during a run the window is already loaded and
        // nothing new starts.
        rt::FormOf<frmWindowed>().Load();
    }
}

void frmMenu::NoWorldMessage() {
    rt::MsgBox("You must first select a simulation.", rt::vbExclamation, "Error! Direction unclear.");
}

void frmMenu::CmdOptions_Click() { rt::FormOf<frmOptions>().Show(); }

void frmMenu::cmdSelectWorld_Click() { rt::FormOf<frmSelect>().Show(); }

void frmMenu::cmdAbout_Click() { rt::FormOf<frmAbout>().Show(); }

void frmMenu::cmdExit_Click() {
    // Unload leaves a window that was never loaded alone.
    rt::FormOf<frmOptions>().Unload();
    rt::FormOf<frmAbout>().Unload();
    rt::FormOf<frmSelect>().Unload();
    rt::FormOf<frmWindowed>().Unload();
    rt::FormOf<frmGame>().Unload();
    Unload();
}
