// The SDL backend on X11: one SDL window per loaded window, drawn through its window surface, shaped
// with the X Shape extension; the run time's message box as one more window; cursor and URL
// opening.
#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <map>

#include "platform/runtime/errors.h"
#include "platform/win32/backend.h"
#include "platform/win32/form.h"
#include "platform/win32/internals.h"
#include "platform/win32/sdl/keymap.h"

// Last: Xlib defines True and False as macros, which would break the program's constants of
// those names in the headers above.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace rt::detail {

namespace {

int16_t ShiftState() {
    SDL_Keymod m = SDL_GetModState();
    int16_t s = 0;
    if (m & KMOD_SHIFT) s |= vbShiftMask;
    if (m & KMOD_CTRL) s |= vbCtrlMask;
    if (m & KMOD_ALT) s |= vbAltMask;
    return s;
}

int16_t ButtonOf(uint8_t b) {
    switch (b) {
        case SDL_BUTTON_LEFT: return vbLeftButton;
        case SDL_BUTTON_RIGHT: return vbRightButton;
        case SDL_BUTTON_MIDDLE: return vbMiddleButton;
        default: return 0;
    }
}

SDL_Window* WindowOf(Form& f) { return static_cast<SDL_Window*>(StateOf(f).native); }

// The terminal the program runs in has gone (SIGHUP): the program ends as on SIGTERM and SIGINT,
// which SDL turns into its quit event. As SDL does for those, the handler only notes the signal
// (nothing else is safe in a handler); the next Poll queues the end of the program.
volatile std::sig_atomic_t hangUp = 0;

// Left alone when SIGHUP is ignored (started through nohup) or handled already.
void CatchHangUp() {
    struct sigaction current {};
    if (sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return;
    struct sigaction action {};
    action.sa_handler = [](int) { hangUp = 1; };
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGHUP, &action, nullptr);
}

class SdlBackend : public Backend {
public:
    bool Headless() const override { return false; }

    void CreateWindow(Form& form) override {
        FormState& st = StateOf(form);
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (form.BorderStyle() == 0) flags |= SDL_WINDOW_BORDERLESS;
        SDL_Window* w = SDL_CreateWindow(form.Caption().c_str(), form.Left(), form.Top(), std::max(1, form.Width()),
                                         std::max(1, form.Height()), flags);
        if (!w) Raise(ErrOutOfMemory, std::string("Out of memory (the window could not be made: ") + SDL_GetError() + ")");
        st.native = w;
        st.nativeId = SDL_GetWindowID(w);
        windows_[st.nativeId] = st.hWnd;
        // Making the surface can replace the native X window; do it before any shape is set.
        SDL_GetWindowSurface(w);
        xwindow_[st.hWnd] = XWindowOf(w);
        if (!display_) display_ = XDisplayOf(w);
    }

    void DestroyWindow(Form& form) override {
        FormState& st = StateOf(form);
        if (!st.native) return;
        windows_.erase(st.nativeId);
        xwindow_.erase(st.hWnd);
        const bool hadKeyboard = !shuttingDown_ && HasKeyboard(WindowOf(form));
        SDL_DestroyWindow(WindowOf(form));
        st.native = nullptr;
        st.nativeId = 0;
        if (hadKeyboard) PassKeyboardOn(form);
    }

    void ShowWindow(Form& form, bool show) override {
        SDL_Window* w = WindowOf(form);
        if (!w) return;
        if (show) {
            ApplyShape(form);
            SDL_ShowWindow(w);  // returns once the window is mapped
            SDL_SetWindowPosition(w, form.Left(), form.Top());
            Activate(w);
            Present(form);
        } else {
            const bool hadKeyboard = HasKeyboard(w);
            SDL_HideWindow(w);
            if (hadKeyboard) PassKeyboardOn(form);
        }
    }

    void MoveWindow(Form& form) override {
        if (SDL_Window* w = WindowOf(form)) SDL_SetWindowPosition(w, form.Left(), form.Top());
    }

    // Title and icon.
    void SetTitle(Form& form) override {
        SDL_Window* w = WindowOf(form);
        if (!w) return;
        SDL_SetWindowTitle(w, form.Caption().c_str());
        const StdPicture& icon = form.Icon();
        if (icon.Empty()) return;
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(icon.Pixels.data()), icon.Width,
                                                            icon.Height, 32, icon.Width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (!s) return;
        SDL_SetWindowIcon(w, s);
        SDL_FreeSurface(s);
    }

