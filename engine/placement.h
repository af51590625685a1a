// Placement and bounding box of the scene objects (object-file objects and meshes): both classes
// keep their own position, rotation and eight box corners and hand them to these functions, so
// the corner order and the box verdict exist once.
#pragma once
#include "platform/d3d8/d3d8types.h"
#include "platform/runtime/types.h"

namespace ZemPlacement {

// The eight corners of an axis-aligned box of the given size centred on (PosX, PosY, PosZ).
// Corner i lies on the + side of Y when bit 0 of i is set, of X when bit 1 is set and of Z when
// bit 2 is set. The coordinates are stored one by one, corner 0 to 7 and X, Y, Z within a
// corner; a coordinate beyond the float range raises 6 (Overflow) with the ones before it
// already stored. A negative size mirrors the corners along its axis.
void SetBBox(D3DVECTOR (&BBox)[8], float PosX, float PosY, float PosZ, float Width, float Height, float Depth);

// Where the box lies with respect to the viewport of the current frame, from the point codes of
// its corners (ZemDx::ProjectionVisibilityPoint, through the scene's matrices): 1 when all eight
// corners are inside, 2 when all eight are outside on the same side, otherwise 0. Errors of the
// point test (no device, for one) pass to the caller.
rt::Long BoxVerdict(const D3DVECTOR (&BBox)[8]);

// The verdict over eight point codes alone (the part of BoxVerdict that needs no device).
rt::Long VerdictOfCodes(const rt::Long (&codes)[8]);

}  // namespace ZemPlacement
