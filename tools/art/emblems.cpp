#include "tools/art/emblems.h"

#include <algorithm>
#include <cmath>

#include "tools/art/shapes.h"

namespace Art {

void PaintEmblem(Canvas& c, float cx, float cy, float r, Rgb ring, Rgb face) {
    const int w = c.Width(), h = c.Height();
    Shape disc = Circle(cx, cy, r);
    DropShadow(c, disc, 2, 3, 3, 0.5f);
    c.Fill(Cover(disc, w, h), Radial(cx - r * 0.3f, cy - r * 0.3f, r * 1.3f, Shade(ring, 0.35f), Shade(ring, -0.35f)));
    Bevel(c, disc, r * 0.18f, 0.5f);
    Shape inner = Circle(cx, cy, r * 0.78f);
    c.Fill(Cover(inner, w, h), Radial(cx, cy - r * 0.2f, r, Shade(face, 0.25f), Shade(face, -0.45f)));
    Bevel(c, Grow(inner, 1.5f), 2.5f, -0.5f);
    // Floor grid in perspective, clipped to the face.
    Mask clip = Cover(Grow(inner, -1), w, h);
    Rgb line = Shade(face, 0.55f);
    const float horizon = cy + r * 0.05f, bottom = cy + r * 0.8f;
    for (int i = -6; i <= 6; ++i) {
        float bx = cx + i * r * 0.28f;
        Shape l = Polygon({{cx + i * r * 0.04f - 0.4f, horizon}, {cx + i * r * 0.04f + 0.4f, horizon},
                           {bx + 0.6f, bottom}, {bx - 0.6f, bottom}});
        c.Fill(Cover(l, w, h).Times(clip), Solid(line), 0.55f);
    }
    for (int j = 1; j <= 5; ++j) {
        float t = float(j) / 5.0f;
        float y = horizon + (bottom - horizon) * t * t;
        Shape l = RoundRect(cx - r, y - 0.35f - t * 0.3f, cx + r, y + 0.35f + t * 0.3f, 0);
        c.Fill(Cover(l, w, h).Times(clip), Solid(line), 0.55f);
    }
    // Compass needle: four points, the north one red.
    const float n = r * 0.62f, s = r * 0.13f;
    Shape north = Polygon({{cx, cy - n}, {cx + s, cy}, {cx - s, cy}});
    Shape south = Polygon({{cx + s, cy}, {cx, cy + n}, {cx - s, cy}});
    Shape east = Polygon({{cx, cy - s}, {cx + n * 0.7f, cy}, {cx, cy + s}});
    Shape west = Polygon({{cx, cy - s}, {cx, cy + s}, {cx - n * 0.7f, cy}});
    for (const Shape& p : {east, west, south}) {
        DropShadow(c, p, 1, 1, 1, 0.5f, &clip);
        c.Fill(Cover(p, w, h), Linear(cx - n, cy - n, Hex(0xFFFFFF), cx + n, cy + n, Hex(0xA8B4C8)));
    }
    DropShadow(c, north, 1, 1, 1, 0.5f, &clip);
    c.Fill(Cover(north, w, h), Linear(cx - s, 0, Hex(0xFF6A50), cx + s, 0, Hex(0xB0201A)));
    Shape hub = Circle(cx, cy, r * 0.09f);
    c.Fill(Cover(hub, w, h), Solid(Hex(0xF4D060)));
    Bevel(c, hub, 2, 0.6f);
}

void PaintMap(Canvas& c, float x, float y, float size) {
    const int w = c.Width(), h = c.Height();
    const float s = size;
    // Three panels of a folded map, alternately lit.
    for (int i = 0; i < 3; ++i) {
        float x0 = x + s * (0.05f + 0.3f * i), x1 = x0 + s * 0.3f;
        float dy0 = (i % 2 == 0) ? 0.0f : s * 0.06f, dy1 = (i % 2 == 0) ? s * 0.06f : 0.0f;
        Shape panel = Polygon({{x0, y + s * 0.15f + dy0}, {x1, y + s * 0.15f + dy1},
                               {x1, y + s * 0.85f + dy1}, {x0, y + s * 0.85f + dy0}});
        DropShadow(c, panel, 1, 2, 2, 0.35f);
        Rgb paper = i % 2 == 0 ? Hex(0xF6EFD2) : Hex(0xDCD2AC);
        c.Fill(Cover(panel, w, h), Solid(paper));
        c.Fill(InnerRim(panel, w, h, 1.0f), Solid(Hex(0x7A6A3A)));
    }
    // Roads and a dashed route.
    Mask clip = Cover(RoundRect(x + s * 0.05f, y + s * 0.15f, x + s * 0.95f, y + s * 0.91f, 0), w, h);
    // Small maps (the icon) get fewer, bolder dots so that the route still reads.
    const float dot = std::max(s * 0.028f, 1.1f);
    const int every = s < 60 ? 3 : 2;
    for (int k = 0; k < 14; ++k) {
        float t = k / 13.0f;
        float px = x + s * (0.12f + 0.72f * t);
        float py = y + s * (0.72f - 0.42f * t + 0.12f * std::sin(t * 6.0f));
        if (k % every == 0) c.Fill(Cover(Circle(px, py, dot), w, h).Times(clip), Solid(Hex(0xC03030)));
    }
    // Pin at the route's end.
    float px = x + s * 0.82f, py = y + s * 0.32f;
    Shape head = Circle(px, py - s * 0.14f, s * 0.1f);
    Shape tip = Polygon({{px - s * 0.075f, py - s * 0.1f}, {px + s * 0.075f, py - s * 0.1f}, {px, py + s * 0.02f}});
    Shape pin = Union(head, tip);
    DropShadow(c, pin, 2, 2, 1, 0.45f);
    c.Fill(Cover(pin, w, h), Linear(px - s * 0.1f, py - s * 0.25f, Hex(0xFF7060), px + s * 0.1f, py, Hex(0xA01818)));
    c.Fill(Cover(Circle(px - s * 0.03f, py - s * 0.17f, s * 0.03f), w, h), Solid(Hex(0xFFFFFF)), 0.8f);
}

}  // namespace Art
