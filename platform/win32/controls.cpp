// Controls: the common base, labels (click zones), picture boxes and timers.
#include "platform/win32/controls.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/media/frame_scale.h"
#include "platform/runtime/errors.h"
#include "platform/win32/backend.h"
#include "platform/win32/internals.h"
#include "platform/win32/paint.h"
#include "platform/win32/state.h"

namespace rt {

Control::Control(Form& parent, std::string name, int32_t left, int32_t top, int32_t width, int32_t height)
    : parent_(parent), name_(std::move(name)), left_(left), top_(top), width_(std::max(width, 0)),
      height_(std::max(height, 0)) {
    parent_.AddControl(this);
}

Control::~Control() = default;

void Control::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (width < 0 || height < 0) Raise(ErrInvalidPropertyValue);
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
}

void Control::Visible(bool v) {
    visible_ = v;
    Invalidate();
}

void Control::MouseDown(int16_t, int16_t, int32_t, int32_t) {}
void Control::MouseUp(int16_t, int16_t, int32_t, int32_t) {}
void Control::KeyDown(int16_t&, int16_t) {}
void Control::KeyUp(int16_t&, int16_t) {}

void Control::Invalidate() { detail::StateOf(parent_).dirty = true; }

Control* detail::FirstFocusable(const Form& form) {
    for (Control* c : form.Controls())
        if (c->CanFocus() && c->Visible()) return c;
    return nullptr;
}

// ---- Label

void Label::Caption(const std::string& c) {
    caption_ = c;
    Invalidate();
}
void Label::Transparent(bool t) {
    transparent_ = t;
    Invalidate();
}
void Label::BackColor(int32_t c) {
    backColor_ = c;
    Invalidate();
}
void Label::ForeColor(int32_t c) {
    foreColor_ = c;
    Invalidate();
}
void Label::Font(const StdFont& f) {
    font_ = f;
    Invalidate();
}

void Label::Paint(uint32_t* argb, int32_t stride, int32_t clientW, int32_t clientH) {
    detail::Canvas c{argb, stride, clientW, clientH};
    int32_t r = Left() + Width(), b = Top() + Height();
    if (!transparent_) detail::FillRect(c, Left(), Top(), r, b, detail::ToArgb(backColor_));
    detail::DrawTextLine(c, Left(), Top(), caption_, font_, detail::ToArgb(foreColor_), Left(), Top(), r, b);
}

void Label::MouseUp(int16_t, int16_t, int32_t x, int32_t y) {
    // A click is a press and a release on the label.
    if (x >= 0 && y >= 0 && x < Width() && y < Height() && Click) Click();
}

// ---- PictureBox

namespace {
std::map<int32_t, PictureBox*>& PictureBoxes() { return detail::State().pictureBoxes; }
}  // namespace

namespace detail {
PictureBox* FindPictureBox(int32_t hWnd) {
    auto it = PictureBoxes().find(hWnd);
    return it == PictureBoxes().end() ? nullptr : it->second;
}
}  // namespace detail

PictureBox::PictureBox(Form& parent, std::string name, int32_t left, int32_t top, int32_t width, int32_t height)
    : Control(parent, std::move(name), left, top, width, height), hWnd_(detail::NewHandle()) {
    PictureBoxes()[hWnd_] = this;
}

PictureBox::~PictureBox() { PictureBoxes().erase(hWnd_); }

void PictureBox::BackColor(int32_t c) {
    backColor_ = c;
    Invalidate();
}

void PictureBox::ShowFrame(const uint32_t* argb, int32_t width, int32_t height) {
    int32_t w = Width(), h = Height();
    if (!argb || width <= 0 || height <= 0 || w <= 0 || h <= 0) return;
    frame_.resize(static_cast<size_t>(w) * h);
    static thread_local media::FrameScaler scaler;
    scaler.Scale(argb, width, height, frame_.data(), w, h, w);
    if (Parent().Loaded()) detail::RepaintOpaqueControl(Parent(), *this);
    else Invalidate();
}

void PictureBox::Paint(uint32_t* argb, int32_t stride, int32_t clientW, int32_t clientH) {
    detail::Canvas c{argb, stride, clientW, clientH};
    if (frame_.empty() || frame_.size() != static_cast<size_t>(Width()) * Height()) {
        detail::FillRect(c, Left(), Top(), Left() + Width(), Top() + Height(), detail::ToArgb(backColor_));
        return;
    }
    const int32_t left = Left(), top = Top(), w = Width();
    const int32_t x0 = std::max(left, 0), x1 = std::min(left + w, clientW);
    const int32_t y0 = std::max(top, 0), y1 = std::min(top + Height(), clientH);
    if (x0 >= x1) return;
    for (int32_t y = y0; y < y1; ++y)
        std::memcpy(argb + static_cast<size_t>(y) * stride + x0,
                    frame_.data() + static_cast<size_t>(y - top) * w + (x0 - left), sizeof(uint32_t) * (x1 - x0));
}

void PictureBox::MouseUp(int16_t, int16_t, int32_t x, int32_t y) {
    if (x >= 0 && y >= 0 && x < Width() && y < Height() && Click) Click();
}

// ---- Timer

Timer::Timer(Form& parent, std::string name, int32_t interval, bool enabled)
    : Control(parent, std::move(name), 0, 0, 0, 0), interval_(std::max(interval, 0)), enabled_(enabled) {
    Control::Visible(false);
}

void Timer::Interval(int32_t ms) {
    if (ms < 0) Raise(ErrInvalidPropertyValue);
    interval_ = ms;
    Restart();
}

void Timer::Enabled(bool on) {
    if (on && !enabled_) Restart();
    enabled_ = on;
}

void Timer::Restart() { start_ = detail::HasBackend() ? detail::CurrentBackend().Ticks() : 0; }

bool Timer::Due(uint32_t now) const {
    return enabled_ && interval_ > 0 && Parent().Loaded() && now - start_ >= static_cast<uint32_t>(interval_);
}

void Timer::Fire(uint32_t now) {
    if (running_) return;
    start_ = now;
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};
    if (OnTimer) detail::RunHandler([&] { OnTimer(); });
}

void detail::RestartTimers(Form& form) {
    for (Control* c : form.Controls())
        if (auto* t = dynamic_cast<Timer*>(c)) t->Restart();
}

}  // namespace rt
