// Point codes against the viewport and the verdicts over triangles and quads.
#include <gtest/gtest.h>

#include "engine/zemdx.h"
#include "engine_test_util.h"
#include "platform/d3d8/testswitch.h"
#include "platform/d3dx8/math.h"
#include "tests/unit/runtime/error_of.h"

using namespace enginetest;

namespace {

// With identity world and view matrices and a projection that maps x and y straight to the
// viewport's -1..1 range, a point (sx, sy, z) of "screen" coordinates lands at a known pixel:
// the projection sends x = -1 to the left edge, +1 to the right edge, and keeps z.
class Visibility : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(StartEngine(), rt::True);
        D3DXMatrixIdentity(ZemDx::matWorld);
        D3DXMatrixIdentity(ZemDx::matView);
        D3DXMatrixIdentity(ZemDx::matProj);
    }
    // The world point that projects to pixel (px, py) at depth z on the 640 x 480 viewport.
    static D3DVECTOR At(double px, double py, float z = 0.5f) {
        return D3DVECTOR{static_cast<float>(px / 320.0 - 1.0), static_cast<float>(1.0 - py / 240.0), z};
    }
    static rt::Long Code(double px, double py, float z = 0.5f) {
        return ZemDx::ProjectionVisibilityPoint(At(px, py, z));
    }
    static void AddTriangleAt(const D3DVECTOR (&p)[3]) {
        ZemDx::AddTriangle(p[0].x, p[0].y, p[0].z, 0, 0, 0, p[1].x, p[1].y, p[1].z, 0, 0, 0, p[2].x, p[2].y,
                           p[2].z, 0, 0, 0, 0);
    }
};

}  // namespace

TEST_F(Visibility, EdgesCountAsInside) {
    EXPECT_EQ(Code(0, 100), 1);
    EXPECT_EQ(Code(640, 100), 1);
    EXPECT_EQ(Code(100, 0), 1);
    EXPECT_EQ(Code(100, 480), 1);
    EXPECT_EQ(Code(-0.5, 100), 3);
    EXPECT_EQ(Code(640.5, 100), 4);
    EXPECT_EQ(Code(100, -0.5), 5);
    EXPECT_EQ(Code(100, 480.5), 6);
}

TEST_F(Visibility, DepthLimits) {
    EXPECT_EQ(Code(100, 100, 0.0f), 1);    // exactly at MinZ
    EXPECT_EQ(Code(100, 100, 1.0f), 1);    // exactly at MaxZ
    EXPECT_EQ(Code(100, 100, -0.01f), 6);  // nearer than MinZ: the code of "below"
    EXPECT_EQ(Code(100, 100, 1.01f), 7);
}

TEST_F(Visibility, FirstFiringTestGivesTheCode) {
    EXPECT_EQ(Code(-10, 600), 3);         // left and below
    EXPECT_EQ(Code(700, -10), 4);         // right and above
    EXPECT_EQ(Code(100, 600, 2.0f), 6);   // below and beyond
    EXPECT_EQ(Code(100, -10, -1.0f), 5);  // above and near
}

TEST_F(Visibility, UsesTheDevicesViewport) {
    D3DVIEWPORT8 vp{100, 50, 200, 100, 0.25f, 0.75f};
    ZemDx::D3DDevice->SetViewport(vp);
    // The projection now maps onto the smaller viewport: -1 to x = 100.
    EXPECT_EQ(ZemDx::ProjectionVisibilityPoint(D3DVECTOR{-1, 1, 0.5f}), 1);
    EXPECT_EQ(ZemDx::ProjectionVisibilityPoint(D3DVECTOR{-1.01f, 0, 0.5f}), 3);
    EXPECT_EQ(ZemDx::ProjectionVisibilityPoint(D3DVECTOR{0, 0, 0.0f}), 1);   // z lands on 0.25
    EXPECT_EQ(ZemDx::ProjectionVisibilityPoint(D3DVECTOR{0, 0, -0.1f}), 6);
    EXPECT_EQ(ZemDx::ProjectionVisibilityPoint(D3DVECTOR{0, 0, 1.1f}), 7);
}

TEST_F(Visibility, TriangleVerdicts) {
    const D3DVECTOR in = At(320, 240), left = At(-50, 240), right = At(700, 240), above = At(320, -50),
                    below = At(320, 600), near = At(320, 240, -0.5f), beyond = At(320, 240, 3.0f);
    struct Case {
        D3DVECTOR p[3];
        rt::Long verdict;
    } cases[] = {
        {{in, in, in}, 1},          {{in, left, left}, 0},       {{left, left, left}, 2},
        {{left, right, right}, 0},  {{below, below, below}, 2},  {{near, near, near}, 2},
        {{below, near, below}, 2},  {{beyond, beyond, above}, 0}, {{beyond, beyond, beyond}, 2},
        {{above, above, above}, 2}, {{right, right, right}, 2},
    };
    for (const Case& c : cases) AddTriangleAt(c.p);
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(ZemDx::TriangleVisibility(static_cast<rt::Long>(i)), cases[i].verdict) << i;
}

TEST_F(Visibility, QuadVerdicts) {
    const D3DVECTOR in = At(320, 240), above = At(320, -50);
    ZemDx::Quad q;
    for (auto& v : q.V) v = ZemDx::Vertex{above.x, above.y, above.z, 0, 0, 0};
    ZemDx::Quads.push_back(q);
    q.V[3] = ZemDx::Vertex{in.x, in.y, in.z, 0, 0, 0};
    ZemDx::Quads.push_back(q);
    for (auto& v : q.V) v = ZemDx::Vertex{in.x, in.y, in.z, 0, 0, 0};
    ZemDx::Quads.push_back(q);
    EXPECT_EQ(ZemDx::QuadVisibility(0), 2);
    EXPECT_EQ(ZemDx::QuadVisibility(1), 0);
    EXPECT_EQ(ZemDx::QuadVisibility(2), 1);
}

TEST_F(Visibility, IndexPastTheListRaisesNine) {
    AddTriangleAt({At(1, 1), At(2, 2), At(3, 3)});
    EXPECT_EQ(rttest::ErrorOf([] { ZemDx::TriangleVisibility(1); }), rt::ErrSubscript);
    EXPECT_THROW(ZemDx::QuadVisibility(0), rt::RuntimeError);
    EXPECT_THROW(ZemDx::TriangleVisibility(-1), rt::RuntimeError);
}

TEST_F(Visibility, FailedViewportQueryGoesToTheCaller) {
    d3d8test::FailCall("GetViewport");
    EXPECT_THROW(ZemDx::ProjectionVisibilityPoint(At(1, 1)), rt::RuntimeError);
}

TEST_F(Visibility, ThroughTheGameCamera) {
    // The start camera looking along +z from 2 above the floor: a point 10 ahead at eye height
    // is inside, one behind the eye is nearer than MinZ.
    ZemDx::CameraState cam;
    cam.PosY = -2.0f;
    cam.FOV = 1.04719f;
    ASSERT_EQ(ZemDx::SetupMatrices(cam), rt::True);
    EXPECT_EQ(ZemDx::ProjectionVisibilityPoint(D3DVECTOR{0, 2, 10}), 1);
    EXPECT_EQ(ZemDx::ProjectionVisibilityPoint(D3DVECTOR{0, 2, 20000}), 7);
    EXPECT_EQ(ZemDx::ProjectionVisibilityPoint(D3DVECTOR{-100, 2, 10}), 3);
    EXPECT_EQ(ZemDx::ProjectionVisibilityPoint(D3DVECTOR{0, 2, 0.5f}), 6);
}
