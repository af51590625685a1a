// Placement and bounding box, the same in both scene-object classes: the six properties, the
// corner order of the box, its overflow, and the box verdict through the frame's matrices.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>

#include "engine/placement.h"
#include "objects_fixture.h"

using objtest::ErrorOf;

namespace {

const D3DVECTOR* BoxOf(const clsZemObject& o) { return clsZemObjectInspector::BBox(o); }
const D3DVECTOR* BoxOf(const clsZemMesh& m) { return clsZemMeshInspector::BBox(m); }

void ExpectCorner(const D3DVECTOR& c, float x, float y, float z) {
    EXPECT_FLOAT_EQ(c.x, x);
    EXPECT_FLOAT_EQ(c.y, y);
    EXPECT_FLOAT_EQ(c.z, z);
}

template <class T>
class Placement : public objtest::EngineTest {
protected:
    // The frame's matrices for a viewer at the origin looking along +z (or moved by `eye`),
    // with a quarter turn of vertical field of view.
    void SetupFrame(float eyeX = 0, float eyeZ = 0) {
        ZemDx::CameraState cam;
        cam.FOV = 1.5707964f;
        cam.PosX = -eyeX;
        cam.PosZ = -eyeZ;
        ASSERT_EQ(ZemDx::SetupMatrices(cam), rt::True);
    }
    rt::Long VerdictOfBox(float x, float y, float z, float w, float h, float d) {
        T o;
        o.PosX(x);
        o.PosY(y);
        o.PosZ(z);
        o.SetBBox(w, h, d);
        return o.ProjectionVisibilityBoundingBox();
    }
};

using Classes = ::testing::Types<clsZemObject, clsZemMesh>;
TYPED_TEST_SUITE(Placement, Classes);

}  // namespace

TYPED_TEST(Placement, PropertiesHoldTheirOwnValues) {
    TypeParam o;
    EXPECT_EQ(o.PosX(), 0.0f);
    EXPECT_EQ(o.SpinZ(), 0.0f);
    o.PosX(1.5f);
    o.PosY(-2.5f);
    o.PosZ(3.25f);
    o.SpinX(0.5f);
    o.SpinY(-0.75f);
    o.SpinZ(6.0f);
    EXPECT_EQ(o.PosX(), 1.5f);
    EXPECT_EQ(o.PosY(), -2.5f);
    EXPECT_EQ(o.PosZ(), 3.25f);
    EXPECT_EQ(o.SpinX(), 0.5f);
    EXPECT_EQ(o.SpinY(), -0.75f);
    EXPECT_EQ(o.SpinZ(), 6.0f);
}

TYPED_TEST(Placement, CornersFollowTheirBitOrderAroundThePosition) {
    TypeParam o;
    for (int i = 0; i < 8; ++i) ExpectCorner(BoxOf(o)[i], 0, 0, 0);
    o.PosX(10.0f);
    o.PosZ(-5.0f);
    o.SpinY(1.0f);  // the rotation has no part in the box
    o.SetBBox(2.0f, 4.0f, 6.0f);
    const D3DVECTOR* b = BoxOf(o);
    ExpectCorner(b[0], 9, -2, -8);
    ExpectCorner(b[1], 9, 2, -8);
    ExpectCorner(b[2], 11, -2, -8);
    ExpectCorner(b[3], 11, 2, -8);
    ExpectCorner(b[4], 9, -2, -2);
    ExpectCorner(b[5], 9, 2, -2);
    ExpectCorner(b[6], 11, -2, -2);
    ExpectCorner(b[7], 11, 2, -2);

    // Moving the object leaves the box until the next SetBBox.
    o.PosX(0.0f);
    ExpectCorner(BoxOf(o)[0], 9, -2, -8);
    o.SetBBox(2.0f, 4.0f, 6.0f);
    ExpectCorner(BoxOf(o)[0], -1, -2, -8);

    // Negative sizes mirror the corners: corner 0 holds the largest coordinates.
    o.SetBBox(-2.0f, -4.0f, -6.0f);
    ExpectCorner(BoxOf(o)[0], 1, 2, -2);
    ExpectCorner(BoxOf(o)[7], -1, -2, -8);
}

