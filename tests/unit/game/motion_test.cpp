// Turning, tilting, walking and the grid collision test of the game window's keys.
#include <gtest/gtest.h>

#include <cmath>

#include "app/frmWindowed_motion.h"
#include "app/world_map.h"

using namespace GameMotion;

namespace {

// A world grid of rows x cols open cells (row 0 and column 0 hold 0, as the reader leaves them).
void OpenWorld(int rows, int cols) {
    ModMain::Map.ReDim(rows, cols);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) ModMain::Map(r, c) = ModMain::kOpenFloor;
}

float Repeat(float v, int n, float (*f)(float)) {
    for (int i = 0; i < n; ++i) v = f(v);
    return v;
}

}  // namespace

TEST(Turning, LeftFromZeroWrapsBelowZero) {
    EXPECT_EQ(TurnLeft(0.0f), 6.1620002f);
}

TEST(Turning, RightThenLeftWrapsToJustUnderTheWrapValue) {
    // The stored 0.12f minus the double 0.12 is a tiny negative number, which wraps.
    EXPECT_EQ(TurnLeft(TurnRight(0.0f)), 6.2820001f);
}

TEST(Turning, LeftThenRightStaysOnTheWrapValueUntilTheNextRight) {
    const float h = TurnRight(TurnLeft(0.0f));
    EXPECT_EQ(h, 6.2820001f);  // equal to the wrap value as a float: not greater, no wrap
    EXPECT_EQ(TurnRight(h), 0.11999995f);
}

TEST(Turning, FullCircleOfRightsWrapsOnTheFiftyThird) {
    const float h52 = Repeat(0.0f, 52, TurnRight);
    EXPECT_NEAR(h52, 6.2399960f, 1e-6);
    const float h53 = TurnRight(h52);
    EXPECT_NEAR(h53, 0.078f, 1e-3);
    EXPECT_GE(h53, 0.0f);
}

TEST(Turning, LongTurnsStayWithinTheWrapRange) {
    float l = 0.0f, r = 0.0f;
    for (int i = 0; i < 5000; ++i) {
        l = TurnLeft(l);
        r = TurnRight(r);
        ASSERT_GE(l, 0.0f);
        ASSERT_LE(l, 6.2820001f);
        ASSERT_GE(r, 0.0f);
        ASSERT_LE(r, 6.2820001f);
    }
}

TEST(Tilting, DownClampsAtMinusAQuarterTurnAndUpMovesOnFromThere) {
    const float p13 = Repeat(0.0f, 13, TiltDown);
    EXPECT_NEAR(p13, -1.56f, 1e-5);
    const float p14 = TiltDown(p13);
    EXPECT_EQ(p14, -1.5707964f);
    EXPECT_EQ(TiltDown(p14), -1.5707964f);
    EXPECT_EQ(TiltUp(p14), -1.4507964f);
}

TEST(Tilting, UpClampsAtPlusAQuarterTurn) {
    const float p14 = Repeat(0.0f, 14, TiltUp);
    EXPECT_EQ(p14, 1.5707964f);
    EXPECT_EQ(TiltUp(p14), 1.5707964f);
    EXPECT_EQ(TiltDown(p14), 1.4507964f);
}

TEST(Stepping, HeadingZeroMovesAlongZOnly) {
    float x = -12.5f, z = -12.5f;
    Step(x, z, 1.0f, 0.0f, +1);
    EXPECT_EQ(x, -12.5f);
    EXPECT_EQ(z, -13.5f);  // the eye moved 1 along +z
    Step(x, z, 2.0f, 0.0f, -1);
    EXPECT_EQ(z, -11.5f);
}

TEST(Stepping, QuarterTurnMovesAlongX) {
    float x = 0.0f, z = 0.0f;
    Step(x, z, 1.0f, 1.5707964f, +1);
    EXPECT_NEAR(x, -1.0f, 1e-6);
    EXPECT_NEAR(z, 0.0f, 1e-6);
}

TEST(CellLookup, RoundsHalvesToEvenThenTruncatesTowardZero) {
    OpenWorld(4, 4);
    int r = -1, c = -1;
    ASSERT_TRUE(CellAt(5.5, 9.5, r, c));  // 6 -> 1, 10 -> 2
    EXPECT_EQ(r, 1);
    EXPECT_EQ(c, 2);
    ASSERT_TRUE(CellAt(10.5, 14.5, r, c));  // 10 -> 2, 14 -> 2
    EXPECT_EQ(r, 2);
    EXPECT_EQ(c, 2);
    ASSERT_TRUE(CellAt(9.0, 10.0, r, c));  // 9 -> 1, 10 -> 2
    EXPECT_EQ(r, 1);
    EXPECT_EQ(c, 2);
    ASSERT_TRUE(CellAt(-2.5, -3.0, r, c));  // -2 -> 0, -3 -> 0 (truncated, not floored)
    EXPECT_EQ(r, 0);
    EXPECT_EQ(c, 0);
}

TEST(CellLookup, PointsOutsideTheGridHaveNoCell) {
    OpenWorld(2, 3);
    int r = 0, c = 0;
    EXPECT_FALSE(CellAt(-7.0, 5.0, r, c));   // -7 / 5 = -1
    EXPECT_FALSE(CellAt(15.0, 5.0, r, c));   // row 3 of a two-row grid
    EXPECT_FALSE(CellAt(5.0, 20.0, r, c));   // column 4 of three
    EXPECT_TRUE(CellAt(14.0, 19.0, r, c));   // the last cell
    EXPECT_FALSE(CellAt(1e12, 5.0, r, c));
    EXPECT_FALSE(CellAt(std::nan(""), 5.0, r, c));
}

