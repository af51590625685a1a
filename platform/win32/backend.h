// The seam between the window run time and a display: the SDL backend for real use and the
// headless one for tests implement this. Internal to the run time.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/controls.h"
#include "platform/win32/form.h"
#include "platform/win32/region_set.h"

namespace rt::detail {

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

// The chosen backend; the headless one is chosen when none was. Choosing one also installs the
// Direct3D present hook, which shows presented frames through PresentToWindow.
Backend& CurrentBackend();
bool HasBackend();
void SetBackend(std::unique_ptr<Backend> backend);
std::unique_ptr<Backend> MakeSdlBackend(std::string& whyNot);  // null when no display
std::unique_ptr<Backend> MakeHeadlessBackend();

// The run time's event queue (filled by Poll, or by the headless injection calls).
std::deque<Event>& EventQueue();

// Handler nesting: every call into program code goes through RunHandler, which counts the depth
// and turns an error nothing trapped into the error box and program end.
template <class F>
void RunHandler(F&& f);
int HandlerDepth();
void EnterHandler();
void LeaveHandler();
[[noreturn]] void UntrappedError(const std::exception& e);

template <class F>
void RunHandler(F&& f) {
    EnterHandler();
    try {
        f();
    } catch (const std::exception& e) {
        LeaveHandler();
        UntrappedError(e);
    }
    LeaveHandler();
}

// Loaded windows from bottom to top of the stacking order.
std::vector<Form*>& ZOrder();
void RaiseWindow(Form& form);

// Per-window state of the run time.
struct FormState {
    int32_t hWnd = 0;
    bool created = false;                 // the native window exists
    std::optional<RegionSet> shape;       // the window's region, owned by the window
    std::vector<uint32_t> pixels;         // client area, 0xAARRGGBB
    bool dirty = true;
    Control* focus = nullptr;
    Control* pressed = nullptr;           // control that took the last mouse press
    bool pressedSurface = false;          // the last press was on the window's surface
    uint32_t nativeId = 0;                // backend's window id
    void* native = nullptr;               // backend's window object
};

FormState& StateOf(Form& form);
// Composes the window's pixels (background, picture, controls) when dirty and presents them.
void Repaint(Form& form, bool force = false);
// Shows a control that paints every pixel of its rectangle (a picture box with a frame) without
// composing the rest of the window again: its pixels go over the window's last picture, the
// shape is applied to its rectangle alone, and the window is shown. While other changes of the
// window wait, or a control painted after it overlaps it, the whole window is repainted instead,
// so the picture is always the one a whole repaint gives.
void RepaintOpaqueControl(Form& form, Control& ctl);
// Shows a frame (width x height pixels, 0xAARRGGBB) over the whole window: scaled to it, kept
// only inside its shape, and shown. It covers every pixel, so nothing else is composed.
void ShowFrame(Form& form, const uint32_t* argb, int32_t width, int32_t height);
void RepaintAll();
// Sets the position the window system moved a window to, without moving it again.
void SetPositionFromSystem(Form& form, int32_t left, int32_t top);
// Closes a loaded window (mode vbFormCode or vbFormControlMenu) unless a handler cancels.
void CloseForm(Form& form, int16_t mode);
// Dispatches one event to its window's handlers.
void Dispatch(const Event& e);
// Picture box by handle.
PictureBox* FindPictureBox(int32_t hWnd);
int32_t NewHandle();

}  // namespace rt::detail
