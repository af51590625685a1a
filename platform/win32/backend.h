// The seam between the window run time and a display: what a backend implements (Backend), what
// it and the run time hand each other (events, the message box to show), and the factories of
// the two backends, each in a folder of its own: sdl/ for real use and headless/ for tests.
// Internal to the run time; the run time's own workings are in internals.h.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace rt {
class Form;
}  // namespace rt

namespace rt::detail {

// The handle events of the message box carry (no window of the program has it).
constexpr int32_t kMessageBoxWindow = -1;

struct Event {
    // EvQuit: the program is told to end (SIGTERM, SIGINT); EvAnswer: a scripted answer to the
    // message box that is up.
    enum Kind { EvMouseDown, EvMouseUp, EvMouseMove, EvKeyDown, EvKeyUp, EvClose, EvExpose, EvQuit, EvAnswer };
    Kind kind;
    int32_t hWnd = 0;       // the window it is for (0: none)
    int32_t x = 0, y = 0;   // client pixels of that window (mouse)
    int32_t screenX = 0, screenY = 0;
    int16_t button = 0;     // vbLeftButton ... (mouse)
    int16_t shift = 0;      // vbShiftMask ...
    int16_t keyCode = 0;    // virtual-key code (keys)
    int32_t answer = 0;     // the button's value (EvAnswer)
};

// A message box to show: already laid out and painted (width x height pixels, 0xAARRGGBB) and
// placed on the screen.
struct MessageBoxView {
    std::string title;
    std::string text;
    int32_t buttons = 0;
    int32_t defaultAnswer = 0;  // the answer of the button marked at first
    int32_t left = 0, top = 0, width = 0, height = 0;
    const std::vector<uint32_t>* pixels = nullptr;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual bool Headless() const = 0;
    // The native window of a form being loaded: made hidden at the form's Left/Top and size;
    // raises a run-time error when it cannot be made.
    virtual void CreateWindow(Form& form) = 0;
    virtual void DestroyWindow(Form& form) = 0;
    virtual void ShowWindow(Form& form, bool show) = 0;
    virtual void MoveWindow(Form& form) = 0;
    virtual void SetTitle(Form& form) = 0;  // caption and icon
    // Applies the form's shape (or its absence) to the native window.
    virtual void ApplyShape(Form& form) = 0;
    // The form's pixels changed: show them.
    virtual void Present(Form& form) = 0;
    // Appends the events the display has for us.
    virtual void Poll(std::deque<Event>& queue) = 0;
    // Blocks until the display has an event or `ms` pass.
    virtual void Wait(int ms) = 0;
    // The message box window: shown above the program's windows with the keyboard; its events
    // carry the handle kMessageBoxWindow. False (and why) when it cannot be shown. One at a time.
    virtual bool ShowMessageBox(const MessageBoxView& box, std::string& why) = 0;
    virtual void PresentMessageBox(const std::vector<uint32_t>& pixels) = 0;
    virtual void CloseMessageBox() = 0;
    virtual void CursorVisible(bool visible) = 0;
    virtual bool OpenURL(const std::string& url) = 0;
    virtual uint32_t Ticks() = 0;
    // Moves the form with the mouse until the button is released.
    virtual void Drag(Form& form) = 0;
    virtual void ScreenSize(int32_t& width, int32_t& height) = 0;
    virtual void Shutdown() {}
};

std::unique_ptr<Backend> MakeSdlBackend(std::string& whyNot);  // null when no display
std::unique_ptr<Backend> MakeHeadlessBackend();

// Milliseconds of the system's steady clock, 32 bits, wrapping: the clock of a backend that
// keeps none of its own.
uint32_t MonotonicTicks();

}  // namespace rt::detail
