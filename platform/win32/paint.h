// Drawing helpers of the run time: colour conversion, filled rectangles, frames, smoothed shapes
// and text in a pixel buffer (a window's, or the message box's). Internal to the run time.
#pragma once
#include <cstdint>
#include <functional>
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
// A frame `thick` pixels wide just inside left..right-1 x top..bottom-1, clipped to the canvas.
void FrameRect(const Canvas& c, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t thick,
               uint32_t argb);
// Fills the pixels of left..right-1 x top..bottom-1 that lie inside a shape, its edges smoothed
// by 4 x 4 samples per pixel; `inside` is asked about points relative to (left, top).
void FillShape(const Canvas& c, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t argb,
               const std::function<bool(float, float)>& inside);
// Draws one line of text with the top of its line box at (x, y), clipped to the rectangle and
// the canvas. Draws nothing when no font face can be found.
void DrawTextLine(const Canvas& c, int32_t x, int32_t y, const std::string& text, const StdFont& font,
                  uint32_t argb, int32_t clipLeft, int32_t clipTop, int32_t clipRight, int32_t clipBottom);
// Height of a text line in the font (13 when no face can be found).
int32_t LineHeight(const StdFont& font);

}  // namespace rt::detail
