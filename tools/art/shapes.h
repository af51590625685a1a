#pragma once
// Shapes as signed distance functions (negative inside, in pixels), and what is drawn from them:
// anti-aliased coverage, the hard-edged silhouette of a window, bevels and drop shadows.
#include <functional>

#include "tools/art/canvas.h"

namespace Art {

using Shape = std::function<float(float x, float y)>;

// Axis-aligned box over the pixels x0..x1-1, y0..y1-1 (edges on pixel corners), corners of radius r.
Shape RoundRect(float x0, float y0, float x1, float y1, float r);
Shape Circle(float cx, float cy, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
// Convex polygon, points in clockwise screen order.
Shape Polygon(std::vector<std::pair<float, float>> pts);
Shape Union(Shape a, Shape b);
Shape SmoothUnion(Shape a, Shape b, float k);   // union with a fillet of about k pixels
Shape Intersect(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);               // a without b
Shape Grow(Shape a, float d);                   // d > 0 grows, d < 0 shrinks

// Anti-aliased coverage of the shape, sampled at pixel centres.
Mask Cover(const Shape& s, int w, int h);
// Pixels whose centre lies inside: the binary silhouette of a window skin.
Mask Hard(const Shape& s, int w, int h);
// A ring of the given width just inside the shape's border.
Mask InnerRim(const Shape& s, int w, int h, float width);

// Raised look: lightens the part of the border facing the top-left light and darkens the rest,
// fading over `width` pixels inwards. A negative strength makes the shape look sunk in.
void Bevel(Canvas& c, const Shape& s, float width, float strength, const Mask* clip = nullptr);

// A soft shadow of the shape, offset and blurred, darkening what lies under it.
void DropShadow(Canvas& c, const Shape& s, int dx, int dy, int blur, float opacity,
                const Mask* clip = nullptr);

}  // namespace Art
