#pragma once
// Test helpers: small pictures drawn from text, and the embedded skins decoded.
#include <string>
#include <vector>

#include "tools/outline/bmp.h"

namespace OutlineTest {

// A picture from rows of characters: '.' the background colour (magenta), anything else a shape
// colour ('#' dark blue, 'o' orange).
Outline::Picture FromRows(const std::vector<std::string>& rows);

// 24-bit BMP file bytes of a picture, bottom-up or top-down.
std::vector<unsigned char> EncodeBmp(const Outline::Picture& p, bool topDown = false);

// The embedded picture `name` decoded (fails the test when it is missing or broken).
Outline::Picture Embedded(const std::string& name);

}  // namespace OutlineTest
