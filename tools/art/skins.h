#pragma once
// The program's pictures: the five window skins, the splash picture and frmSelect's icon.
#include <cstdint>
#include <vector>

#include "tools/art/canvas.h"

namespace Art {

struct Skin {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first
};

Skin DrawMenu();      // frmMenu, 342 x 309
Skin DrawOptions();   // frmOptions, 320 x 320
Skin DrawAbout();     // frmAbout, 371 x 207
Skin DrawSelect();    // frmSelect, 254 x 232
Skin DrawWindowed();  // frmWindowed, 500 x 370
Skin DrawSplash();    // frmZemLogo, 182 x 127

struct Icon {
    int size = 32;
    std::vector<uint8_t> rgb;
    std::vector<bool> opaque;
};
Icon DrawSelectIcon();  // frmSelect's 32 x 32 icon

}  // namespace Art
