#include "app/frmOptions.h"

#include "app/menu_flags.h"
#include "platform/win32/runtime.h"

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
    : Outline::ShapedForm("frmOptions", Outline::kOptions, Outline::kOptionsCount),
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
    // The skin is two columns wider than the window; the excess is not shown.
    LoadSkin("frmOptions.bmp");

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
    MakeClickZone(cmdCancel, [this] { cmdCancel_Click(); });
    MakeClickZone(cmdAccept, [this] { cmdAccept_Click(); });
    // The system's close command hides the window like Cancel, so it comes back as it was.
    OnCloseCommand([this] { cmdCancel_Click(); });
}

void frmOptions::Form_Load() {
    ApplyOutline();
    FilePlayer.Path(ModMain::ProgramFolderPath() + "Data\\Models\\Players");
    lstResolution.Clear();
    lstResolution.AddItem("Windowed");
    lstResolution.ListIndex(0);
}

void frmOptions::cmdAccept_Click() { Hide(); }

void frmOptions::cmdCancel_Click() { Hide(); }
