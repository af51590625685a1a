// The eleven wall textures and the weapon image of the program's data folder.
#pragma once
#include "tools/data/bmp_writer.h"

namespace datagen {

constexpr int kWallTextureCount = 11;
constexpr int kWallTextureSize = 128;

// Wall texture number n (1 to 11), 128 x 128, tileable. No pixel is 0xFFFFFE, the colour that
// the program loads wall textures with as their transparent key.
Image MakeWallTexture(int n);

// What wall texture n shows, for the generator's listing ("red brick" ...).
const char* WallTextureName(int n);

// The hand weapon seen from behind the viewer's right hand, 256 x 256, on a background of
// exactly 0x00FF00 (its transparent key); no pixel of the weapon itself has that colour.
Image MakeWeaponImage();
constexpr uint32_t kWeaponKey = 0x00FF00;

}  // namespace datagen
