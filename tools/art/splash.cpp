// The engine's splash picture (its emblem and name) and frmSelect's icon.
#include <cmath>

#include "tools/art/emblems.h"
#include "tools/art/kit.h"
#include "tools/art/skins.h"

namespace Art {

Skin DrawSplash() {
    const int W = 182, H = 127;
    Canvas c(W, H, Hex(0x000000));
    Mask all = Cover(RoundRect(-10, -10, W + 10, H + 10, 0), W, H);
    c.Fill(all, Radial(60, 40, 190, Hex(0x23304E), Hex(0x05070E)));
    // A floor grid running to the horizon.
    const float horizon = 86;
    for (int i = -14; i <= 14; ++i) {
        float bx = 91 + i * 26.0f;
        Shape l = Polygon({{91 + i * 2.0f - 0.3f, horizon}, {91 + i * 2.0f + 0.3f, horizon}, {bx + 0.7f, H + 2.0f},
                           {bx - 0.7f, H + 2.0f}});
        c.Fill(Cover(l, W, H), Solid(Hex(0x2AA8D8)), 0.35f);
    }
    for (int j = 1; j <= 6; ++j) {
        float t = j / 6.0f, y = horizon + (H + 2 - horizon) * t * t;
        c.Fill(Cover(RoundRect(-2, y - 0.3f - t * 0.4f, W + 2, y + 0.3f + t * 0.4f, 0), W, H), Solid(Hex(0x2AA8D8)),
               0.35f);
    }
    c.Fill(Cover(RoundRect(-2, horizon - 1, W + 2, horizon + 1, 1), W, H).Blurred(2), Solid(Hex(0x7AE8FF)), 0.6f);

    // Emblem: a faceted diamond carrying a Z.
    const float cx = 40, cy = 48, r = 30;
    Shape gem = Polygon({{cx, cy - r}, {cx + r, cy}, {cx, cy + r}, {cx - r, cy}});
    c.Fill(Cover(Grow(gem, 4), W, H).Blurred(3), Solid(Hex(0x40C8FF)), 0.5f);
    c.Fill(Cover(gem, W, H), Linear(cx - r, cy - r, Hex(0x8AE6FF), cx + r, cy + r, Hex(0x0A4C8C)));
    Shape upper = Polygon({{cx, cy - r}, {cx + r, cy}, {cx, cy}});
    Shape left = Polygon({{cx, cy - r}, {cx, cy}, {cx - r, cy}});
    c.Fill(Cover(upper, W, H), Solid(Hex(0xFFFFFF)), 0.22f);
    c.Fill(Cover(left, W, H), Solid(Hex(0xFFFFFF)), 0.38f);
    c.Fill(InnerRim(gem, W, H, 1.2f), Solid(Hex(0xD8F6FF)), 0.9f);
    TextLook z;
    z.paint = Linear(0, cy - 14, Hex(0xFFFFFF), 0, cy + 12, Hex(0xC8E8FF));
    z.outline = 1;
    z.outlineColour = Hex(0x062040);
    z.shadowDx = 1; z.shadowDy = 2; z.shadowBlur = 1; z.shadowOpacity = 0.7f;
    DrawText(c, TextStyle{"DejaVu Sans:bold", 30, Align::Centre}, "Z", cx, cy + 11, z);

    // The name.
    TextLook name;
    name.paint = Linear(0, 30, Hex(0xFFFFFF), 0, 56, Hex(0x9ADCFF));
    name.shadowDx = 2; name.shadowDy = 2; name.shadowBlur = 2; name.shadowOpacity = 0.8f;
    DrawText(c, TextStyle{"URW Gothic:demibold", 31, Align::Centre}, "ZemDx", 124, 56, name);
    TextLook sub;
    sub.paint = Solid(Hex(0x7AE8FF));
    sub.shadowDx = 1; sub.shadowDy = 1; sub.shadowBlur = 1; sub.shadowOpacity = 0.8f;
    DrawText(c, TextStyle{"DejaVu Sans:bold", 11, Align::Centre, 3.5f}, "ENGINE", 124, 74, sub);

    TextLook foot;
    foot.paint = Solid(Hex(0xB8C8E0));
    DrawText(c, TextStyle{"DejaVu Sans", 8, Align::Centre}, "real-time 3D", 91, 118, foot);

    return {W, H, c.Bytes()};
}

Icon DrawSelectIcon() {
    const int S = 32;
    Canvas c(S, S, Hex(0x000000));
    Shape plate = RoundRect(1, 1, 31, 31, 6);
    c.Fill(Cover(plate, S, S), Linear(0, 1, Hex(0xFFE45A), 0, 31, Hex(0xC89412)));
    Bevel(c, plate, 3, 0.5f);
    c.Fill(InnerRim(plate, S, S, 1.0f), Solid(Hex(0x4A3200)));
    PaintMap(c, 3, 3, 26);
    Icon icon;
    icon.size = S;
    icon.rgb = c.Bytes();
    Mask m = Hard(plate, S, S);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) icon.opaque.push_back(m.At(x, y) > 0.5f);
    return icon;
}

}  // namespace Art
