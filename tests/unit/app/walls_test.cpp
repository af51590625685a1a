#include "app/walls.h"

#include <gtest/gtest.h>

#include "engine/geometry.h"
#include "platform/runtime/errors.h"
#include "tests/unit/runtime/error_of.h"

using ZemDx::Triangles;
using ZemDx::Vertex;

namespace {

void ExpectVertex(const Vertex& v, float x, float y, float z, float tu, float tv) {
    EXPECT_EQ(v.X, x);
    EXPECT_EQ(v.Y, y);
    EXPECT_EQ(v.Z, z);
    EXPECT_EQ(v.TU, tu);
    EXPECT_EQ(v.TV, tv);
    EXPECT_EQ(v.Color, 0x00FFFFFF);
}

// The signed area of the triangle as seen from the point `eye` (positive: counter-clockwise
// in a left-handed system, as the device culls clockwise triangles).
float Facing(const ZemDx::Triangle& t, float ex, float ey, float ez) {
    float ax = t.V[1].X - t.V[0].X, ay = t.V[1].Y - t.V[0].Y, az = t.V[1].Z - t.V[0].Z;
    float bx = t.V[2].X - t.V[0].X, by = t.V[2].Y - t.V[0].Y, bz = t.V[2].Z - t.V[0].Z;
    float nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    return nx * (ex - t.V[0].X) + ny * (ey - t.V[0].Y) + nz * (ez - t.V[0].Z);
}

}  // namespace

TEST(AddBlock, FirstAndLastTriangle) {
    ModMain::AddBlock(2, 3, 7);
    ASSERT_EQ(ZemDx::TriangleCount, 8);
    ExpectVertex(Triangles[0].V[0], 10, 5, 15, 0, 0);
    ExpectVertex(Triangles[0].V[1], 10, 5, 20, 1, 0);
    ExpectVertex(Triangles[0].V[2], 10, 0, 20, 1, 1);
    ExpectVertex(Triangles[7].V[0], 15, 0, 15, 1, 1);
    ExpectVertex(Triangles[7].V[1], 15, 0, 20, 0, 1);
    ExpectVertex(Triangles[7].V[2], 15, 5, 20, 0, 0);
    for (const auto& t : Triangles) EXPECT_EQ(t.Texture, 7);
    ModMain::AddBlock(0, 0, 1);
    EXPECT_EQ(ZemDx::TriangleCount, 16);
    EXPECT_EQ(ZemDx::TrianglesDirty, rt::True);
}

TEST(AddBlock, EveryFaceIsWoundToFaceOutward) {
    ModMain::AddBlock(1, 1, 0);
    // The block spans x 5..10 and z 5..10; the centre of each neighbouring cell looks at one face.
    const float eyes[4][3] = {{2.5f, 2.5f, 7.5f}, {7.5f, 2.5f, 12.5f}, {7.5f, 2.5f, 2.5f}, {12.5f, 2.5f, 7.5f}};
    for (int face = 0; face < 4; ++face) {
        for (int k = 0; k < 2; ++k) {
            const auto& t = Triangles[static_cast<size_t>(2 * face + k)];
            // Seen from outside the winding is counter-clockwise: the normal (v1-v0) x (v2-v0)
            // of a left-handed system points away from the eye, so the product is negative.
            EXPECT_LT(Facing(t, eyes[face][0], eyes[face][1], eyes[face][2]), 0) << "face " << face;
            EXPECT_GT(Facing(t, 7.5f, 2.5f, 7.5f), 0) << "face " << face;  // from inside: culled
        }
    }
}

TEST(AddBlock, SixteenBitOverflowAddsNothing) {
    ModMain::AddBlock(6552, 0, 1);  // 5 x 6553 = 32765 fits
    EXPECT_EQ(ZemDx::TriangleCount, 8);
    EXPECT_EQ(Triangles[7].V[0].X, 32765);
    for (auto [row, col] : {std::pair<rt::Integer, rt::Integer>{6553, 0}, {0, 6553}, {32767, 0}, {0, -6555}}) {
        EXPECT_EQ(rttest::ErrorOf([&] { ModMain::AddBlock(row, col, 1); }), rt::ErrOverflow)
            << row << "," << col;
        EXPECT_EQ(ZemDx::TriangleCount, 8);
    }
    ModMain::AddBlock(-1, -6553, 1);  // negative cells work down to -32765
    EXPECT_EQ(ZemDx::TriangleCount, 16);
    EXPECT_EQ(Triangles[8].V[0].X, -5);
    EXPECT_EQ(Triangles[8].V[0].Z, -32765);
}
