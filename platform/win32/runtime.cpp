// The run time's program-wide services: backend choice, the event queue and pump, dispatch of
// events to handlers, timers, message boxes and the program's end.
#include "platform/win32/runtime.h"

#include "platform/runtime/lsan.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "platform/d3d8/present.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/paths.h"
#include "platform/win32/backend.h"
#include "platform/win32/controls.h"
#include "platform/win32/internals.h"
#include "platform/win32/state.h"

namespace rt {

ScreenObject Screen;
AppObject App;

namespace detail {

namespace {
std::unique_ptr<Backend>& BackendSlot() { return State().backend; }
int& Depth() { return State().handlerDepth; }
}  // namespace

Backend& CurrentBackend() {
    auto& b = BackendSlot();
    if (!b) SetBackend(MakeHeadlessBackend());
    return *b;
}

bool HasBackend() { return BackendSlot() != nullptr; }

void SetBackend(std::unique_ptr<Backend> backend) {
    BackendSlot() = std::move(backend);
    if (!BackendSlot()) return;
    // Whatever the backend, frames the Direct3D device presents go into the window or picture
    // box they name. The headless backend's tests also look at whole frames, so there the
    // device keeps the last one as well.
    d3d8::SetPresentHandler([](int32_t hWnd, const uint32_t* argb, int width, int height) {
        PresentToWindow(hWnd, argb, width, height);
    }, BackendSlot()->Headless());
}

std::deque<Event>& EventQueue() { return State().events; }

int HandlerDepth() { return Depth(); }
void EnterHandler() { ++Depth(); }
void LeaveHandler() { --Depth(); }

void UntrappedError(const std::exception& e) {
    // The box shows the error's text and, below it, what the error is about when that is known.
    if (auto* re = dynamic_cast<const RuntimeError*>(&e))
        FatalRuntimeError(re->Number(), re->Detail().empty() ? re->Text() : re->Text() + "\n\n" + re->Detail());
    if (dynamic_cast<const std::bad_alloc*>(&e)) FatalRuntimeError(ErrOutOfMemory, ErrorText(ErrOutOfMemory));
    FatalRuntimeError(ErrInternal, std::string("Internal error: ") + e.what());
}

namespace {

Control* ControlAt(Form& f, int32_t x, int32_t y) {
    const auto& cs = f.Controls();
    for (auto it = cs.rbegin(); it != cs.rend(); ++it) {
        Control* c = *it;
        if (c->Visible() && c->Enabled() && c->Width() > 0 && c->Height() > 0 && c->Contains(x, y))
            return c;
    }
    return nullptr;
}

void DispatchKey(Form& f, FormState& st, const Event& e) {
    int16_t key = e.keyCode, shift = e.shift;
    bool down = e.kind == Event::EvKeyDown;
    Control* target = st.focus;
    if (target && (!target->Visible() || !target->Enabled())) target = nullptr;
    if (f.KeyPreview() || !target) {
        RunHandler([&] {
            if (down) f.Form_KeyDown(key, shift);
            else f.Form_KeyUp(key, shift);
        });
    }
    if (target && key != 0 && f.Loaded()) {
        RunHandler([&] {
            if (down) target->KeyDown(key, shift);
            else target->KeyUp(key, shift);
        });
    }
}

}  // namespace

namespace {

// The program is told to end: as the menu's Exit does, every loaded window is unloaded (the one
// made last first); a run in progress then sees its window gone, and the program ends.
void UnloadEveryWindow() {
    const std::vector<Form*> forms = AllForms();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it)
        if ((*it)->Loaded()) (*it)->Unload();
}

}  // namespace

void Dispatch(const Event& e) {
    if (e.kind == Event::EvQuit) {
        UnloadEveryWindow();
        return;
    }
    Form* f = FindFormByHandle(e.hWnd);
    if (!f || !f->Loaded()) return;
    FormState& st = StateOf(*f);
    switch (e.kind) {
        case Event::EvMouseDown: {
            if (st.shape && !st.shape->Contains(e.x, e.y)) return;
            if (e.x < 0 || e.y < 0 || e.x >= f->Width() || e.y >= f->Height()) return;
            RaiseWindow(*f);
            Control* c = ControlAt(*f, e.x, e.y);
            st.pressed = c;
            st.pressedSurface = c == nullptr;
            if (c) {
                if (c->CanFocus()) st.focus = c;
                RunHandler([&] { c->MouseDown(e.button, e.shift, e.x - c->Left(), e.y - c->Top()); });
            } else {
                RunHandler([&] { f->Form_MouseDown(e.button, e.shift, float(e.x), float(e.y)); });
            }
            break;
        }
        case Event::EvMouseUp: {
            Control* c = st.pressed;
            bool surface = st.pressedSurface;
            st.pressed = nullptr;
            st.pressedSurface = false;
            if (c) RunHandler([&] { c->MouseUp(e.button, e.shift, e.x - c->Left(), e.y - c->Top()); });
            else if (surface) RunHandler([&] { f->Form_MouseUp(e.button, e.shift, float(e.x), float(e.y)); });
            break;
        }
        case Event::EvKeyDown:
        case Event::EvKeyUp:
            DispatchKey(*f, st, e);
            break;
        case Event::EvClose:
            CloseForm(*f, vbFormControlMenu);
            break;
        case Event::EvExpose:
            Repaint(*f, true);
            break;
        case Event::EvMouseMove:
        case Event::EvQuit:
        case Event::EvAnswer:
            break;
    }
}

namespace {

std::vector<Timer*> LiveTimers() {
    std::vector<Timer*> out;
    for (Form* f : AllForms()) {
        if (!f->Loaded()) continue;
        for (Control* c : f->Controls())
            if (auto* t = dynamic_cast<Timer*>(c)) out.push_back(t);
    }
    return out;
}

void FireDueTimers() {
    uint32_t now = CurrentBackend().Ticks();
    std::vector<Timer*> due;
    for (Timer* t : LiveTimers())
        if (t->Due(now)) due.push_back(t);
    for (Timer* t : due)
        if (t->Parent().Loaded() && t->Due(now)) t->Fire(now);
}

// Milliseconds until the next timer falls due (capped).
int NextTimerDelay(int cap) {
    uint32_t now = CurrentBackend().Ticks();
    int best = cap;
    for (Timer* t : LiveTimers()) {
        if (!t->Enabled() || t->Interval() <= 0) continue;
        if (t->Due(now)) return 0;
        for (int step : {1, 2, 5, 10, 20, 50}) {
            if (step >= best) break;
            if (t->Due(now + static_cast<uint32_t>(step))) {
                best = step;
                break;
            }
        }
    }
    return best;
}

bool AnyTimerRunning() {
    for (Timer* t : LiveTimers())
        if (t->Enabled() && t->Interval() > 0) return true;
    return false;
}

}  // namespace

}  // namespace detail

