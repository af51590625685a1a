#include "app/frmMenu.h"

#include "app/frmAbout.h"
#include "app/frmGame.h"
#include "app/frmOptions.h"
#include "app/frmSelect.h"
#include "app/frmWindowed.h"
#include "app/menu_flags.h"
#include "app/outline/make_form_region.h"
#include "platform/win32/regions.h"
#include "platform/win32/runtime.h"
#include "resources/resources.h"

frmMenu::frmMenu()
    : rt::Form("frmMenu"),
      cmdAbout(*this, "cmdAbout", 288, 200, 41, 41),
      cmdSelectWorld(*this, "cmdSelectWorld", 112, 32, 73, 81),
      cmdBegin(*this, "cmdBegin", 24, 16, 81, 57),
      cmdExit(*this, "cmdExit", 224, 248, 97, 49),
      CmdOptions(*this, "CmdOptions", 24, 72, 81, 57) {
    Caption("Quorvane");
    ClientSize(342, 309);
    StartUpPosition(rt::StartPosition::CenterScreen);
    BorderStyle(rt::vbBSNone);
    const auto skin = GetResource("frmMenu.bmp");
    if (!skin.empty()) Picture(rt::LoadPictureFromMemory(skin.data(), skin.size()));

    for (rt::Label* zone : {&cmdAbout, &cmdSelectWorld, &cmdBegin, &cmdExit, &CmdOptions}) {
        zone->Caption("");
        zone->Transparent(true);
    }
    cmdAbout.Click = [this] { cmdAbout_Click(); };
    cmdSelectWorld.Click = [this] { cmdSelectWorld_Click(); };
    cmdBegin.Click = [this] { cmdBegin_Click(); };
    cmdExit.Click = [this] { cmdExit_Click(); };
    CmdOptions.Click = [this] { CmdOptions_Click(); };
}

void frmMenu::Form_Load() {
    const int32_t window = hWnd();
    SetWindowRgn(window, MakeFormRegion(1.0f, 1.0f, 0, 0), -1);
    ModMain::WindowedMode = rt::True;
}

void frmMenu::cmdBegin_Click() {
    if (ModMain::WorldSelected != rt::True) {
        rt::MsgBox("You must first select a simulation.", 48, "Error! Direction unclear.");
    } else if (ModMain::WindowedMode == rt::True) {
        // The run lives inside this load; during a run the window is already loaded and
        // nothing new starts.
        rt::FormOf<frmWindowed>().Load();
    }
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

void frmMenu::Form_MouseDown(int16_t, int16_t, float, float) { Outline::DragWindow(hWnd()); }

void frmMenu::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) {
    if (UnloadMode != rt::vbFormControlMenu) return;
    Cancel = rt::True;
    cmdExit_Click();
}

int32_t frmMenu::MakeFormRegion(float ScaleX, float ScaleY, int16_t OffsetX, int16_t OffsetY) {
    return Outline::MakeFormRegion(
        Outline::kMenuCount, [this](int16_t i) { return ShapePointX(i); },
        [this](int16_t i) { return ShapePointY(i); }, ScaleX, ScaleY, OffsetX, OffsetY,
        rt::Screen.TwipsPerPixelX, rt::Screen.TwipsPerPixelY, hFormRegion);
}

int16_t frmMenu::ShapePointX(int16_t Index) const {
    return Outline::ShapePointX(Outline::kMenu, Outline::kMenuCount, Index);
}

int16_t frmMenu::ShapePointY(int16_t Index) const {
    return Outline::ShapePointY(Outline::kMenu, Outline::kMenuCount, Index);
}
