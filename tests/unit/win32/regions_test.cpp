// Regions: which pixels rectangles and polygons cover under each fill mode, the combine modes,
// handle ownership once a window takes a region, and bad arguments.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/headless/headless.h"
#include "platform/win32/win32.h"

namespace {

int Area(int32_t h, int x0 = -20, int y0 = -20, int x1 = 60, int y1 = 60) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += PtInRegion(h, x, y) ? 1 : 0;
    return n;
}

TEST(Regions, RectangleCoversLeftTopInclusiveRightBottomExclusive) {
    int32_t r = CreateRectRgn(2, 3, 12, 8);
    ASSERT_NE(r, 0);
    EXPECT_EQ(Area(r), 10 * 5);
    EXPECT_TRUE(PtInRegion(r, 2, 3));
    EXPECT_TRUE(PtInRegion(r, 11, 7));
    EXPECT_FALSE(PtInRegion(r, 12, 7));
    EXPECT_FALSE(PtInRegion(r, 11, 8));
    // Corners given in the other order make the same rectangle.
    int32_t s = CreateRectRgn(12, 8, 2, 3);
    EXPECT_EQ(Area(s), 50);
    int32_t empty = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(empty, 0);
    EXPECT_EQ(Area(empty), 0);
    EXPECT_EQ(CombineRgn(empty, empty, 0, RGN_COPY), NULLREGION);
}

TEST(Regions, PolygonMatchesRectangleOfSameCorners) {
    POINTAPI pts[] = {{2, 3}, {12, 3}, {12, 8}, {2, 8}};
    int32_t p = CreatePolygonRgn(pts, 4, ALTERNATE);
    int32_t r = CreateRectRgn(2, 3, 12, 8);
    int32_t x = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(x, p, r, RGN_XOR), NULLREGION);
    EXPECT_EQ(CombineRgn(x, p, p, RGN_COPY), SIMPLEREGION);
}

TEST(Regions, TriangleTakesPixelsWhoseCentresAreInside) {
    // Right triangle with legs of 20: the pixel centres below the diagonal.
    POINTAPI pts[] = {{0, 0}, {20, 0}, {0, 20}};
    int32_t t = CreatePolygonRgn(pts, 3, ALTERNATE);
    EXPECT_TRUE(PtInRegion(t, 0, 0));
    EXPECT_TRUE(PtInRegion(t, 18, 0));
    EXPECT_TRUE(PtInRegion(t, 9, 9));    // centre (9.5, 9.5): x + y = 19 < 20
    EXPECT_FALSE(PtInRegion(t, 10, 10)); // centre (10.5, 10.5) is outside
    EXPECT_EQ(Area(t), 190);             // 20 + 19 + ... + 1 minus the diagonal half pixels
}

TEST(Regions, FillModesDifferOnSelfOverlappingOutline) {
    // A square traced twice the same way round: winding 2 inside.
    POINTAPI twice[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(Area(CreatePolygonRgn(twice, 8, ALTERNATE)), 0);
    EXPECT_EQ(Area(CreatePolygonRgn(twice, 8, WINDING)), 100);
    // Five-pointed star: the centre pentagon is a hole under ALTERNATE only.
    POINTAPI star[] = {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}};
    int32_t alt = CreatePolygonRgn(star, 5, ALTERNATE);
    int32_t win = CreatePolygonRgn(star, 5, WINDING);
    EXPECT_FALSE(PtInRegion(alt, 20, 20));
    EXPECT_TRUE(PtInRegion(win, 20, 20));
    EXPECT_TRUE(PtInRegion(alt, 20, 4));  // a point of the star is in both
    EXPECT_TRUE(PtInRegion(win, 20, 4));
    EXPECT_GT(Area(win), Area(alt));
}