void DoEvents() {
    auto& b = detail::CurrentBackend();
    auto& q = detail::EventQueue();
    b.Poll(q);
    // Only the events pending now: a handler's own pump takes what arrives later.
    size_t n = q.size();
    while (n > 0 && !q.empty()) {
        detail::Event e = q.front();
        q.pop_front();
        --n;
        detail::Dispatch(e);
    }
    detail::FireDueTimers();
    detail::RepaintAll();
}

int32_t MsgBox(const std::string& text, int32_t buttons, const std::string& title) {
    detail::RepaintAll();
    return detail::RunMessageBox(text, title.empty() ? App.Title : title, buttons);
}

void End() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (detail::HasBackend()) detail::CurrentBackend().Shutdown();
#ifdef QV_LSAN
    // Ending at once skips the leak check a sanitizer build makes at a normal exit: make it here,
    // so a run ended by End is checked like one that returns from main.
    __lsan_do_leak_check();
#endif
    std::_Exit(0);
}

void FatalRuntimeError(int number, const std::string& text) {
    static bool inside = false;
    std::string message = "Run-time error '" + std::to_string(number) + "':\n\n" + text;
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    if (!inside && detail::HasBackend()) {
        inside = true;
        detail::RunMessageBox(message, App.Title, vbOKOnly | vbCritical);
        detail::CurrentBackend().Shutdown();
    }
    std::fflush(stdout);
    std::_Exit(1);
}

bool ProgramFinished() {
    if (detail::HandlerDepth() > 0) return false;
    for (Form* f : AllForms())
        if (f->Loaded()) return false;
    return true;
}

int RunProgram(const std::function<void()>& start) {
    if (!detail::HasBackend()) {
        std::string why;
        auto backend = detail::MakeSdlBackend(why);
        if (!backend) {
            std::fprintf(stderr,
                         "%s needs an X display (%s).\n"
                         "Set DISPLAY to a running X server, or run it on a virtual one:\n"
                         "    xvfb-run -a -s \"-screen 0 1280x1024x24\" <program>\n",
                         App.Title.c_str(), why.c_str());
            return 2;
        }
        detail::SetBackend(std::move(backend));
    }
    auto& b = detail::CurrentBackend();
    detail::RunHandler(start);
    for (;;) {
        DoEvents();
        if (ProgramFinished()) break;
        if (b.Headless() && detail::EventQueue().empty() && !detail::AnyTimerRunning()) {
            // Nothing can happen any more without a display to send events.
            b.Shutdown();
            return 3;
        }
        b.Wait(detail::NextTimerDelay(50));
    }
    b.Shutdown();
    return 0;
}

void PresentToWindow(int32_t hWnd, const uint32_t* argb, int width, int height) {
    if (PictureBox* box = detail::FindPictureBox(hWnd)) {
        box->ShowFrame(argb, width, height);
        return;
    }
    Form* f = FindFormByHandle(hWnd);
    if (!f || !f->Loaded() || !argb || width <= 0 || height <= 0) return;
    detail::ShowFrame(*f, argb, width, height);
}

int32_t ScreenObject::WidthPixels() const {
    int32_t w = 0, h = 0;
    detail::CurrentBackend().ScreenSize(w, h);
    return w;
}

int32_t ScreenObject::HeightPixels() const {
    int32_t w = 0, h = 0;
    detail::CurrentBackend().ScreenSize(w, h);
    return h;
}

std::string AppObject::Path() const { return ProgramFolder(); }

}  // namespace rt
