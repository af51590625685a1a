// A small program of the window run time for the end-to-end tests: a shaped borderless window
// with a click zone, a file list and a timer, dragged by its surface; Escape ends it. It reports
// what happens on standard output, one line per event. M shows a message box.
//
// Usage: qv_runtime_demo <folder with *.map files>
#include <cstdio>

#include "platform/win32/win32.h"

namespace {

void Say(const std::string& s) {
    std::printf("%s\n", s.c_str());
    std::fflush(stdout);
}

std::string gFolder;

struct DemoWindow : rt::Form {
    DemoWindow() : Form("DemoWindow") {
        Caption("Runtime Demo");
        BorderStyle(rt::vbBSNone);
        ClientSize(300, 200);
        Move(100, 100);
        KeyPreview(true);
        BackColor(rt::RGB(0, 0, 255));
        zone.Transparent(true);
        zone.Click = [this] {
            BackColor(rt::RGB(0, 255, 0));
            Say("click");
        };
        files.Pattern("*.map");
        files.BackColor(rt::RGB(255, 255, 128));
        files.Click = [this] { Say("selected " + files.FileName()); };
        tick.OnTimer = [this] {
            ++ticks;
            if (ticks <= 3) Say("tick " + std::to_string(ticks));
        };
    }
    void Form_Load() override {
        // Outline: the whole client area less the triangle in its top-right corner.
        int32_t whole = CreateRectRgn(0, 0, 300, 200);
        POINTAPI corner[] = {{200, 0}, {300, 0}, {300, 100}};
        int32_t cut = CreatePolygonRgn(corner, 3, ALTERNATE);
        CombineRgn(whole, whole, cut, RGN_DIFF);
        DeleteObject(cut);
        SetWindowRgn(hWnd(), whole, -1);
        files.Path(gFolder);
        Say("loaded");
    }
    void Form_MouseDown(int16_t Button, int16_t, float X, float Y) override {
        Say("press " + std::to_string(Button) + " " + std::to_string(int(X)) + "," + std::to_string(int(Y)));
        ReleaseCapture();
        int32_t zero = 0;
        SendMessageA(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, &zero);
        Say("moved to " + std::to_string(Left()) + "," + std::to_string(Top()));
    }
    void Form_KeyDown(int16_t& KeyCode, int16_t&) override {
        Say("key " + std::to_string(KeyCode));
        if (KeyCode == rt::vbKeyEscape) rt::End();
        if (KeyCode == 'M')
            Say("answer " + std::to_string(rt::MsgBox("Hello from the demo.", rt::vbExclamation, "Demo Box")));
    }

    int ticks = 0;
    rt::Label zone{*this, "zone", 20, 20, 60, 40};
    rt::FileListBox files{*this, "files", 100, 60, 150, 100};
    rt::Timer tick{*this, "tick", 200, true};
};

}  // namespace

int main(int argc, char** argv) {
    gFolder = argc > 1 ? argv[1] : ".";
    return rt::RunProgram([] { rt::FormOf<DemoWindow>().Show(); });
}
