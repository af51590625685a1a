// Drawing helpers of the run time: colour conversion, filled rectangles and text in a window's
// pixel buffer. Internal to the run time.
#pragma once
#include <cstdint>
#include <string>

#include "platform/media/stdfont.h"

namespace rt::detail {

// A colour value (0x00BBGGRR, or a system colour 0x800000nn) as opaque 0xFFRRGGBB.
uint32_t ToArgb(int32_t colour);

struct Canvas {
    uint32_t* pixels;
    int32_t stride;  // pixels per row
    int32_t width, height;
};

// Fills left..right-1 x top..bottom-1, clipped to the canvas.
void FillRect(const Canvas& c, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t argb);
// Draws one line of text with the top of its line box at (x, y), clipped to the rectangle and
// the canvas. Draws nothing when no font face can be found.
void DrawTextLine(const Canvas& c, int32_t x, int32_t y, const std::string& text, const StdFont& font,
                  uint32_t argb, int32_t clipLeft, int32_t clipTop, int32_t clipRight, int32_t clipBottom);
// Height of a text line in the font (13 when no face can be found).
int32_t LineHeight(const StdFont& font);

}  // namespace rt::detail