    void ApplyShape(Form& form) override {
        SDL_Window* w = WindowOf(form);
        if (!w) return;
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return;
        Display* dpy = info.info.x11.display;
        ::Window xw = info.info.x11.window;
        xwindow_[StateOf(form).hWnd] = xw;
        const auto& shape = StateOf(form).shape;
        if (!shape) {
            XShapeCombineMask(dpy, xw, ShapeBounding, 0, 0, None, ShapeSet);
        } else {
            std::vector<XRectangle> rects;
            for (const PixelRect& r : shape->Rectangles()) {
                // X rectangles are 16-bit: keep to what a window can show.
                int32_t l = std::clamp(r.left, -32768, 32767), t = std::clamp(r.top, -32768, 32767);
                int32_t rr = std::clamp(r.right, l, l + 65535), bb = std::clamp(r.bottom, t, t + 65535);
                if (rr <= l || bb <= t) continue;
                rects.push_back({static_cast<short>(l), static_cast<short>(t), static_cast<unsigned short>(rr - l),
                                 static_cast<unsigned short>(bb - t)});
            }
            XShapeCombineRectangles(dpy, xw, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()),
                                    ShapeSet, YXBanded);
        }
        XFlush(dpy);
    }

    void Present(Form& form) override {
        SDL_Window* w = WindowOf(form);
        FormState& st = StateOf(form);
        if (!w || st.pixels.empty()) return;
        SDL_Surface* s = SDL_GetWindowSurface(w);
        if (!s) return;
        if (XWindowOf(w) != xwindow_[st.hWnd]) ApplyShape(form);  // the native window was replaced
        CopyToWindow(w, s, st.pixels.data(), form.Width(), form.Height());
    }

    void Poll(std::deque<Event>& q) override {
        SDL_Event ev;
        while (SDL_PollEvent(&ev)) Translate(ev, q);
        if (hangUp) {
            hangUp = 0;
            q.push_back({Event::EvQuit});
        }
    }

