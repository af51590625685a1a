// The main menu's skin: a blue panel with the program's name, a slogan and five buttons, each
// painted under the click zone of the same name.
#include "tools/art/emblems.h"
#include "tools/art/kit.h"
#include "tools/art/skins.h"

namespace Art {

Skin DrawMenu() {
    const int W = 342, H = 309;
    Canvas c(W, H, Hex(kBackground));
    // Body with a raised crest on top for the emblem and a rounded foot under the Exit button.
    Shape body = RoundRect(4, 5, 338, 300, 30);
    Shape crest = Ellipse(262, 60, 74, 60);
    Shape foot = RoundRect(206, 230, 338, 309, 26);
    Shape shape = SmoothUnion(SmoothUnion(body, crest, 10), foot, 8);
    // A notch on the left edge, between the button column and the title.
    shape = Subtract(shape, Ellipse(0, 215, 12, 46));
    Mask sil = Hard(shape, W, H);
    PaintPanel(c, shape, Hex(0x3E78D8), Hex(0x142F72), Hex(0x081634));

    // Recessed tray behind the three upper buttons.
    PaintWell(c, RoundRect(15, 11, 193, 134, 14), Hex(0x1A3A80), 0.35f);
    PaintEmblem(c, 262, 62, 46, Hex(0x9AB0D8), Hex(0x203E8A));

    TextStyle big{"DejaVu Sans:bold", 14};
    TextStyle small{"DejaVu Sans Condensed:bold", 11};
    PaintButton(c, ButtonShape({24, 16, 81, 57}, 12), Hex(0xF3C623), {"Begin"}, big, Hex(0x3A2A00));
    PaintButton(c, ButtonShape({24, 72, 81, 57}, 12, 3), Hex(0xD8303A), {"Options"}, big, Hex(0xFFFFFF));
    PaintButton(c, ButtonShape({112, 32, 73, 81}, 12), Hex(0xB43AB0), {"Select", "Simulation"}, small,
                Hex(0xFFFFFF));
    PaintButton(c, Circle(308.5f, 220.5f, 18.5f), Hex(0x2CC4C8), {"About"}, TextStyle{"DejaVu Sans Condensed:bold", 9},
                Hex(0x06343A));
    PaintButton(c, ButtonShape({224, 248, 97, 49}, 16), Hex(0x3DB54A), {"Exit"}, big, Hex(0xFFFFFF));

    // The name across the middle, and the slogan under it.
    TextStyle name{"URW Gothic:demibold", 50, Align::Centre, 2};
    PaintTitle(c, name, "QUORVANE", 171, 187, Hex(0xFFFFFF), Hex(0xB8D0FF), Hex(0x0A1A44));
    TextLook sl;
    sl.paint = Solid(Hex(0xE8F0FF));
    sl.shadowDx = 1; sl.shadowDy = 1; sl.shadowBlur = 1; sl.shadowOpacity = 0.8f;
    DrawText(c, TextStyle{"DejaVu Serif:italic", 13, Align::Centre}, "Walk the worlds you build.", 150, 212, sl);
    // A thin rule between the name and the slogan.
    c.Fill(Cover(RoundRect(40, 195, 262, 196.5f, 0.7f), W, H), Solid(Hex(0x9CB8F0)), 0.7f);

    TextLook ver;
    ver.paint = Solid(Hex(0x9CB8F0));
    DrawText(c, TextStyle{"DejaVu Sans", 9}, "Version 1.0", 30, 285, ver);

    Skin s{W, H, SkinBytes(c, sil)};
    return s;
}

}  // namespace Art