TEST(Regions, CombineModes) {
    int32_t a = CreateRectRgn(0, 0, 10, 10);
    int32_t b = CreateRectRgn(5, 5, 15, 15);
    int32_t d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(Area(d), 25);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(Area(d), 175);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_EQ(Area(d), 150);
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_EQ(Area(d), 75);
    EXPECT_TRUE(PtInRegion(d, 4, 9));
    EXPECT_FALSE(PtInRegion(d, 5, 5));
    // Copy ignores the second source, even an invalid one.
    EXPECT_EQ(CombineRgn(d, b, 0, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(Area(d), 100);
    // Destination may be one of the sources.
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(Area(a), 175);
    // Side-by-side rectangles merge into one.
    int32_t l = CreateRectRgn(0, 0, 5, 5), r = CreateRectRgn(5, 0, 10, 5);
    EXPECT_EQ(CombineRgn(d, l, r, RGN_OR), SIMPLEREGION);
}

TEST(Regions, BadArgumentsFailWithoutChangingTheDestination) {
    int32_t d = CreateRectRgn(0, 0, 4, 4);
    int32_t a = CreateRectRgn(0, 0, 2, 2);
    EXPECT_EQ(CombineRgn(d, a, a, 9), RGN_ERROR);
    EXPECT_EQ(CombineRgn(d, a, 12345, RGN_AND), RGN_ERROR);
    EXPECT_EQ(CombineRgn(12345, a, a, RGN_COPY), RGN_ERROR);
    EXPECT_EQ(Area(d), 16);
    POINTAPI pts[] = {{0, 0}, {4, 0}, {4, 4}};
    EXPECT_EQ(CreatePolygonRgn(pts, 3, 0), 0);
    EXPECT_EQ(CreatePolygonRgn(nullptr, 3, ALTERNATE), 0);
    EXPECT_EQ(CreatePolygonRgn(pts, -1, ALTERNATE), 0);
    int32_t two = CreatePolygonRgn(pts, 2, ALTERNATE);
    EXPECT_NE(two, 0);
    EXPECT_EQ(Area(two), 0);
    EXPECT_EQ(DeleteObject(d), 1);
    EXPECT_EQ(DeleteObject(d), 0);  // already gone
    EXPECT_EQ(CombineRgn(d, a, a, RGN_COPY), RGN_ERROR);
}

TEST(Regions, HugeCoordinatesStayBounded) {
    // A wild polygon must neither hang nor exhaust memory.
    POINTAPI pts[] = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}};
    int32_t p = CreatePolygonRgn(pts, 3, WINDING);
    ASSERT_NE(p, 0);
    EXPECT_TRUE(PtInRegion(p, 0, 0));
    int32_t r = CreateRectRgn(-2000000000, -2000000000, 2000000000, 2000000000);
    int32_t d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(CombineRgn(d, r, p, RGN_AND), RGN_ERROR);
    EXPECT_TRUE(PtInRegion(d, 0, 0));
    EXPECT_FALSE(PtInRegion(d, 0, -1999999999));  // beyond the rows a region keeps
    EXPECT_TRUE(PtInRegion(r, 1999999999, -2000000000));
}

struct ShapedForm : rt::Form {
    ShapedForm() : Form("ShapedForm") {
        BorderStyle(rt::vbBSNone);
        ClientSize(40, 30);
        Move(100, 100);
    }
};

TEST(Regions, WindowOwnsItsRegionFromSetWindowRgnOn) {
    rt::headless::Use();
    auto& f = rt::FormOf<ShapedForm>();
    f.Show();
    int32_t h = CreateRectRgn(10, 10, 20, 20);
    EXPECT_NE(SetWindowRgn(f.hWnd(), h, -1), 0);
    EXPECT_EQ(DeleteObject(h), 0);  // the program no longer owns it
    EXPECT_EQ(rt::headless::WindowAt(105, 105), nullptr);
    EXPECT_EQ(rt::headless::WindowAt(115, 115), &f);
    // An unknown window takes nothing: the caller keeps the region.
    int32_t k = CreateRectRgn(0, 0, 5, 5);
    EXPECT_EQ(SetWindowRgn(0x7777, k, -1), 0);
    EXPECT_EQ(DeleteObject(k), 1);
    // Region 0 removes the shape.
    EXPECT_NE(SetWindowRgn(f.hWnd(), 0, -1), 0);
    EXPECT_EQ(rt::headless::WindowAt(105, 105), &f);
}

}  // namespace
