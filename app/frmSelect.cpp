#include "app/frmSelect.h"

#include "app/menu_flags.h"
#include "platform/runtime/errors.h"
#include "platform/win32/runtime.h"
#include "resources/resources.h"

frmSelect::frmSelect()
    : Outline::ShapedForm("frmSelect", Outline::kSelect, Outline::kSelectCount),
      fileWorld(*this, "fileWorld", 24, 32, 145, 80),
      cmdAccept(*this, "cmdAccept", 136, 120, 97, 41),
      cmdCancel(*this, "cmdCancel", 144, 176, 73, 49) {
    Caption("Quorvane -- Select Simulation");
    ClientSize(253, 231);
    Move(385, 268);
    // The skin is one column and one row larger than the window; the excess is not shown.
    LoadSkin("frmSelect.bmp");
    const auto icon = GetResource("frmSelect.ico");
    if (!icon.empty()) Icon(rt::LoadIconFromMemory(icon.data(), icon.size()));

    fileWorld.Pattern("*.map");
    fileWorld.BackColor(rt::RGB(255, 255, 128));
    MakeClickZone(cmdAccept, [this] { cmdAccept_Click(); });
    MakeClickZone(cmdCancel, [this] { cmdCancel_Click(); });
    // The system's close command hides the window like Cancel, keeping the list and highlight.
    OnCloseCommand([this] { cmdCancel_Click(); });
}

void frmSelect::Form_Load() {
    ApplyOutline();
    fileWorld.Path(ModMain::ProgramFolderPath() + "Data\\Maps\\");
}

void frmSelect::cmdAccept_Click() {
    ModMain::WorldSelected = rt::True;
    Hide();
}

void frmSelect::cmdCancel_Click() { Hide(); }
