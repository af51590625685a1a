// Composition of a window's pixels: background colour, skin picture, then the controls in
// creation order; text through the shared FreeType text core.
#include "platform/win32/paint.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <memory>
#include <tuple>

#include "platform/media/text_render.h"
#include "platform/win32/backend.h"
#include "platform/win32/controls.h"
#include "platform/win32/frame_scale.h"
#include "platform/win32/internals.h"

namespace rt::detail {

uint32_t ToArgb(int32_t colour) {
    uint32_t c = static_cast<uint32_t>(colour);
    if (c & 0x80000000u) {
        switch (c & 0xFF) {
            case 0x05: return 0xFFFFFFFFu;  // window background
            case 0x08: return 0xFF000000u;  // window text
            case 0x0D: return 0xFF0078D7u;  // highlight
            case 0x0E: return 0xFFFFFFFFu;  // highlight text
            case 0x12: return 0xFF000000u;  // button text
            default: return 0xFFF0F0F0u;    // button face and the rest
        }
    }
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

void FillRect(const Canvas& c, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t argb) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, c.width);
    bottom = std::min(bottom, c.height);
    for (int32_t y = top; y < bottom; ++y) std::fill(c.pixels + y * c.stride + left, c.pixels + y * c.stride + right, argb);
}

namespace {

textrender::Font* FontFor(const StdFont& f) {
    using Key = std::tuple<std::string, int, bool, bool>;
    static std::map<Key, textrender::FontPtr> cache;
    Key key{f.Name, textrender::Font::PointsToPixels(f.Size), f.Bold, f.Italic};
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, textrender::Font::Open(f.Name, std::get<1>(key), f.Bold, f.Italic)).first;
    return it->second.get();
}

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

void DrawTextLine(const Canvas& c, int32_t x, int32_t y, const std::string& text, const StdFont& font,
                  uint32_t argb, int32_t clipLeft, int32_t clipTop, int32_t clipRight, int32_t clipBottom) {
    if (text.empty()) return;
    textrender::Font* f = FontFor(font);
    if (!f) return;
    textrender::Surface s{c.pixels, c.width, c.height, c.stride};
    textrender::Box clip{clipLeft, clipTop, clipRight, clipBottom};
    f->DrawLine(s, x, y, text, argb, clip);
}

int32_t LineHeight(const StdFont& font) {
    textrender::Font* f = FontFor(font);
    return f ? std::max(1, f->LineHeight()) : 13;
}

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
    static thread_local FrameScaler scaler;
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
