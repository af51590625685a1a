#include "tools/art/shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Art {

Shape RoundRect(float x0, float y0, float x1, float y1, float r) {
    const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    return [=](float x, float y) {
        float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
        float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0f) - r;
    };
}

Shape Circle(float cx, float cy, float r) {
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
    // First-order distance estimate: exact on the border, good enough for a pixel or two around it.
    return [=](float x, float y) {
        float u = (x - cx) / rx, v = (y - cy) / ry;
        float k = std::hypot(u, v);
        float g = std::hypot(u / rx, v / ry);
        return g > 0 ? (k - 1.0f) * k / g : -std::min(rx, ry);
    };
}

Shape Polygon(std::vector<std::pair<float, float>> pts) {
    return [pts = std::move(pts)](float x, float y) {
        float inside = -1e9f, dmin = 1e9f;
        const size_t n = pts.size();
        for (size_t i = 0; i < n; ++i) {
            auto [ax, ay] = pts[i];
            auto [bx, by] = pts[(i + 1) % n];
            float ex = bx - ax, ey = by - ay, len = std::hypot(ex, ey);
            // Outward normal of a clockwise (screen) polygon points to the left of the edge.
            float nx = ey / len, ny = -ex / len;
            inside = std::max(inside, (x - ax) * nx + (y - ay) * ny);
            float t = std::clamp(((x - ax) * ex + (y - ay) * ey) / (len * len), 0.0f, 1.0f);
            dmin = std::min(dmin, std::hypot(x - ax - t * ex, y - ay - t * ey));
        }
        return inside > 0 ? dmin : inside;
    };
}

Shape Union(Shape a, Shape b) {
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Shape SmoothUnion(Shape a, Shape b, float k) {
    return [=](float x, float y) {
        float da = a(x, y), db = b(x, y);
        float h = std::clamp(0.5f + 0.5f * (db - da) / k, 0.0f, 1.0f);
        return db + (da - db) * h - k * h * (1.0f - h);
    };
}

Shape Intersect(Shape a, Shape b) {
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Shape Subtract(Shape a, Shape b) {
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Shape Grow(Shape a, float d) {
    return [=](float x, float y) { return a(x, y) - d; };
}

Mask Cover(const Shape& s, int w, int h) {
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.Ref(x, y) = std::clamp(0.5f - s(x + 0.5f, y + 0.5f), 0.0f, 1.0f);
    return m;
}

Mask Hard(const Shape& s, int w, int h) {
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.Ref(x, y) = s(x + 0.5f, y + 0.5f) < 0 ? 1.0f : 0.0f;
    return m;
}

Mask InnerRim(const Shape& s, int w, int h, float width) {
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float d = s(x + 0.5f, y + 0.5f);
            m.Ref(x, y) = d < 0 ? std::clamp(width + d + 0.5f, 0.0f, 1.0f) : 0.0f;
        }
    return m;
}

void Bevel(Canvas& c, const Shape& s, float width, float strength, const Mask* clip) {
    const float lx = -0.6f, ly = -0.8f;  // towards the light: up and to the left
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float d = s(px, py);
            if (d >= 0.5f || d <= -width) continue;
            float cover = std::clamp(0.5f - d, 0.0f, 1.0f);
            if (clip) cover *= clip->At(x, y);
            if (cover <= 0) continue;
            float gx = s(px + 0.5f, py) - s(px - 0.5f, py);
            float gy = s(px, py + 0.5f) - s(px, py - 0.5f);
            float g = std::hypot(gx, gy);
            if (g <= 1e-6f) continue;
            float facing = (gx * lx + gy * ly) / g;   // outward normal towards the light
            float t = std::clamp(-d / width, 0.0f, 1.0f);
            float fall = std::cos(t * 1.5707963f);
            Rgb p = c.At(x, y);
            c.Set(x, y, Mix(p, Shade(p, facing * strength * fall), cover));
        }
}

void DropShadow(Canvas& c, const Shape& s, int dx, int dy, int blur, float opacity, const Mask* clip) {
    Mask m = Cover(s, c.Width(), c.Height()).Shifted(dx, dy).Blurred(blur);
    if (clip) m = m.Times(*clip);
    c.Fill(m, Solid(Rgb{0, 0, 0}), opacity);
}

}  // namespace Art
