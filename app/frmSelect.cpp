#include "app/frmSelect.h"

#include "app/menu_flags.h"
#include "app/outline/make_form_region.h"
#include "platform/win32/regions.h"
#include "platform/win32/runtime.h"
#include "resources/resources.h"

frmSelect::frmSelect()
    : rt::Form("frmSelect"),
      fileWorld(*this, "fileWorld", 24, 32, 145, 80),
      cmdAccept(*this, "cmdAccept", 136, 120, 97, 41),
      cmdCancel(*this, "cmdCancel", 144, 176, 73, 49) {
    Caption("Quorvane -- Select Simulation");
    ClientSize(253, 231);
    Move(385, 268);
    BorderStyle(rt::vbBSNone);
    // The skin is one column and one row larger than the window; the excess is not shown.
    const auto skin = GetResource("frmSelect.bmp");
    if (!skin.empty()) Picture(rt::LoadPictureFromMemory(skin.data(), skin.size()));

    fileWorld.Pattern("*.map");
    fileWorld.BackColor(rt::RGB(255, 255, 128));
    for (rt::Label* zone : {&cmdAccept, &cmdCancel}) {
        zone->Caption("");
        zone->Transparent(true);
    }
    cmdAccept.Click = [this] { cmdAccept_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmSelect::Form_Load() {
    const int32_t window = hWnd();
    SetWindowRgn(window, MakeFormRegion(1.0f, 1.0f, 0, 0), -1);
    fileWorld.Path(ModMain::ProgramFolderPath() + "Data\\Maps\\");
}

void frmSelect::cmdAccept_Click() {
    ModMain::WorldSelected = rt::True;
    Hide();
}

void frmSelect::cmdCancel_Click() { Hide(); }

void frmSelect::Form_MouseDown(int16_t, int16_t, float, float) { Outline::DragWindow(hWnd()); }

void frmSelect::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) {
    if (UnloadMode != rt::vbFormControlMenu) return;
    Cancel = rt::True;
    cmdCancel_Click();
}

int32_t frmSelect::MakeFormRegion(float ScaleX, float ScaleY, int16_t OffsetX, int16_t OffsetY) {
    return Outline::MakeFormRegion(
        Outline::kSelectCount, [this](int16_t i) { return ShapePointX(i); },
        [this](int16_t i) { return ShapePointY(i); }, ScaleX, ScaleY, OffsetX, OffsetY,
        rt::Screen.TwipsPerPixelX, rt::Screen.TwipsPerPixelY, hFormRegion);
}

int16_t frmSelect::ShapePointX(int16_t Index) const {
    return Outline::ShapePointX(Outline::kSelect, Outline::kSelectCount, Index);
}

int16_t frmSelect::ShapePointY(int16_t Index) const {
    return Outline::ShapePointY(Outline::kSelect, Outline::kSelectCount, Index);
}
