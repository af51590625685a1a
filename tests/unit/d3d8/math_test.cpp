// D3DX matrices and point projection against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx8/math.h"

namespace {

D3DVECTOR Transform(const D3DVECTOR& p, const D3DMATRIX& m) {
    const float x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const float y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    const float z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
    return {x, y, z};
}

void ExpectVec(const D3DVECTOR& v, float x, float y, float z, float tol = 1e-5f) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

constexpr float kQuarter = 1.5707964f;

TEST(D3DXMatrix, RotationsTurnTheAxesTheLeftHandedWay) {
    D3DMATRIX m;
    D3DXMatrixRotationY(m, kQuarter);
    ExpectVec(Transform({0, 0, 1}, m), 1, 0, 0);    // +z turns toward +x
    D3DXMatrixRotationX(m, kQuarter);
    ExpectVec(Transform({0, 1, 0}, m), 0, 0, 1);    // +y turns toward +z
    D3DXMatrixRotationZ(m, kQuarter);
    ExpectVec(Transform({1, 0, 0}, m), 0, 1, 0);    // +x turns toward +y
    D3DXMatrixTranslation(m, 1, -2, 3);
    ExpectVec(Transform({1, 1, 1}, m), 2, -1, 4);
    D3DXMatrixIdentity(m);
    ExpectVec(Transform({4, 5, 6}, m), 4, 5, 6);
}

TEST(D3DXMatrix, YawPitchRollAppliesRollThenPitchThenYaw) {
    D3DMATRIX m;
    D3DXMatrixRotationYawPitchRoll(m, kQuarter, kQuarter, kQuarter);
    // (1,0,0): roll -> (0,1,0), pitch -> (0,0,1), yaw -> (1,0,0).
    ExpectVec(Transform({1, 0, 0}, m), 1, 0, 0);
    // (0,1,0): roll -> (-1,0,0), pitch leaves it, yaw -> (0,0,1).
    ExpectVec(Transform({0, 1, 0}, m), 0, 0, 1);
    // Zero angles are the identity.
    D3DXMatrixRotationYawPitchRoll(m, 0, 0, 0);
    ExpectVec(Transform({3, -2, 7}, m), 3, -2, 7);
}

TEST(D3DXMatrix, MultiplyAppliesTheFirstMatrixFirstAndMayOverwriteAnInput) {
    D3DMATRIX t, r, tr, rt;
    D3DXMatrixTranslation(t, 1, 0, 0);
    D3DXMatrixRotationY(r, kQuarter);
    D3DXMatrixMultiply(tr, t, r);   // move, then turn
    D3DXMatrixMultiply(rt, r, t);   // turn, then move
    ExpectVec(Transform({0, 0, 0}, tr), 0, 0, -1);
    ExpectVec(Transform({0, 0, 0}, rt), 1, 0, 0);
    D3DXMatrixMultiply(t, t, r);    // output is also the first input
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_FLOAT_EQ(t.m[i][j], tr.m[i][j]);
}

TEST(D3DXMatrix, PerspectiveOfTheGameCamera) {
    // Vertical field of view 1.04719, aspect 0.75, near 1, far 10000.
    D3DMATRIX p;
    D3DXMatrixPerspectiveFovLH(p, 1.04719f, 0.75f, 1.0f, 10000.0f);
    EXPECT_NEAR(p.m[1][1], 1.73207f, 1e-4f);
    EXPECT_NEAR(p.m[0][0], 2.30942f, 1e-4f);
    EXPECT_NEAR(p.m[2][2], 1.00010f, 1e-5f);
    EXPECT_NEAR(p.m[3][2], -1.00010f, 1e-5f);
    EXPECT_FLOAT_EQ(p.m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(p.m[3][3], 0.0f);
    // The horizontal field of view is narrower than the vertical one: 2 atan(1 / x scale).
    EXPECT_NEAR(2.0f * std::atan(1.0f / p.m[0][0]), 0.8173f, 1e-4f);
    // A point on the near plane gets depth 0, one on the far plane depth 1.
    for (float z : {1.0f, 10000.0f}) {
        const float zc = z * p.m[2][2] + p.m[3][2];
        EXPECT_NEAR(zc / z, z == 1.0f ? 0.0f : 1.0f, 1e-6f);
    }
}

TEST(D3DXVec3Project, GameCameraTwoUnitsAboveTheFloor) {
    D3DMATRIX world, view, proj;
    D3DXMatrixIdentity(world);
    D3DXMatrixTranslation(view, 0, -2, 0);
    D3DXMatrixPerspectiveFovLH(proj, 1.04719f, 0.75f, 1.0f, 10000.0f);
    const D3DVIEWPORT8 vp{0, 0, 640, 480, 0.0f, 1.0f};
    D3DVECTOR out;
    // The floor point 10 ahead: view (0, -2, 10); clip y = -2 x 1.73207, w = 10.
    D3DXVec3Project(out, {0, 0, 10}, vp, proj, view, world);
    EXPECT_NEAR(out.x, 320.0f, 1e-3f);
    EXPECT_NEAR(out.y, 240.0f * (1.0f + 0.346414f), 1e-2f);
    EXPECT_NEAR(out.z, (10.0f * 1.00010001f - 1.00010001f) / 10.0f, 1e-5f);
    // A point at eye height 1 to the right at depth 1: x = 320 (1 + 2.30942).
    D3DXVec3Project(out, {1, 2, 1}, vp, proj, view, world);
    EXPECT_NEAR(out.x, 320.0f * (1.0f + 2.30942f), 0.05f);
    EXPECT_NEAR(out.y, 240.0f, 1e-3f);
    EXPECT_NEAR(out.z, 0.0f, 1e-6f);
}

TEST(D3DXVec3Project, ViewportOffsetAndDepthRange) {
    D3DMATRIX id;
    D3DXMatrixIdentity(id);
    const D3DVIEWPORT8 vp{10, 20, 100, 50, 0.5f, 1.0f};
    D3DVECTOR out;
    D3DXVec3Project(out, {0.5f, -0.5f, 0.25f}, vp, id, id, id);
    ExpectVec(out, 85.0f, 57.5f, 0.625f);
    // The corners of the clip square land on the corners of the viewport.
    D3DXVec3Project(out, {-1, 1, 0}, vp, id, id, id);
    ExpectVec(out, 10.0f, 20.0f, 0.5f);
    D3DXVec3Project(out, {1, -1, 1}, vp, id, id, id);
    ExpectVec(out, 110.0f, 70.0f, 1.0f);
}

}  // namespace
