#include "app/frmAbout.h"

#include "app/outline/make_form_region.h"
#include "platform/runtime/types.h"
#include "platform/win32/regions.h"
#include "platform/win32/runtime.h"
#include "platform/win32/system.h"
#include "resources/resources.h"

frmAbout::frmAbout()
    : rt::Form("frmAbout"),
      cmdWebsite(*this, "cmdWebsite", 232, 152, 129, 17),
      cmdOk(*this, "cmdOk", 192, 168, 33, 25) {
    Caption("Quorvane -- About");
    ClientSize(371, 207);
    Move(326, 280);
    BorderStyle(rt::vbBSNone);
    const auto skin = GetResource("frmAbout.bmp");
    if (!skin.empty()) Picture(rt::LoadPictureFromMemory(skin.data(), skin.size()));

    for (rt::Label* zone : {&cmdWebsite, &cmdOk}) {
        zone->Caption("");
        zone->Transparent(true);
    }
    cmdWebsite.Click = [this] { cmdWebsite_Click(); };
    cmdOk.Click = [this] { cmdOk_Click(); };
}

void frmAbout::Form_Load() {
    const int32_t window = hWnd();
    SetWindowRgn(window, MakeFormRegion(1.0f, 1.0f, 0, 0), -1);
}

void frmAbout::cmdOk_Click() { Hide(); }

void frmAbout::cmdWebsite_Click() {
    ShellExecuteA(0, nullptr, kAuthorWebPage, nullptr, "C:\\", SW_SHOWNORMAL);
}

void frmAbout::Form_MouseDown(int16_t, int16_t, float, float) { Outline::DragWindow(hWnd()); }

void frmAbout::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) {
    if (UnloadMode != rt::vbFormControlMenu) return;
    Cancel = rt::True;
    cmdOk_Click();
}

int32_t frmAbout::MakeFormRegion(float ScaleX, float ScaleY, int16_t OffsetX, int16_t OffsetY) {
    return Outline::MakeFormRegion(
        Outline::kAboutCount, [this](int16_t i) { return ShapePointX(i); },
        [this](int16_t i) { return ShapePointY(i); }, ScaleX, ScaleY, OffsetX, OffsetY,
        rt::Screen.TwipsPerPixelX, rt::Screen.TwipsPerPixelY, hFormRegion);
}

int16_t frmAbout::ShapePointX(int16_t Index) const {
    return Outline::ShapePointX(Outline::kAbout, Outline::kAboutCount, Index);
}

int16_t frmAbout::ShapePointY(int16_t Index) const {
    return Outline::ShapePointY(Outline::kAbout, Outline::kAboutCount, Index);
}
