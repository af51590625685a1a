// The window run time's own workings, shared by its files and its backends: the chosen backend
// and the event queue, handler nesting and dispatch, per-window state and stacking order,
// composing and showing a window's pixels, and the message box's modal loop. Internal to the run
// time; what a backend implements is in backend.h.
#pragma once
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/backend.h"
#include "platform/win32/region_set.h"

namespace rt {
class Control;
class Form;
class PictureBox;
}  // namespace rt

namespace rt::detail {

// ---- Backend and handler nesting (runtime.cpp)

// The chosen backend; the headless one is chosen when none was. Choosing one also installs the
// Direct3D present hook, which shows presented frames through PresentToWindow.
Backend& CurrentBackend();
bool HasBackend();
void SetBackend(std::unique_ptr<Backend> backend);

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

// ---- Events and timers (events.cpp)

// The run time's event queue (filled by Poll, or by the headless injection calls).
std::deque<Event>& EventQueue();
// Dispatches one event to its window's handlers.
void Dispatch(const Event& e);
// Milliseconds until the next timer of a loaded window falls due, at most `cap`.
int NextTimerDelay(int cap);
// True while a loaded window has a timer that is enabled with an interval.
bool AnyTimerRunning();

// ---- Windows (form.cpp)

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
// Loaded windows from bottom to top of the stacking order.
std::vector<Form*>& ZOrder();
void RaiseWindow(Form& form);
// Sets the position the window system moved a window to, without moving it again.
void SetPositionFromSystem(Form& form, int32_t left, int32_t top);
// Closes a loaded window (mode vbFormCode or vbFormControlMenu) unless a handler cancels.
void CloseForm(Form& form, int16_t mode);
// A new window, picture box or region handle.
int32_t NewHandle();

// ---- Controls (controls.cpp)

// The control that has the keyboard when the window loads: the first one that can take it and
// is visible; null when none.
Control* FirstFocusable(const Form& form);
// Counts every timer of the window from now (as the window loads).
void RestartTimers(Form& form);
// Picture box by handle.
PictureBox* FindPictureBox(int32_t hWnd);

// ---- Showing a window's pixels (repaint.cpp)

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

// ---- The message box (msgbox.cpp)

// Shows the box and waits for its answer. Meanwhile windows are repainted when the display asks,
// and every click, key and close command meant for another window of the program is dropped.
// The end of the program, asked for meanwhile, answers the box (QuitAnswer) and stays queued.
int32_t RunMessageBox(const std::string& text, const std::string& title, int32_t buttons);

}  // namespace rt::detail