TYPED_TEST(Placement, ACornerBeyondTheFloatRangeOverflowsAfterTheOnesBefore) {
    TypeParam o;
    o.PosX(3.0e38f);
    // Corners 0 and 1 lie at 2.5e38; corner 2's X (3.5e38) does not fit a float.
    EXPECT_EQ(ErrorOf([&] { o.SetBBox(1.0e38f, 2.0f, 2.0f); }), rt::ErrOverflow);
    const D3DVECTOR* b = BoxOf(o);
    ExpectCorner(b[0], 2.5e38f, -1, -1);
    ExpectCorner(b[1], 2.5e38f, 1, -1);
    ExpectCorner(b[2], 0, 0, 0);
}

TYPED_TEST(Placement, BoxVerdictsInsideOutsideAndStraddling) {
    this->SetupFrame();
    // At z = 10 the view spans |x| <= 7.5 and |y| <= 10.
    EXPECT_EQ(this->VerdictOfBox(0, 0, 10, 2, 2, 2), 1);
    EXPECT_EQ(this->VerdictOfBox(20, 0, 10, 2, 2, 2), 2);       // right
    EXPECT_EQ(this->VerdictOfBox(-20, 0, 10, 2, 2, 2), 2);      // left
    EXPECT_EQ(this->VerdictOfBox(0, 30, 10, 2, 2, 2), 2);       // above
    EXPECT_EQ(this->VerdictOfBox(0, -30, 10, 2, 2, 2), 2);      // below
    EXPECT_EQ(this->VerdictOfBox(0, 0, 20000, 2, 2, 2), 2);     // beyond the far plane
    EXPECT_EQ(this->VerdictOfBox(7.5f, 0, 10, 2, 2, 2), 0);     // across the right edge
    EXPECT_EQ(this->VerdictOfBox(0, 0, 10, 100, 2, 2), 0);      // out on both sides: kept
    EXPECT_EQ(this->VerdictOfBox(-20, 30, 10, 2, 2, 2), 2);     // left wins over above
    EXPECT_EQ(this->VerdictOfBox(-20, 0, 10, 2, 60, 2), 2);     // left at every corner
    // Corners below the view and corners nearer than the near plane share one code.
    EXPECT_EQ(this->VerdictOfBox(0, -1.5f, 0.35f, 0.02f, 2.9f, 0.3f), 2);
    // A negative size gives the same corners, so the same verdicts.
    EXPECT_EQ(this->VerdictOfBox(7.5f, 0, 10, -2, -2, -2), 0);
    EXPECT_EQ(this->VerdictOfBox(20, 0, 10, -2, 2, -2), 2);
}

TYPED_TEST(Placement, ABoxNeverSetIsThePointAtTheOrigin) {
    TypeParam o;
    this->SetupFrame(0, -10);  // the origin 10 ahead
    EXPECT_EQ(o.ProjectionVisibilityBoundingBox(), 1);
    this->SetupFrame(-100, -10);  // the origin far to the right
    EXPECT_EQ(o.ProjectionVisibilityBoundingBox(), 2);
}

TYPED_TEST(Placement, TheVerdictNeedsADevice) {
    this->SetupFrame();
    ZemDx::D3DDevice = nullptr;
    TypeParam o;
    EXPECT_EQ(ErrorOf([&] { o.ProjectionVisibilityBoundingBox(); }), rt::ErrObjectNotSet);
}

TEST(BoxVerdict, OverEightPointCodes) {
    using Codes = std::array<rt::Long, 8>;
    auto verdict = [](Codes c) {
        rt::Long a[8];
        std::copy(c.begin(), c.end(), a);
        return ZemPlacement::VerdictOfCodes(a);
    };
    EXPECT_EQ(verdict({1, 1, 1, 1, 1, 1, 1, 1}), 1);
    EXPECT_EQ(verdict({1, 1, 1, 1, 1, 1, 1, 3}), 0);
    EXPECT_EQ(verdict({7, 7, 7, 7, 7, 7, 7, 1}), 0);
    for (rt::Long side : {3, 4, 5, 6, 7}) EXPECT_EQ(verdict(Codes{side, side, side, side, side, side, side, side}), 2);
    EXPECT_EQ(verdict({3, 3, 3, 3, 4, 4, 4, 4}), 0);
    EXPECT_EQ(verdict({6, 6, 6, 6, 6, 6, 6, 7}), 0);
    // Codes that are no side at all never make the box outside.
    EXPECT_EQ(verdict({0, 0, 0, 0, 0, 0, 0, 0}), 0);
    EXPECT_EQ(verdict({2, 2, 2, 2, 2, 2, 2, 2}), 0);
}
