#pragma once
// Closed polygons on pixel corners: area, inside test at pixel centres, and the faults that would
// make a window region depend on the fill mode or differ from its picture.
#include <string>
#include <vector>

#include "tools/outline/grid.h"

namespace Outline {

struct Pt {
    int x = 0, y = 0;
    bool operator==(const Pt&) const = default;
};
using Poly = std::vector<Pt>;

// Twice the signed area, with y downwards: positive when the points run clockwise on the screen.
long long TwiceArea(const Poly& p);

// Whether the centre of pixel (x, y) lies inside the polygon (even-odd rule). A centre exactly on
// an edge counts as outside.
bool CentreInside(const Poly& p, int x, int y);

// The pixels whose centres lie inside.
Grid Rasterise(const Poly& p, int width, int height);

// Empty when the polygon is simple: at least three points, no point twice, no three consecutive
// points on one line, and no two edges meeting except neighbours at their shared point.
// Otherwise a description of the first fault found.
std::string SimplePolygonFault(const Poly& p);

}  // namespace Outline
