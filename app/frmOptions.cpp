#include "app/frmOptions.h"

#include "app/menu_flags.h"
#include "app/outline/make_form_region.h"
#include "platform/win32/regions.h"
#include "platform/win32/runtime.h"
#include "resources/resources.h"

namespace {

rt::StdFont ComicSans() {
    rt::StdFont font;
    font.Name = "Comic Sans MS";
    font.Size = 8.25f;
    font.Bold = false;
    return font;
}

}  // namespace

frmOptions::frmOptions()
    : rt::Form("frmOptions"),
      FilePlayer(*this, "FilePlayer", 16, 32, 105, 67),
      picPlayer(*this, "picPlayer", 128, 48, 137, 209),
      lstResolution(*this, "lstResolution", 16, 112, 105, 47),
      Label3(*this, "Label3", 16, 16, 105, 17),
      Label1(*this, "Label1", 16, 96, 105, 17),
      cmdCancel(*this, "cmdCancel", 128, 280, 129, 25),
      cmdAccept(*this, "cmdAccept", 112, 264, 161, 17) {
    Caption("Quorvane -- Options");
    ClientSize(318, 320);
    Move(353, 227);
    BorderStyle(rt::vbBSNone);
    // The skin is two columns wider than the window; the excess is not shown.
    const auto skin = GetResource("frmOptions.bmp");
    if (!skin.empty()) Picture(rt::LoadPictureFromMemory(skin.data(), skin.size()));

    FilePlayer.Pattern("*.zemobj");
    FilePlayer.BackColor(rt::RGB(128, 255, 128));
    picPlayer.BackColor(rt::RGB(128, 255, 128));
    lstResolution.BackColor(rt::RGB(128, 255, 128));
    lstResolution.ForeColor(rt::RGB(0, 0, 0));
    lstResolution.Font(ComicSans());
    // The list as the window is designed; the load handler replaces these before it is seen.
    for (const char* item : {"Windowed", "640 x 480", "800 x 600", "1024 x 768", "1280 x 1024",
                             "1600 x 1200 !!", "2048 x 1536 !!!!"})
        lstResolution.AddItem(item);
    Label3.Caption("Player:");
    Label3.Transparent(true);
    Label3.Font(ComicSans());
    Label1.Caption("Resolution :");
    Label1.Transparent(true);
    Label1.Font(ComicSans());
    for (rt::Label* zone : {&cmdCancel, &cmdAccept}) {
        zone->Caption("");
        zone->Transparent(true);
    }
    cmdCancel.Click = [this] { cmdCancel_Click(); };
    cmdAccept.Click = [this] { cmdAccept_Click(); };
}

void frmOptions::Form_Load() {
    const int32_t window = hWnd();
    SetWindowRgn(window, MakeFormRegion(1.0f, 1.0f, 0, 0), -1);
    FilePlayer.Path(ModMain::ProgramFolderPath() + "Data\\Models\\Players");
    lstResolution.Clear();
    lstResolution.AddItem("Windowed");
    lstResolution.ListIndex(0);
}

void frmOptions::cmdAccept_Click() { Hide(); }

void frmOptions::cmdCancel_Click() { Hide(); }

void frmOptions::Form_MouseDown(int16_t, int16_t, float, float) { Outline::DragWindow(hWnd()); }

void frmOptions::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) {
    if (UnloadMode != rt::vbFormControlMenu) return;
    Cancel = rt::True;
    cmdCancel_Click();
}

int32_t frmOptions::MakeFormRegion(float ScaleX, float ScaleY, int16_t OffsetX, int16_t OffsetY) {
    return Outline::MakeFormRegion(
        Outline::kOptionsCount, [this](int16_t i) { return ShapePointX(i); },
        [this](int16_t i) { return ShapePointY(i); }, ScaleX, ScaleY, OffsetX, OffsetY,
        rt::Screen.TwipsPerPixelX, rt::Screen.TwipsPerPixelY, hFormRegion);
}

int16_t frmOptions::ShapePointX(int16_t Index) const {
    return Outline::ShapePointX(Outline::kOptions, Outline::kOptionsCount, Index);
}

int16_t frmOptions::ShapePointY(int16_t Index) const {
    return Outline::ShapePointY(Outline::kOptions, Outline::kOptionsCount, Index);
}
