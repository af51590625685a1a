#include "tools/art/canvas.h"

#include <algorithm>
#include <cmath>

namespace Art {

Rgb Hex(uint32_t rgb) {
    return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f,
            float(rgb & 0xFF) / 255.0f};
}

Rgb Mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Shade(Rgb c, float amount) {
    return amount >= 0 ? Mix(c, Rgb{1, 1, 1}, amount) : Mix(c, Rgb{0, 0, 0}, -amount);
}

Paint Solid(Rgb c) {
    return [c](float, float) { return c; };
}

Paint Linear(float x0, float y0, Rgb c0, float x1, float y1, Rgb c1) {
    const float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    return [=](float x, float y) {
        float t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0.0f;
        return Mix(c0, c1, std::clamp(t, 0.0f, 1.0f));
    };
}

Paint Radial(float cx, float cy, float radius, Rgb inner, Rgb outer) {
    return [=](float x, float y) {
        float t = std::hypot(x - cx, y - cy) / radius;
        return Mix(inner, outer, std::clamp(t, 0.0f, 1.0f));
    };
}

Mask Mask::Shifted(int dx, int dy) const {
    Mask m(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) m.Ref(x, y) = At(x - dx, y - dy);
    return m;
}

Mask Mask::Blurred(int radius) const {
    if (radius <= 0) return *this;
    Mask cur = *this;
    const float n = float(2 * radius + 1);
    for (int pass = 0; pass < 3; ++pass) {
        Mask tmp(w_, h_);
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k) s += cur.At(x + k, y);
                tmp.Ref(x, y) = s / n;
            }
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k) s += tmp.At(x, y + k);
                cur.Ref(x, y) = s / n;
            }
    }
    return cur;
}

Mask Mask::Dilated(int radius) const {
    Mask m(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float best = 0;
            for (int j = -radius; j <= radius; ++j)
                for (int i = -radius; i <= radius; ++i)
                    if (i * i + j * j <= radius * radius + radius) best = std::max(best, At(x + i, y + j));
            m.Ref(x, y) = best;
        }
    return m;
}

Mask Mask::Times(const Mask& o) const {
    Mask m(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) m.Ref(x, y) = At(x, y) * o.At(x, y);
    return m;
}

Mask Mask::Minus(const Mask& o) const {
    Mask m(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) m.Ref(x, y) = At(x, y) * (1.0f - o.At(x, y));
    return m;
}

Canvas::Canvas(int w, int h, Rgb fill) : w_(w), h_(h), px_(size_t(w) * size_t(h), fill) {}

void Canvas::Fill(const Mask& mask, const Paint& paint, float opacity) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float a = mask.At(x, y) * opacity;
            if (a <= 0) continue;
            Rgb& p = px_[size_t(y) * w_ + x];
            p = Mix(p, paint(x + 0.5f, y + 0.5f), std::min(a, 1.0f));
        }
}

void Canvas::Light(const Mask& mask, float amount) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float a = mask.At(x, y);
            if (a <= 0) continue;
            Rgb& p = px_[size_t(y) * w_ + x];
            p = Shade(p, amount * a);
        }
}

std::vector<uint8_t> Canvas::Bytes() const {
    std::vector<uint8_t> out;
    out.reserve(px_.size() * 3);
    auto q = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (const Rgb& p : px_) {
        out.push_back(q(p.r));
        out.push_back(q(p.g));
        out.push_back(q(p.b));
    }
    return out;
}

}  // namespace Art
