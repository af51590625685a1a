// The game window's skin: a turquoise frame with a title tab around the drawing surface.
#include "tools/art/kit.h"
#include "tools/art/skins.h"

namespace Art {

Skin DrawWindowed() {
    const int W = 500, H = 370;
    Canvas c(W, H, Hex(kBackground));
    Shape body = RoundRect(0, 8, 500, 370, 26);
    Shape tab = RoundRect(130, 0, 370, 34, 16);
    Shape shape = SmoothUnion(body, tab, 8);
    // Shallow scallops in the side edges, halfway down.
    shape = Subtract(shape, Ellipse(0, 185, 9, 60));
    shape = Subtract(shape, Ellipse(500, 185, 9, 60));
    Mask sil = Hard(shape, W, H);
    PaintPanel(c, shape, Hex(0x4AD8D8), Hex(0x0E6E78), Hex(0x032A30));

    TextStyle title{"DejaVu Sans:bold", 14, Align::Centre};
    PaintTitle(c, title, "Quorvane  -  Windowed Mode", 250, 24, Hex(0xFFFFFF), Hex(0xD8FFFF), Hex(0x04363C));

    // The drawing surface covers this well; only its rim shows around it.
    PaintWell(c, RoundRect(42, 29, 456, 341, 6), Hex(0x082C32), 0.6f);

    // Rivets in the four corners of the frame.
    const float rx[] = {22, 478}, ry[] = {40, 348};
    for (float x : rx)
        for (float y : ry) {
            Shape r = Circle(x, y, 5);
            DropShadow(c, r, 1, 1, 1, 0.5f);
            c.Fill(Cover(r, W, H), Radial(x - 2, y - 2, 7, Hex(0xE8FFFF), Hex(0x2A8A90)));
            Bevel(c, r, 2, 0.5f);
        }
    return {W, H, SkinBytes(c, sil)};
}

}  // namespace Art
