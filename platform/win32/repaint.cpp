// Composition of a window's pixels: background colour, skin picture, then the controls in
// creation order; kept inside the window's shape and handed to the backend to show.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/media/frame_scale.h"
#include "platform/win32/backend.h"
#include "platform/win32/controls.h"
#include "platform/win32/form.h"
#include "platform/win32/internals.h"
#include "platform/win32/paint.h"
#include "platform/win32/runtime.h"

namespace rt::detail {

namespace {

// Clears the pixels of the rectangle [left, right) x [top, bottom) of a window `w` pixels wide
// that lie outside its shape, row by row along the shape's bands.
void ClearOutsideShape(FormState& st, int32_t w, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const auto& bands = st.shape->Bands();
    size_t b = 0;
    for (int32_t y = top; y < bottom; ++y) {
        while (b < bands.size() && bands[b].y1 <= y) ++b;
        uint32_t* row = st.pixels.data() + static_cast<size_t>(y) * w;
        int32_t x = left;
        if (b < bands.size() && bands[b].y0 <= y) {
            for (const Span& sp : bands[b].spans) {
                int32_t x0 = std::clamp(sp.x0, left, right), x1 = std::clamp(sp.x1, left, right);
                if (x0 > x) std::fill(row + x, row + x0, 0u);
                x = std::max(x, x1);
            }
        }
        if (x < right) std::fill(row + x, row + right, 0u);
    }
}

bool Overlap(const Control& a, const Control& b) {
    return a.Left() < b.Left() + b.Width() && b.Left() < a.Left() + a.Width() && a.Top() < b.Top() + b.Height() &&
           b.Top() < a.Top() + a.Height();
}

}  // namespace

void Repaint(Form& form, bool force) {
    FormState& st = StateOf(form);
    if (!st.created) return;
    if (!st.dirty && !force) return;
    int32_t w = form.Width(), h = form.Height();
    st.pixels.assign(static_cast<size_t>(w) * h, ToArgb(form.BackColor()));
    const StdPicture& pic = form.Picture();
    int32_t pw = std::min(pic.Width, w), ph = std::min(pic.Height, h);
    for (int32_t y = 0; y < ph; ++y)
        for (int32_t x = 0; x < pw; ++x) st.pixels[y * w + x] = pic.Pixels[y * pic.Width + x] | 0xFF000000u;
    for (Control* ctl : form.Controls())
        if (ctl->Visible()) ctl->Paint(st.pixels.data(), w, w, h);
    if (st.shape) ClearOutsideShape(st, w, 0, 0, w, h);
    st.dirty = false;
    CurrentBackend().Present(form);
}

void RepaintOpaqueControl(Form& form, Control& ctl) {
    FormState& st = StateOf(form);
    if (!st.created) {
        st.dirty = true;
        return;
    }
    const int32_t w = form.Width(), h = form.Height();
    // Alone: nothing else waits to be shown and no control painted after it overlaps it.
    const auto& controls = form.Controls();
    const auto at = std::find(controls.begin(), controls.end(), &ctl);
    const bool alone = !st.dirty && st.pixels.size() == static_cast<size_t>(w) * h && ctl.Visible() &&
                       (at == controls.end() || std::none_of(std::next(at), controls.end(), [&](const Control* c) {
                            return c->Visible() && Overlap(*c, ctl);
                        }));
    if (!alone) {
        st.dirty = true;
        Repaint(form);
        return;
    }
    ctl.Paint(st.pixels.data(), w, w, h);
    const int32_t left = std::clamp(ctl.Left(), 0, w), right = std::clamp(ctl.Left() + ctl.Width(), 0, w);
    const int32_t top = std::clamp(ctl.Top(), 0, h), bottom = std::clamp(ctl.Top() + ctl.Height(), 0, h);
    if (st.shape && left < right) ClearOutsideShape(st, w, left, top, right, bottom);
    CurrentBackend().Present(form);
}

void ShowFrame(Form& form, const uint32_t* argb, int32_t width, int32_t height) {
    FormState& st = StateOf(form);
    if (!st.created) return;
    const int32_t w = form.Width(), h = form.Height();
    st.pixels.resize(static_cast<size_t>(w) * h);
    static thread_local media::FrameScaler scaler;
    scaler.Scale(argb, width, height, st.pixels.data(), w, h, w);
    if (st.shape) ClearOutsideShape(st, w, 0, 0, w, h);
    st.dirty = false;
    CurrentBackend().Present(form);
}

void RepaintAll() {
    for (Form* f : AllForms())
        if (f->Loaded() && StateOf(*f).dirty) Repaint(*f);
}

}  // namespace rt::detail

namespace rt {

void PresentToWindow(int32_t hWnd, const uint32_t* argb, int width, int height) {
    if (PictureBox* box = detail::FindPictureBox(hWnd)) {
        box->ShowFrame(argb, width, height);
        return;
    }
    Form* f = FindFormByHandle(hWnd);
    if (!f || !f->Loaded() || !argb || width <= 0 || height <= 0) return;
    detail::ShowFrame(*f, argb, width, height);
}

}  // namespace rt
