#include "app/frmAbout.h"

#include "platform/win32/system.h"

frmAbout::frmAbout()
    : Outline::ShapedForm("frmAbout", Outline::kAbout, Outline::kAboutCount),
      cmdWebsite(*this, "cmdWebsite", 232, 152, 129, 17),
      cmdOk(*this, "cmdOk", 192, 168, 33, 25) {
    Caption("Quorvane -- About");
    ClientSize(371, 207);
    Move(326, 280);
    LoadSkin("frmAbout.bmp");

    MakeClickZone(cmdWebsite, [this] { cmdWebsite_Click(); });
    MakeClickZone(cmdOk, [this] { cmdOk_Click(); });
    // The system's close command hides the window like Ok.
    OnCloseCommand([this] { cmdOk_Click(); });
}

void frmAbout::Form_Load() { ApplyOutline(); }

void frmAbout::cmdOk_Click() { Hide(); }

void frmAbout::cmdWebsite_Click() {
    ShellExecuteA(0, nullptr, kAuthorWebPage, nullptr, "C:\\", SW_SHOWNORMAL);
}