    // Waits on the X connection itself rather than in SDL_WaitEventTimeout: while SDL waits, each
    // event it queues also sends a wake-up message to one of our windows over a second X
    // connection, and when that window is destroyed right after (Exit unloading every window),
    // the message can reach the server after the window is gone and end the program with an X
    // error (BadWindow).
    void Wait(int ms) override {
        ms = std::max(ms, 1);
        SDL_PumpEvents();
        if (hangUp || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
        if (!display_) {
            SDL_Delay(static_cast<Uint32>(ms));
            return;
        }
        if (XPending(display_) > 0) return;  // already read from the connection
        pollfd p{ConnectionNumber(display_), POLLIN, 0};
        ::poll(&p, 1, ms);
    }

    // The message box is a borderless window of its own, drawn by the run time, above the
    // program's windows and given the keyboard as any shown window is.
    bool ShowMessageBox(const MessageBoxView& box, std::string& why) override {
        SDL_Window* w = SDL_CreateWindow(box.title.c_str(), box.left, box.top, std::max(1, box.width),
                                         std::max(1, box.height), SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
        if (!w) {
            why = SDL_GetError();
            return false;
        }
        box_ = w;
        boxId_ = SDL_GetWindowID(w);
        boxWidth_ = box.width;
        boxHeight_ = box.height;
        SDL_GetWindowSurface(w);
        if (!display_) display_ = XDisplayOf(w);
        // A window manager keeps it above its owner.
        if (Form* owner = TopWindow())
            if (SDL_Window* o = WindowOf(*owner)) SDL_SetWindowModalFor(w, o);
        SDL_ShowWindow(w);
        SDL_SetWindowPosition(w, box.left, box.top);
        Activate(w);
        PresentMessageBox(*box.pixels);
        return true;
    }

    void PresentMessageBox(const std::vector<uint32_t>& pixels) override {
        if (!box_ || pixels.size() != static_cast<size_t>(boxWidth_) * boxHeight_) return;
        if (SDL_Surface* s = SDL_GetWindowSurface(box_)) CopyToWindow(box_, s, pixels.data(), boxWidth_, boxHeight_);
    }

    void CloseMessageBox() override {
        if (!box_) return;
        SDL_DestroyWindow(box_);
        box_ = nullptr;
        boxId_ = 0;
        // The keyboard goes back to the program's top-most window.
        if (!shuttingDown_)
            if (Form* top = TopWindow())
                if (SDL_Window* w = WindowOf(*top)) Activate(w);
    }

    void CursorVisible(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

    bool OpenURL(const std::string& url) override { return SDL_OpenURL(url.c_str()) == 0; }

    uint32_t Ticks() override { return MonotonicTicks(); }

    void Drag(Form& form) override {
        SDL_Window* w = WindowOf(form);
        if (!w) return;
        int gx0 = 0, gy0 = 0;
        if (SDL_GetGlobalMouseState(&gx0, &gy0) == 0) return;  // no button held any more
        int wx0 = form.Left(), wy0 = form.Top();
        for (;;) {
            SDL_PumpEvents();
            int gx = 0, gy = 0;
            Uint32 buttons = SDL_GetGlobalMouseState(&gx, &gy);
            int nx = wx0 + gx - gx0, ny = wy0 + gy - gy0;
            if (nx != form.Left() || ny != form.Top()) {
                SetPositionFromSystem(form, nx, ny);
                SDL_SetWindowPosition(w, nx, ny);
            }
            if (buttons == 0) break;
            SDL_Delay(5);
        }
        // The release belongs to the move.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEBUTTONUP);
    }

    void ScreenSize(int32_t& width, int32_t& height) override {
        SDL_Rect r{0, 0, 1024, 768};
        SDL_GetDisplayBounds(0, &r);
        width = r.w;
        height = r.h;
    }

    void Shutdown() override {
        shuttingDown_ = true;
        CloseMessageBox();
        for (Form* f : AllForms())
            if (StateOf(*f).native) DestroyWindow(*f);
        SDL_Quit();
    }

private:
    // A window that is shown or clicked comes to the top and takes the keyboard, as on the desktop
    // the program was made for. SDL_RaiseWindow raises it and asks a window manager to activate
    // it; with no window manager nobody answers that request and X keeps the keyboard where it
    // was, so the input focus is also set directly (SDL does that only for a window that is
    // viewable, so a window still on its way to the screen causes no X error).
    static void Activate(SDL_Window* w) {
        SDL_RaiseWindow(w);
        SDL_SetWindowInputFocus(w);
    }

    // True when X gives the keyboard to this window.
    static bool HasKeyboard(SDL_Window* w) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!w || !SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return false;
        ::Window focused = 0;
        int revert = 0;
        XGetInputFocus(info.info.x11.display, &focused, &revert);
        return focused == info.info.x11.window;
    }

    // The window that had the keyboard goes away: as on the desktop, the top-most other shown
    // window takes it, rather than nobody (X would leave the keyboard with no window at all).
    static void PassKeyboardOn(Form& leaving) {
        const auto& z = ZOrder();
        for (auto it = z.rbegin(); it != z.rend(); ++it) {
            Form* f = *it;
            if (f == &leaving || !f->Loaded() || !f->Visible()) continue;
            if (SDL_Window* w = WindowOf(*f)) {
                Activate(w);
                return;
            }
        }
    }

    // Shows width x height pixels (0xAARRGGBB) in the window through its surface `s`.
    static void CopyToWindow(SDL_Window* w, SDL_Surface* s, const uint32_t* pixels, int width, int height) {
        const int cw = std::min(width, s->w), ch = std::min(height, s->h);
        if (cw > 0 && ch > 0) {
            SDL_LockSurface(s);
            SDL_ConvertPixels(cw, ch, SDL_PIXELFORMAT_ARGB8888, pixels, width * 4, s->format->format, s->pixels,
                              s->pitch);
            SDL_UnlockSurface(s);
        }
        SDL_UpdateWindowSurface(w);
    }

    // The top-most shown window of the program.
    static Form* TopWindow() {
        const auto& z = ZOrder();
        for (auto it = z.rbegin(); it != z.rend(); ++it)
            if ((*it)->Loaded() && (*it)->Visible() && WindowOf(**it)) return *it;
        return nullptr;
    }

    static Display* XDisplayOf(SDL_Window* w) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
        return info.info.x11.display;
    }

    static ::Window XWindowOf(SDL_Window* w) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
        return info.info.x11.window;
    }

    Form* FormOfId(Uint32 id) {
        auto it = windows_.find(id);
        return it == windows_.end() ? nullptr : FindFormByHandle(it->second);
    }