TEST(CellLookup, NoGridMeansNoCell) {
    ModMain::Map.Erase();
    int r = 0, c = 0;
    EXPECT_FALSE(CellAt(7.5, 7.5, r, c));
    EXPECT_TRUE(PointBlocks(7.5, 7.5));
}

TEST(Blocking, OnlyOpenFloorAndStartCellsLetTheViewerThrough) {
    OpenWorld(3, 3);
    struct {
        int16_t code;
        bool blocks;
    } cases[] = {{ModMain::kOpenFloor, false}, {ModMain::kStartCell, false}, {11, true},
                 {1, true}, {0, true}, {-5, true}};
    for (auto [code, blocks] : cases) {
        ModMain::Map(2, 2) = code;
        EXPECT_EQ(PointBlocks(12.5, 12.5), blocks) << "code " << code;
    }
    EXPECT_TRUE(PointBlocks(2.0, 12.5));  // row 0 holds 0
    EXPECT_TRUE(PointBlocks(12.5, 2.0));  // column 0 holds 0
}

TEST(Blocking, CornersAreTestedInOrderAroundTheEye) {
    OpenWorld(5, 5);
    // Eye on the corner where cells (1, 1), (1, 2), (2, 1) and (2, 2) meet: each corner of the
    // square lies in a cell of its own, in the order (x-2, z+2), (x+2, z-2), (x+2, z+2), (x-2, z-2).
    const double ex = 10.0, ez = 10.0;
    const int cells[4][2] = {{1, 2}, {2, 1}, {2, 2}, {1, 1}};
    EXPECT_EQ(FirstBlockingCorner(ex, ez), -1);
    for (int i = 0; i < 4; ++i) {
        ModMain::Map(cells[i][0], cells[i][1]) = 4;
        EXPECT_EQ(FirstBlockingCorner(ex, ez), i) << "wall under corner " << i << " alone";
        ModMain::Map(cells[i][0], cells[i][1]) = ModMain::kOpenFloor;
    }
    // With walls under several corners the first in that order is reported.
    ModMain::Map(1, 1) = 4;
    ModMain::Map(2, 2) = 4;
    EXPECT_EQ(FirstBlockingCorner(ex, ez), 2);
    ModMain::Map(1, 2) = 4;
    EXPECT_EQ(FirstBlockingCorner(ex, ez), 0);
}

TEST(Walking, StepIntoOpenCellsStands) {
    OpenWorld(5, 5);
    float x = -12.5f, z = -12.5f;
    EXPECT_TRUE(Walk(x, z, 1.0f, 0.0f, +1));
    EXPECT_EQ(x, -12.5f);
    EXPECT_EQ(z, -13.5f);
}

TEST(Walking, StepIntoAWallIsUndoneWhole) {
    OpenWorld(3, 3);
    ModMain::Map(1, 2) = 7;
    // Heading 0.12 (one Right from 0) from the middle of cell (1, 1): the forward corner on the
    // low-x side reaches cell (1, 2) and the step is undone by stepping back, recomputed.
    float x = -7.5f, z = -7.5f;
    EXPECT_FALSE(Walk(x, z, 1.0f, TurnRight(0.0f), +1));
    EXPECT_EQ(x, -7.5f);
    EXPECT_EQ(z, -7.4999995f);
}

TEST(Walking, RowZeroAndColumnZeroCannotBeEntered) {
    OpenWorld(4, 4);
    float x = -7.5f, z = -7.5f;  // middle of cell (1, 1)
    // Back along z (heading 0): the low corners reach column 0.
    EXPECT_FALSE(Walk(x, z, 1.0f, 0.0f, -1));
    EXPECT_EQ(z, -7.5f);
    // Forward at a quarter turn the other way (heading ~4.71, looking along -x): row 0.
    const float west = 4.7123890f;
    EXPECT_FALSE(Walk(x, z, 1.0f, west, +1));
    EXPECT_NEAR(x, -7.5f, 1e-5);
}

TEST(Walking, ABlockedStepIsUndoneOnlyOnceSoTheViewerNeverDriftsBack) {
    // No start cell: the viewer stands at the world origin, every corner in cell (0, 0).
    OpenWorld(3, 3);
    float x = 0.0f, z = 0.0f;
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(Walk(x, z, 1.0f, 0.0f, +1));
        EXPECT_EQ(x, 0.0f);
        EXPECT_EQ(z, 0.0f);
    }
    EXPECT_FALSE(Walk(x, z, 2.0f, 3.0f, -1));
    EXPECT_NEAR(x, 0.0f, 1e-6);
    EXPECT_NEAR(z, 0.0f, 1e-6);
}

TEST(Walking, OpenHighEdgeDoesNotLetTheViewerLeaveTheGrid) {
    // A world whose last row is open: walking along +x stops before any corner leaves the grid.
    OpenWorld(3, 3);
    float x = -12.5f, z = -12.5f;
    for (int i = 0; i < 20; ++i) Walk(x, z, 1.0f, 1.5707964f, +1);
    int r = 0, c = 0;
    EXPECT_TRUE(CellAt(-x + 2.0, -z, r, c));
    EXPECT_NEAR(-x, 16.5, 1e-4);  // one more step would put a corner on 19.5, row 4
}

TEST(Walking, StepsBeforeAnyWorldIsReadAreRefused) {
    ModMain::Map.Erase();
    float x = 0.0f, z = 0.0f;
    EXPECT_FALSE(Walk(x, z, 1.0f, 0.7f, +1));
    EXPECT_NEAR(x, 0.0f, 1e-6);
    EXPECT_NEAR(z, 0.0f, 1e-6);
}
