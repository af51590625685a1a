// The window run time's program-wide services: the event pump, message boxes, program end,
// the Screen and App objects, pictures, fonts and colours.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/media/stdfont.h"

namespace rt {

// Colours are 0x00BBGGRR, as RGB(r, g, b) builds them.
constexpr int32_t RGB(int r, int g, int b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

// A picture: 0xAARRGGBB pixels, row by row from the top.
struct StdPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
    bool Empty() const { return Width <= 0 || Height <= 0; }
};
// Decodes an image file (BMP, PNG, ...). ErrFileNotFound when the file is missing or is not a
// regular file, ErrOutOfMemory when it is too large to be a picture, ErrInvalidPicture when it
// cannot be decoded.
StdPicture LoadPicture(const std::string& path);
StdPicture LoadPictureFromMemory(const void* data, size_t size);
// The first image of an icon file in memory (a bitmap of 1 to 32 bits per pixel), with the
// pixels that the icon's mask leaves out made fully transparent. ErrInvalidPicture when the
// bytes are not such an icon.
StdPicture LoadIconFromMemory(const void* data, size_t size);

// The font of a control's text: the platform's one font object.
using ::StdFont;

// Runs every pending event's handler and every due timer (each at most once), then returns.
// Handlers may call it again.
void DoEvents();

// Message box buttons and icons (add one of each) and the answers.
constexpr int32_t vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3,
                  vbYesNo = 4, vbRetryCancel = 5;
constexpr int32_t vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64;
constexpr int32_t vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6,
                  vbNo = 7;
// Message box, modal for the whole program: while it is up, clicks, keys and close commands
// meant for the program's other windows are dropped (they repaint, but no handler or timer
// runs). Returns the button pressed. An empty title shows App.Title.
int32_t MsgBox(const std::string& text, int32_t buttons = vbOKOnly, const std::string& title = "");

// Ends the program at once with exit status 0; no unload handler runs.
[[noreturn]] void End();

// Shows the error box of an error nothing trapped ("Run-time error 'N':", a blank line, the
// text; titled App.Title), writes the same to standard error and ends with exit status 1.
[[noreturn]] void FatalRuntimeError(int number, const std::string& text);

// Runs `start` (which shows the first window) on the real display, then pumps events until the
// last window is gone and no handler is running; returns the exit status. Without an X display
// it says so on standard error (with the xvfb-run command that starts this program) and returns
// 2. Run-time errors that nothing traps, in `start` or any handler, end the program through
// FatalRuntimeError. From here on, a write to a pipe whose reader has gone fails quietly rather
// than ending the program.
int RunProgram(const std::function<void()>& start);

// Shows a frame scaled into the window or picture box `hWnd`; unknown handles are ignored. The
// Direct3D device's Present comes here, on every backend, through the present hook the run time
// installs when it chooses its backend.
void PresentToWindow(int32_t hWnd, const uint32_t* argb, int width, int height);

// True when no window is loaded and no handler is running: the program is over.
bool ProgramFinished();

struct ScreenObject {
    float TwipsPerPixelX = 15.0f;
    float TwipsPerPixelY = 15.0f;
    // Screen size in pixels (the display's, or 1024 x 768 without one).
    int32_t WidthPixels() const;
    int32_t HeightPixels() const;
};
extern ScreenObject Screen;

struct AppObject {
    std::string Title = "Quorvane";
    // The program's folder in the program's path style ("\opt\quorvane", no trailing separator
    // unless it is the root), so App.Path() + "\Data\Maps\" names the host folder.
    std::string Path() const;
};
extern AppObject App;

}  // namespace rt
