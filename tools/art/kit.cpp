#include "tools/art/kit.h"

#include <cmath>

namespace Art {

Shape ButtonShape(const Zone& z, float radius, int inset) {
    return RoundRect(float(z.left + inset), float(z.top + inset), float(z.left + z.width - inset),
                     float(z.top + z.height - inset), radius);
}

void PaintButton(Canvas& c, const Shape& face, Rgb base, const std::vector<std::string>& lines,
                 const TextStyle& style, Rgb ink) {
    const int w = c.Width(), h = c.Height();
    // Bounds of the face, for the gradient and the label.
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (face(x + 0.5f, y + 0.5f) < 0) {
                x0 = std::min(x0, float(x)); x1 = std::max(x1, float(x + 1));
                y0 = std::min(y0, float(y)); y1 = std::max(y1, float(y + 1));
            }
    if (x0 > x1) return;
    DropShadow(c, face, 1, 2, 2, 0.45f);
    Mask m = Cover(face, w, h);
    c.Fill(m, Linear(0, y0, Shade(base, 0.25f), 0, y1, Shade(base, -0.25f)));
    // Gloss: a soft light band over the upper part of the face.
    Shape gloss = Intersect(Grow(face, -3), Ellipse((x0 + x1) / 2, y0 - (y1 - y0) * 0.15f,
                                                     (x1 - x0) * 0.75f, (y1 - y0) * 0.6f));
    c.Fill(Cover(gloss, w, h), Linear(0, y0, Rgb{1, 1, 1}, 0, (y0 + y1) / 2, base), 0.35f);
    Bevel(c, face, 4, 0.45f);
    c.Fill(InnerRim(face, w, h, 1.0f), Solid(Shade(base, -0.6f)));

    const float lineGap = style.size * 1.05f;
    const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float base0 = cy - lineGap * (lines.size() - 1) / 2 + style.size * 0.36f;
    TextStyle st = style;
    st.align = Align::Centre;
    TextLook look;
    look.paint = Solid(ink);
    const bool lightInk = ink.r + ink.g + ink.b > 1.5f;
    look.shadowDx = lightInk ? 1 : 0;
    look.shadowDy = 1;
    look.shadowBlur = lightInk ? 1 : 0;
    look.shadowOpacity = lightInk ? 0.7f : 0.0f;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lightInk) {  // dark ink gets a light engraving under it
            TextLook hi;
            hi.paint = Solid(Shade(base, 0.55f));
            DrawText(c, st, lines[i], cx, base0 + lineGap * i + 1, hi);
        }
        DrawText(c, st, lines[i], cx, base0 + lineGap * i, look);
    }
}

void PaintPanel(Canvas& c, const Shape& body, Rgb top, Rgb bottom, Rgb rim) {
    const int w = c.Width(), h = c.Height();
    Mask m = Hard(body, w, h);
    c.Fill(m, Linear(0, 0, top, 0, float(h), bottom));
    PaintSheen(c, body, 0.05f);
    Bevel(c, body, 9, 0.55f, &m);
    c.Fill(InnerRim(body, w, h, 2.0f).Times(m), Solid(rim));
}

void PaintWell(Canvas& c, const Shape& well, Rgb fill, float depth) {
    const int w = c.Width(), h = c.Height();
    Mask m = Cover(well, w, h);
    c.Fill(m, Solid(fill));
    // Shadow cast by the upper-left border onto the sunk floor.
    Mask inner = m.Minus(Cover(well, w, h).Shifted(3, 3).Blurred(2));
    c.Fill(inner.Times(m), Solid(Rgb{0, 0, 0}), 0.35f);
    Bevel(c, Grow(well, 2), 2.5f, -depth);
    c.Fill(InnerRim(well, w, h, 1.0f), Solid(Shade(fill, -0.55f)));
}

void PaintSheen(Canvas& c, const Shape& area, float opacity) {
    const int w = c.Width(), h = c.Height();
    Mask m = Cover(area, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float a = m.At(x, y);
            if (a <= 0) continue;
            float s = std::sin((x + y * 2.0f) * 0.9f) * 0.5f + std::sin((x * 0.5f - y) * 0.11f) * 0.5f;
            Rgb p = c.At(x, y);
            c.Set(x, y, Mix(p, Shade(p, s * 0.5f), a * opacity * 2));
        }
}

void PaintTitle(Canvas& c, const TextStyle& style, const std::string& text, float x, float y,
                Rgb top, Rgb bottom, Rgb outline) {
    TextLook look;
    look.paint = Linear(0, y - style.size * 0.75f, top, 0, y, bottom);
    look.outline = style.size >= 24 ? 2 : 1;
    look.outlineColour = outline;
    look.shadowDx = 2;
    look.shadowDy = 2;
    look.shadowBlur = 2;
    look.shadowOpacity = 0.55f;
    DrawText(c, style, text, x, y, look);
}

std::vector<uint8_t> SkinBytes(const Canvas& c, const Mask& silhouette) {
    std::vector<uint8_t> out = c.Bytes();
    const uint8_t br = (kBackground >> 16) & 0xFF, bg = (kBackground >> 8) & 0xFF, bb = kBackground & 0xFF;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            uint8_t* p = &out[(size_t(y) * c.Width() + x) * 3];
            if (silhouette.At(x, y) < 0.5f) {
                p[0] = br; p[1] = bg; p[2] = bb;
            } else if (p[0] == br && p[1] == bg && p[2] == bb) {
                p[1] = uint8_t(bg + 1);
            }
        }
    return out;
}

}  // namespace Art
