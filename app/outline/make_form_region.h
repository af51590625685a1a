// The outline region of a shaped window and the drag of a borderless window by its skin.
// Every shaped window keeps its own outline table and its own private MakeFormRegion,
// ShapePointX and ShapePointY; they all come down to the operations here, which differ only in
// the table and its length.
#pragma once
#include <cstdint>
#include <functional>

#include "app/outline/outline_tables.h"

namespace Outline {

// The x or y of point `index` of a table of `count` points; 0 for any index outside
// 0..count-1 (negative ones included).
int16_t ShapePointX(const Point16* table, int count, int16_t index);
int16_t ShapePointY(const Point16* table, int count, int16_t index);

// One outline coordinate on the screen: value * scale * 15 / twipsPerPixel + offset, worked out
// in double precision in that order and brought to the nearest 32-bit integer, exact halves to
// the even neighbour. Raises ErrDivisionByZero for a zero twips-per-pixel under a non-zero
// product, ErrOverflow for 0 / 0, for any other result that is not a finite number, and for a
// result outside the 32-bit range.
int32_t ScreenCoordinate(int16_t value, float scale, float twipsPerPixel, int16_t offset);

// Reads the x or the y of one outline point by its index (a window's ShapePointX/ShapePointY).
using PointReader = std::function<int16_t(int16_t)>;

// Builds the window region of an outline of `count` points: an empty region made first and
// stored in hFormRegion, each point read through shapeX/shapeY and converted with
// ScreenCoordinate (x with scaleX, twipsX and offsetX; y with scaleY, twipsY and offsetY), the
// polygon region (even-odd fill) copied into hFormRegion, the polygon region freed. Returns
// hFormRegion. A conversion error is raised before the polygon is made; the empty region stays
// in hFormRegion then.
int32_t MakeFormRegion(int count, const PointReader& shapeX, const PointReader& shapeY,
                       float scaleX, float scaleY, int16_t offsetX, int16_t offsetY,
                       float twipsX, float twipsY, int32_t& hFormRegion);
// The same, reading the points straight from a table.
int32_t MakeFormRegion(const Point16* table, int count, float scaleX, float scaleY,
                       int16_t offsetX, int16_t offsetY, float twipsX, float twipsY,
                       int32_t& hFormRegion);

// The drag of a borderless window: releases the mouse capture and hands the press to the window
// system as one on the title bar, so the window follows the mouse; returns when the move ends.
void DragWindow(int32_t hWnd);

}  // namespace Outline
