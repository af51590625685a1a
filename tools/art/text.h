#pragma once
// Text drawn with FreeType from fonts found through fontconfig ("DejaVu Sans:bold" ...).
#include <string>

#include "tools/art/canvas.h"

namespace Art {

enum class Align { Left, Centre, Right };

struct TextStyle {
    std::string font = "DejaVu Sans";  // fontconfig pattern
    float size = 12;                   // pixel size of the em
    Align align = Align::Left;
    float tracking = 0;                // extra pixels between letters
};

// Closes the fonts opened so far and lets fontconfig go (at the end of the program).
void ReleaseFonts();

// Width in pixels of `text` in the style.
float TextWidth(const TextStyle& style, const std::string& text);

// Coverage mask of `text` with its baseline at y, positioned at x by the style's alignment.
Mask TextMask(int w, int h, const TextStyle& style, const std::string& text, float x, float y);

// Fills the text with `paint`; with a shadow (offset, blur, opacity) and an outline of
// `outline` pixels in `outlineColour` when those are non-zero.
struct TextLook {
    Paint paint = Solid(Rgb{1, 1, 1});
    int outline = 0;
    Rgb outlineColour{0, 0, 0};
    int shadowDx = 0, shadowDy = 0, shadowBlur = 0;
    float shadowOpacity = 0;
};
void DrawText(Canvas& c, const TextStyle& style, const std::string& text, float x, float y,
              const TextLook& look);

}  // namespace Art
