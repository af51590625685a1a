// The event pump: the event queue, dispatch of each event to its window's handlers and
// controls, the timers, and DoEvents, which runs what is pending.
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/win32/backend.h"
#include "platform/win32/controls.h"
#include "platform/win32/form.h"
#include "platform/win32/internals.h"
#include "platform/win32/runtime.h"
#include "platform/win32/state.h"

namespace rt {

namespace detail {

std::deque<Event>& EventQueue() { return State().events; }

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

}  // namespace

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

bool ProgramFinished() {
    if (detail::HandlerDepth() > 0) return false;
    for (Form* f : AllForms())
        if (f->Loaded()) return false;
    return true;
}

}  // namespace rt
