// Placement and bounding box of the scene objects (object-file objects and meshes): both classes
// take their position, rotation, box corners and box verdict from ZemPlacement::Placement, so
// the fourteen members, the corner order and the verdict exist once.
#pragma once
#include "engine/zemdx.h"
#include "platform/d3d8/d3d8types.h"
#include "platform/runtime/types.h"

namespace ZemPlacement {

class Placement {
public:
    // Position and rotation (radians about x, y and z). Writing them does not move the box.
    void PosX(const float& Xx) { PosX_ = Xx; }
    float PosX() const { return PosX_; }
    void PosY(const float& Yy) { PosY_ = Yy; }
    float PosY() const { return PosY_; }
    void PosZ(const float& Zz) { PosZ_ = Zz; }
    float PosZ() const { return PosZ_; }
    void SpinX(const float& Xx) { SpinX_ = Xx; }
    float SpinX() const { return SpinX_; }
    void SpinY(const float& Yy) { SpinY_ = Yy; }
    float SpinY() const { return SpinY_; }
    void SpinZ(const float& Zz) { SpinZ_ = Zz; }
    float SpinZ() const { return SpinZ_; }

    // Builds the eight corners of an axis-aligned box of the given size centred on the current
    // position; the rotation has no part in it. Corner i lies on the + side of Y when bit 0 of i
    // is set, of X when bit 1 is set and of Z when bit 2 is set. The coordinates are stored one
    // by one, corner 0 to 7 and X, Y, Z within a corner; a coordinate beyond the float range
    // raises ErrOverflow with the ones before it already stored. A negative size mirrors the
    // corners along its axis.
    void SetBBox(const float& Width, const float& Height, const float& Depth);

    // Where the box lies with respect to the viewport of the current frame, from the point codes
    // of its corners (ZemDx::ProjectionVisibilityPoint, through the scene's matrices): 1 when all
    // eight corners are inside, 2 when all eight are outside on the same side, otherwise 0.
    // Errors of the point test (no device, for one) pass to the caller.
    rt::Long ProjectionVisibilityBoundingBox();

protected:
    float PosX_ = 0, PosY_ = 0, PosZ_ = 0;
    float SpinX_ = 0, SpinY_ = 0, SpinZ_ = 0;
    D3DVECTOR BBox[8] = {};  // a new object's box is eight corners at the origin
};

// The box verdict is the engine's verdict over point codes, the same as a primitive's.
using ZemDx::VerdictOfCodes;

}  // namespace ZemPlacement
