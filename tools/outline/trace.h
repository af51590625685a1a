#pragma once
// Traces a silhouette into its outline polygon.
#include "tools/outline/grid.h"
#include "tools/outline/polygon.h"

namespace Outline {

// The border of the silhouette along pixel edges, so that the polygon covers exactly the
// silhouette's pixels: point 0 the left end of the top-most row, then clockwise on the screen,
// one point per change of direction (curves become staircases of short steps, a straight stretch
// is one edge). The silhouette must be one
// 4-connected piece without holes or pixels meeting only at a corner (as Silhouette() makes it);
// otherwise std::runtime_error.
Poly TraceBorder(const Grid& silhouette);

// Silhouette and border in one: the outline of a skin picture, checked to be a
// simple clockwise polygon that covers exactly the silhouette's pixel centres.
struct Traced {
    Grid shape;       // pixels of the picture that are not background
    Grid silhouette;  // what the outline covers
    Poly outline;
};
Traced TracePicture(const Picture& picture, int bridge = 2);

}  // namespace Outline
