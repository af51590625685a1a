#pragma once
// Small drawings used on several pictures.
#include "tools/art/canvas.h"

namespace Art {

// The program's emblem: a compass rose over a floor grid inside a ring, centred at (cx, cy).
void PaintEmblem(Canvas& c, float cx, float cy, float radius, Rgb ring, Rgb face);

// A folded map with a route and a pin (world selection), inside the box x, y, size.
void PaintMap(Canvas& c, float x, float y, float size);

}  // namespace Art
