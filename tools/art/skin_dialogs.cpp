// The skins of the options, about and world-selection windows.
#include "tools/art/emblems.h"
#include "tools/art/kit.h"
#include "tools/art/skins.h"

namespace Art {
namespace {

TextLook Plain(Rgb ink, float shadow = 0.7f) {
    TextLook t;
    t.paint = Solid(ink);
    t.shadowDx = 1;
    t.shadowDy = 1;
    t.shadowBlur = 1;
    t.shadowOpacity = shadow;
    return t;
}

}  // namespace

Skin DrawOptions() {
    // The picture is two columns wider than the window; the shape stays inside the shown part.
    const int W = 320, H = 320;
    Canvas c(W, H, Hex(kBackground));
    Shape body = RoundRect(3, 12, 316, 317, 24);
    Shape tab = RoundRect(118, 3, 316, 70, 20);
    Shape shape = SmoothUnion(body, tab, 10);
    shape = Subtract(shape, Circle(3, 292, 16));  // a bite out of the lower-left corner
    Mask sil = Hard(shape, W, H);
    PaintPanel(c, shape, Hex(0x4CC457), Hex(0x16622A), Hex(0x06280F));

    PaintTitle(c, TextStyle{"URW Gothic:demibold", 24, Align::Centre, 1}, "QUORVANE", 216, 28,
               Hex(0xFFFFFF), Hex(0xD2F5C8), Hex(0x0A3212));
    DrawText(c, TextStyle{"DejaVu Serif:bold:italic", 13, Align::Centre}, "Options", 216, 43,
             Plain(Hex(0xF4FFD8)));

    // One sunk area behind the lists and the player picture.
    Shape well = Union(RoundRect(9, 11, 126, 166, 8), RoundRect(122, 45, 271, 262, 8));
    PaintWell(c, well, Hex(0x2E8C3E), 0.45f);
    // The labels above the lists are black on the window: give them a light ground.
    PaintWell(c, RoundRect(13, 14, 123, 162, 5), Hex(0xB4EEAC), 0.25f);
    // The player picture's frame: a lighter screen.
    PaintWell(c, RoundRect(127, 47, 266, 258, 3), Hex(0x80FF80), 0.3f);

    PaintEmblem(c, 64, 214, 40, Hex(0xA8D8A8), Hex(0x1E6A2C));

    TextStyle b{"DejaVu Sans:bold", 11};
    PaintButton(c, ButtonShape({112, 264, 161, 17}, 6, 1), Hex(0x2CC4C8), {"Accept"}, b, Hex(0x06343A));
    PaintButton(c, ButtonShape({128, 280, 129, 25}, 10), Hex(0xD8303A), {"Cancel"}, TextStyle{"DejaVu Sans:bold", 12},
                Hex(0xFFFFFF));
    return {W, H, SkinBytes(c, sil)};
}

Skin DrawAbout() {
    const int W = 371, H = 207;
    Canvas c(W, H, Hex(kBackground));
    Shape body = RoundRect(2, 18, 369, 205, 22);
    Shape medal = Circle(76, 84, 74);
    Shape shape = SmoothUnion(body, medal, 12);
    Mask sil = Hard(shape, W, H);
    PaintPanel(c, shape, Hex(0xE0484A), Hex(0x7A1418), Hex(0x300608));

    PaintEmblem(c, 76, 84, 60, Hex(0xF0B0A8), Hex(0x8A1C22));

    PaintTitle(c, TextStyle{"URW Gothic:demibold", 30, Align::Left, 1}, "QUORVANE", 160, 56, Hex(0xFFFFFF),
               Hex(0xFFD8D0), Hex(0x3A0A0C));
    // The text block runs from x = 162 to the right rim at 360.
    const Rgb ink = Hex(0xFFF2EC);
    const char* lines[] = {"A small first-person walk-through", "of worlds built from walls, drawn",
                           "by the ZemDx Engine."};
    TextStyle prose{"DejaVu Sans", 11};
    for (const char* l : lines)
        while (TextWidth(prose, l) > 194) prose.size -= 0.25f;
    for (int i = 0; i < 3; ++i) DrawText(c, prose, lines[i], 162, 80 + 15.0f * i, Plain(ink));
    TextStyle credit{"DejaVu Sans:bold", 11};
    const std::string by = "Made by the Quorvane developers.";
    while (TextWidth(credit, by) > 194) credit.size -= 0.25f;
    DrawText(c, credit, by, 162, 134, Plain(ink));
    DrawText(c, TextStyle{"DejaVu Sans", 9}, "Version 1.0", 40, 190, Plain(Hex(0xF4B8B0)));

    // The web address, fitted to its click zone and underlined like a link.
    const std::string web = "quorvane.example.org";
    TextStyle link{"DejaVu Sans:bold", 11};
    while (TextWidth(link, web) > 123) link.size -= 0.25f;
    DrawText(c, link, web, 235, 164, Plain(Hex(0xFFE07A), 0.9f));
    float wl = TextWidth(link, web);
    c.Fill(Cover(RoundRect(235, 165.5f, 235 + wl, 166.5f, 0), W, H), Solid(Hex(0xFFE07A)));

    PaintButton(c, ButtonShape({192, 168, 33, 25}, 8), Hex(0x3DB54A), {"Ok"}, TextStyle{"DejaVu Sans:bold", 11},
                Hex(0xFFFFFF));
    return {W, H, SkinBytes(c, sil)};
}

Skin DrawSelect() {
    // The picture is one column and one row larger than the window; the shape stays inside.
    const int W = 254, H = 232;
    Canvas c(W, H, Hex(kBackground));
    Shape body = RoundRect(2, 8, 251, 229, 24);
    Shape tab = RoundRect(28, 0, 226, 36, 16);
    Shape shape = SmoothUnion(body, tab, 8);
    shape = Subtract(shape, Ellipse(251, 168, 10, 18));  // a scallop in the right edge
    Mask sil = Hard(shape, W, H);
    PaintPanel(c, shape, Hex(0xFFE45A), Hex(0xC89412), Hex(0x4A3200));

    PaintTitle(c, TextStyle{"DejaVu Sans:bold", 16, Align::Centre}, "Select Simulation", 127, 23,
               Hex(0xFFFFFF), Hex(0xFFF4C8), Hex(0x5A3C00));

    PaintWell(c, RoundRect(18, 27, 175, 117, 8), Hex(0xB08418), 0.45f);
    PaintWell(c, RoundRect(23, 31, 170, 113, 2), Hex(0xFFFF80), 0.3f);

    PaintMap(c, 14, 116, 116);

    PaintButton(c, ButtonShape({136, 120, 97, 41}, 12), Hex(0x3DB54A), {"Accept"}, TextStyle{"DejaVu Sans:bold", 13},
                Hex(0xFFFFFF));
    PaintButton(c, ButtonShape({144, 176, 73, 49}, 12), Hex(0xD8303A), {"Cancel"}, TextStyle{"DejaVu Sans:bold", 13},
                Hex(0xFFFFFF));
    return {W, H, SkinBytes(c, sil)};
}

}  // namespace Art