    // Events of the message box carry its own handle, in its own pixels.
    bool TranslateBox(const SDL_Event& ev, std::deque<Event>& q) {
        switch (ev.type) {
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (ev.button.windowID != boxId_) return false;
                q.push_back({ev.type == SDL_MOUSEBUTTONDOWN ? Event::EvMouseDown : Event::EvMouseUp, kMessageBoxWindow,
                             ev.button.x, ev.button.y, 0, 0, ButtonOf(ev.button.button), ShiftState(), 0});
                return true;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (ev.key.windowID != boxId_) return false;
                q.push_back({ev.type == SDL_KEYDOWN ? Event::EvKeyDown : Event::EvKeyUp, kMessageBoxWindow, 0, 0, 0, 0,
                             0, ShiftState(), VirtualKeyFromSdl(ev.key.keysym.sym)});
                return true;
            case SDL_WINDOWEVENT:
                if (ev.window.windowID != boxId_) return false;
                if (ev.window.event == SDL_WINDOWEVENT_CLOSE) q.push_back({Event::EvClose, kMessageBoxWindow});
                if (ev.window.event == SDL_WINDOWEVENT_EXPOSED) q.push_back({Event::EvExpose, kMessageBoxWindow});
                return true;
            default:
                return false;
        }
    }

    void Translate(const SDL_Event& ev, std::deque<Event>& q) {
        if (box_ && TranslateBox(ev, q)) return;
        switch (ev.type) {
            case SDL_QUIT:
                // SIGTERM or SIGINT (SDL turns them into this event): the program is to end.
                // Poll queues the same for SIGHUP.
                q.push_back({Event::EvQuit});
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                Form* f = FormOfId(ev.button.windowID);
                int16_t b = ButtonOf(ev.button.button);
                if (!f || !b) return;
                // A press reaches only the window's shape (X clips input to it): it activates,
                // unless a message box is up, which keeps the keyboard and stays on top.
                if (ev.type == SDL_MOUSEBUTTONDOWN)
                    if (SDL_Window* w = box_ ? box_ : WindowOf(*f)) Activate(w);
                Event e{ev.type == SDL_MOUSEBUTTONDOWN ? Event::EvMouseDown : Event::EvMouseUp, StateOf(*f).hWnd,
                        ev.button.x, ev.button.y, f->Left() + ev.button.x, f->Top() + ev.button.y, b, ShiftState(), 0};
                q.push_back(e);
                break;
            }
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                Form* f = FormOfId(ev.key.windowID);
                int16_t vk = VirtualKeyFromSdl(ev.key.keysym.sym);
                if (!f || !vk) return;
                Event e{ev.type == SDL_KEYDOWN ? Event::EvKeyDown : Event::EvKeyUp, StateOf(*f).hWnd, 0, 0, 0, 0, 0,
                        ShiftState(), vk};
                q.push_back(e);
                break;
            }
            case SDL_WINDOWEVENT: {
                Form* f = FormOfId(ev.window.windowID);
                if (!f) return;
                switch (ev.window.event) {
                    case SDL_WINDOWEVENT_CLOSE: q.push_back({Event::EvClose, StateOf(*f).hWnd}); break;
                    case SDL_WINDOWEVENT_EXPOSED: q.push_back({Event::EvExpose, StateOf(*f).hWnd}); break;
                    case SDL_WINDOWEVENT_MOVED: SetPositionFromSystem(*f, ev.window.data1, ev.window.data2); break;
                    default: break;
                }
                break;
            }
            default:
                break;
        }
    }

    bool shuttingDown_ = false;
    SDL_Window* box_ = nullptr;  // the message box, while it is up
    Uint32 boxId_ = 0;
    int boxWidth_ = 0, boxHeight_ = 0;
    Display* display_ = nullptr;  // SDL's connection to the X server, known from the first window
    std::map<Uint32, int32_t> windows_;
    std::map<int32_t, ::Window> xwindow_;
};

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend(std::string& whyNot) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        whyNot = "DISPLAY is not set";
        return nullptr;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Our pixels are drawn in software: window surfaces go to X directly rather than through an
    // OpenGL texture, which would load a GL driver only to copy them.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        whyNot = std::string("cannot open display ") + display + ": " + SDL_GetError();
        return nullptr;
    }
    CatchHangUp();
    return std::make_unique<SdlBackend>();
}

}  // namespace rt::detail
