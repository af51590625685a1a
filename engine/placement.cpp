#include "engine/placement.h"

#include "engine/zemdx.h"

namespace ZemPlacement {

void Placement::SetBBox(const float& Width, const float& Height, const float& Depth) {
    const double hw = static_cast<double>(Width) / 2;
    const double hh = static_cast<double>(Height) / 2;
    const double hd = static_cast<double>(Depth) / 2;
    for (int i = 0; i < 8; ++i) {
        BBox[i].x = rt::CSng(PosX_ + ((i & 2) ? hw : -hw));
        BBox[i].y = rt::CSng(PosY_ + ((i & 1) ? hh : -hh));
        BBox[i].z = rt::CSng(PosZ_ + ((i & 4) ? hd : -hd));
    }
}

rt::Long Placement::ProjectionVisibilityBoundingBox() {
    rt::Long codes[8];
    for (int i = 0; i < 8; ++i) codes[i] = ZemDx::ProjectionVisibilityPoint(BBox[i]);
    return VerdictOfCodes(codes);
}

}  // namespace ZemPlacement
