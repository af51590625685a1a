// The headless backend: no display; windows live in memory, events come from the test, message
// boxes are recorded and answered from a queue, and the clock only moves when the test says so.
#include <deque>

#include "platform/win32/backend.h"
#include "platform/win32/form.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/internals.h"
#include "platform/win32/state.h"

namespace rt::headless {

namespace {

struct State {
    uint32_t clock = 0;
    std::vector<MessageBoxRecord> boxes;
    std::deque<int32_t> answers;
    std::vector<std::string> opened;
    bool cursorVisible = true;
    int32_t lastX = 0, lastY = 0;
    int32_t captureWindow = 0;  // the window that took the last press
};

State& S() {
    static State s;
    return s;
}

class HeadlessBackend : public detail::Backend {
public:
    bool Headless() const override { return true; }
    void CreateWindow(Form&) override {}
    void DestroyWindow(Form&) override {}
    void ShowWindow(Form&, bool) override {}
    void MoveWindow(Form&) override {}
    void SetTitle(Form&) override {}
    void ApplyShape(Form&) override {}
    void Present(Form&) override {}
    void Poll(std::deque<detail::Event>&) override {}
    void Wait(int ms) override { S().clock += static_cast<uint32_t>(ms > 0 ? ms : 1); }
    // The box is recorded and answered at once, from the queued answers or by its marked button;
    // the answer comes as an event, after whatever the test queued before.
    bool ShowMessageBox(const detail::MessageBoxView& box, std::string&) override {
        int32_t answer = box.defaultAnswer;
        if (!S().answers.empty()) {
            answer = S().answers.front();
            S().answers.pop_front();
        }
        S().boxes.push_back({box.text, box.title, box.buttons, answer, box.left, box.top, box.width, box.height});
        detail::Event e{detail::Event::EvAnswer, detail::kMessageBoxWindow};
        e.answer = answer;
        detail::EventQueue().push_back(e);
        return true;
    }
    void PresentMessageBox(const std::vector<uint32_t>&) override {}
    void CloseMessageBox() override {}
    void CursorVisible(bool visible) override { S().cursorVisible = visible; }
    bool OpenURL(const std::string& url) override {
        S().opened.push_back(url);
        return true;
    }
    uint32_t Ticks() override { return S().clock; }
    void Drag(Form& form) override {
        // Follows the queued mouse moves up to the release; other events stay queued.
        auto& q = detail::EventQueue();
        int32_t startX = S().lastX, startY = S().lastY;
        int32_t left = form.Left(), top = form.Top();
        for (auto it = q.begin(); it != q.end();) {
            if (it->kind != detail::Event::EvMouseMove && it->kind != detail::Event::EvMouseUp) {
                ++it;
                continue;
            }
            bool up = it->kind == detail::Event::EvMouseUp;
            int32_t x = it->screenX, y = it->screenY;
            it = q.erase(it);
            detail::SetPositionFromSystem(form, left + x - startX, top + y - startY);
            if (up) break;
        }
    }
    void ScreenSize(int32_t& width, int32_t& height) override {
        width = 1280;
        height = 1024;
    }
};

void Post(detail::Event e) { detail::EventQueue().push_back(e); }

Form* ActiveOrNull(int32_t x, int32_t y, int32_t& cx, int32_t& cy) {
    Form* f = WindowAt(x, y);
    if (f) {
        cx = x - f->Left();
        cy = y - f->Top();
    }
    return f;
}

// The window that took the last press gets the moves and the release (mouse capture).
int32_t& CaptureWindow() { return S().captureWindow; }

}  // namespace

void Use() {
    if (!detail::HasBackend() || !detail::CurrentBackend().Headless()) detail::SetBackend(detail::MakeHeadlessBackend());
}

void SetClock(uint32_t ms) { S().clock = ms; }
void AdvanceClock(uint32_t ms) { S().clock += ms; }

void MouseDown(int32_t screenX, int32_t screenY, int16_t button) {
    int32_t cx = 0, cy = 0;
    Form* f = ActiveOrNull(screenX, screenY, cx, cy);
    S().lastX = screenX;
    S().lastY = screenY;
    CaptureWindow() = f ? detail::StateOf(*f).hWnd : 0;
    if (!f) return;  // nothing of ours there
    Post({detail::Event::EvMouseDown, CaptureWindow(), cx, cy, screenX, screenY, button, 0, 0});
}

void MouseMove(int32_t screenX, int32_t screenY) {
    Form* f = FindFormByHandle(CaptureWindow());
    int32_t cx = f ? screenX - f->Left() : 0, cy = f ? screenY - f->Top() : 0;
    Post({detail::Event::EvMouseMove, CaptureWindow(), cx, cy, screenX, screenY, 0, 0, 0});
}

void MouseUp(int32_t screenX, int32_t screenY, int16_t button) {
    Form* f = FindFormByHandle(CaptureWindow());
    int32_t cx = f ? screenX - f->Left() : 0, cy = f ? screenY - f->Top() : 0;
    Post({detail::Event::EvMouseUp, CaptureWindow(), cx, cy, screenX, screenY, button, 0, 0});
}

void Click(int32_t screenX, int32_t screenY, int16_t button) {
    MouseDown(screenX, screenY, button);
    MouseUp(screenX, screenY, button);
}

void MouseDown(Form& form, int32_t x, int32_t y, int16_t button) { MouseDown(form.Left() + x, form.Top() + y, button); }
void MouseUp(Form& form, int32_t x, int32_t y, int16_t button) { MouseUp(form.Left() + x, form.Top() + y, button); }
void Click(Form& form, int32_t x, int32_t y, int16_t button) { Click(form.Left() + x, form.Top() + y, button); }

void KeyDown(Form& form, int16_t keyCode, int repeat) {
    int16_t shift = 0;
    for (int i = 0; i < repeat; ++i)
        Post({detail::Event::EvKeyDown, detail::StateOf(form).hWnd, 0, 0, 0, 0, 0, shift, keyCode});
}

void KeyUp(Form& form, int16_t keyCode) {
    Post({detail::Event::EvKeyUp, detail::StateOf(form).hWnd, 0, 0, 0, 0, 0, 0, keyCode});
}

void Close(Form& form) { Post({detail::Event::EvClose, detail::StateOf(form).hWnd}); }

void Quit() { Post({detail::Event::EvQuit}); }

const std::vector<MessageBoxRecord>& MessageBoxes() { return S().boxes; }
void QueueAnswer(int32_t answer) { S().answers.push_back(answer); }
const std::vector<std::string>& OpenedDocuments() { return S().opened; }

std::vector<uint32_t> WindowPixels(Form& form) {
    if (!form.Loaded()) return {};
    detail::Repaint(form);
    return detail::StateOf(form).pixels;
}

Form* WindowAt(int32_t screenX, int32_t screenY) {
    auto& z = detail::ZOrder();
    for (auto it = z.rbegin(); it != z.rend(); ++it) {
        Form* f = *it;
        if (!f->Loaded() || !f->Visible()) continue;
        int32_t x = screenX - f->Left(), y = screenY - f->Top();
        if (x < 0 || y < 0 || x >= f->Width() || y >= f->Height()) continue;
        const auto& shape = detail::StateOf(*f).shape;
        if (shape && !shape->Contains(x, y)) continue;  // the press passes through
        return f;
    }
    return nullptr;
}

bool CursorVisible() { return S().cursorVisible; }

}  // namespace rt::headless

namespace rt::detail {
std::unique_ptr<Backend> MakeHeadlessBackend() { return std::make_unique<headless::HeadlessBackend>(); }
void ResetHeadlessState() { headless::S() = headless::State{}; }
}  // namespace rt::detail
