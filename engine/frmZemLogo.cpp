#include "engine/frmZemLogo.h"

#include "engine/zemdx.h"
#include "platform/win32/runtime.h"
#include "resources/resources.h"

namespace {

// The embedded splash picture; a build without it shows the bare window.
rt::StdPicture SplashPicture() {
    auto bytes = GetResource("frmZemLogo.bmp");
    if (bytes.empty()) return {};
    return rt::LoadPictureFromMemory(bytes.data(), bytes.size());
}

}  // namespace

frmZemLogo::frmZemLogo() : rt::Form("frmZemLogo"), Timer1(*this, "Timer1", 1000, true) {
    Caption("Form1");
    BorderStyle(rt::vbBSNone);
    ClientSize(182, 127);
    StartUpPosition(rt::StartPosition::CenterScreen);
    Picture(SplashPicture());
    Timer1.OnTimer = [this] { Timer1_Timer(); };
}

void frmZemLogo::Form_Load() {
    // The window keeps its controls between loads; like the rest of its window data the timer
    // starts every load afresh, running from the load.
    Timer1.Enabled(true);
    Show();
}

void frmZemLogo::Timer1_Timer() {
    ZemDx::LogoDone = rt::True;
    Timer1.Enabled(false);
}
