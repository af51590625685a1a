#pragma once
// Outline tables of the shaped windows: each a closed polygon that follows the silhouette of the
// window's skin picture, in pixels of the picture (x to the right, y downwards), point 0 the left
// end of the top-most row, then clockwise as seen on the screen. The tables are written by the
// outline tracer (tools/outline) from the pictures in resources/; do not edit them by hand.
#include <cstdint>

namespace Outline {

struct Point16 {
    int16_t x;
    int16_t y;
};

extern const Point16 kMenu[];  // frmMenu
extern const int kMenuCount;
extern const Point16 kOptions[];  // frmOptions
extern const int kOptionsCount;
extern const Point16 kAbout[];  // frmAbout
extern const int kAboutCount;
extern const Point16 kSelect[];  // frmSelect
extern const int kSelectCount;
extern const Point16 kWindowed[];  // frmWindowed
extern const int kWindowedCount;

}  // namespace Outline
