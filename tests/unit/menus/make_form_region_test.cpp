// The outline region of the shaped windows: reading the tables, converting outline pixels to
// screen pixels (twips, scale, offset, rounding) and the region that comes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "app/outline/make_form_region.h"
#include "app/outline/outline_tables.h"
#include "platform/runtime/errors.h"
#include "platform/win32/regions.h"
#include "tests/unit/runtime/error_of.h"

namespace {

struct Table {
    const char* window;
    const Outline::Point16* points;
    int count;
};

const Table kTables[] = {
    {"frmMenu", Outline::kMenu, Outline::kMenuCount},
    {"frmOptions", Outline::kOptions, Outline::kOptionsCount},
    {"frmAbout", Outline::kAbout, Outline::kAboutCount},
    {"frmSelect", Outline::kSelect, Outline::kSelectCount},
    {"frmWindowed", Outline::kWindowed, Outline::kWindowedCount},
};

int RaisedNumber(int16_t value, float scale, float twips, int16_t offset) {
    return rttest::ErrorOf([&] { Outline::ScreenCoordinate(value, scale, twips, offset); });
}

// Pixels of the box (0, 0)-(w, h) inside two regions differ nowhere.
void ExpectSameArea(int32_t a, int32_t b, int32_t w, int32_t h) {
    int differing = 0;
    for (int32_t y = -1; y <= h; ++y)
        for (int32_t x = -1; x <= w; ++x)
            if ((PtInRegion(a, x, y) != 0) != (PtInRegion(b, x, y) != 0)) ++differing;
    EXPECT_EQ(differing, 0);
}

}  // namespace

TEST(ShapePoint, OutsideTheTableIsZeroOnEveryWindow) {
    for (const Table& t : kTables) {
        SCOPED_TRACE(t.window);
        ASSERT_GT(t.count, 2);
        const int16_t n = static_cast<int16_t>(t.count);
        EXPECT_EQ(Outline::ShapePointX(t.points, t.count, -1), 0);
        EXPECT_EQ(Outline::ShapePointY(t.points, t.count, -1), 0);
        EXPECT_EQ(Outline::ShapePointX(t.points, t.count, n), 0);
        EXPECT_EQ(Outline::ShapePointY(t.points, t.count, n), 0);
        EXPECT_EQ(Outline::ShapePointX(t.points, t.count, -32768), 0);
        EXPECT_EQ(Outline::ShapePointY(t.points, t.count, 32767), 0);
    }
}

TEST(ShapePoint, InsideTheTableSelectsThePoint) {
    for (const Table& t : kTables) {
        SCOPED_TRACE(t.window);
        const int16_t last = static_cast<int16_t>(t.count - 1);
        EXPECT_EQ(Outline::ShapePointX(t.points, t.count, 0), t.points[0].x);
        EXPECT_EQ(Outline::ShapePointY(t.points, t.count, 0), t.points[0].y);
        EXPECT_EQ(Outline::ShapePointX(t.points, t.count, last), t.points[last].x);
        EXPECT_EQ(Outline::ShapePointY(t.points, t.count, last), t.points[last].y);
    }
}

TEST(ScreenCoordinate, FifteenTwipsKeepsTheTableValues) {
    for (int16_t v : {0, 1, 94, 241, 342, 500, -7})
        EXPECT_EQ(Outline::ScreenCoordinate(v, 1.0f, 15.0f, 0), v);
}

TEST(ScreenCoordinate, TwelveTwipsScalesByFiveQuartersRoundingHalvesToEven) {
    EXPECT_EQ(Outline::ScreenCoordinate(2, 1.0f, 12.0f, 0), 2);     // 2.5 down to 2
    EXPECT_EQ(Outline::ScreenCoordinate(6, 1.0f, 12.0f, 0), 8);     // 7.5 up to 8
    EXPECT_EQ(Outline::ScreenCoordinate(10, 1.0f, 12.0f, 0), 12);   // 12.5 down to 12
    EXPECT_EQ(Outline::ScreenCoordinate(113, 1.0f, 12.0f, 0), 141); // 141.25
    EXPECT_EQ(Outline::ScreenCoordinate(342, 1.0f, 12.0f, 0), 428); // 427.5 up to 428
    EXPECT_EQ(Outline::ScreenCoordinate(-2, 1.0f, 12.0f, 0), -2);   // -2.5 to -2
}

TEST(ScreenCoordinate, ScaleAndOffsetApplyAfterTheTwips) {
    EXPECT_EQ(Outline::ScreenCoordinate(94, 2.0f, 15.0f, 10), 198);
    // The offset is added in screen pixels, after the conversion: 2 * 1.25 + 3 = 5.5 -> 6.
    EXPECT_EQ(Outline::ScreenCoordinate(2, 1.0f, 12.0f, 3), 6);
    EXPECT_EQ(Outline::ScreenCoordinate(10, 0.5f, 15.0f, -32768), -32763);
    // Worked in double precision: 0.1f is not 0.1, and 300 * 0.1f * 15 / 15 is 30.000000447.
    EXPECT_EQ(Outline::ScreenCoordinate(300, 0.1f, 15.0f, 0), 30);
    // 5 * 0.1f is 0.50000000745: just above the half, so 1 (in single precision it would be
    // exactly 0.5 and go to 0).
    EXPECT_EQ(Outline::ScreenCoordinate(5, 0.1f, 15.0f, 0), 1);
}

TEST(ScreenCoordinate, BadArithmeticRaises) {
    EXPECT_EQ(RaisedNumber(94, 1.0f, 0.0f, 0), rt::ErrDivisionByZero);
    EXPECT_EQ(RaisedNumber(0, 1.0f, 0.0f, 0), rt::ErrOverflow);  // 0 / 0
    EXPECT_EQ(RaisedNumber(94, std::numeric_limits<float>::quiet_NaN(), 15.0f, 0), rt::ErrOverflow);
    EXPECT_EQ(RaisedNumber(94, std::numeric_limits<float>::infinity(), 15.0f, 0), rt::ErrOverflow);
    EXPECT_EQ(RaisedNumber(0, std::numeric_limits<float>::infinity(), 15.0f, 0), rt::ErrOverflow);
    // Past the 32-bit range, either way.
    EXPECT_EQ(RaisedNumber(500, 1e7f, 15.0f, 0), rt::ErrOverflow);
    EXPECT_EQ(RaisedNumber(-500, 1e7f, 15.0f, 0), rt::ErrOverflow);
    // Just inside it.
    EXPECT_EQ(Outline::ScreenCoordinate(32767, 65538.0f, 15.0f, 0), 2147483646);
    EXPECT_EQ(RaisedNumber(32767, 65538.0f, 15.0f, 2), rt::ErrOverflow);
}

TEST(MakeFormRegion, AtFifteenTwipsTheRegionIsTheTablePolygon) {
    for (const Table& t : kTables) {
        SCOPED_TRACE(t.window);
        std::vector<POINTAPI> pts;
        int32_t w = 0, h = 0;
        for (int i = 0; i < t.count; ++i) {
            pts.push_back({t.points[i].x, t.points[i].y});
            w = std::max<int32_t>(w, t.points[i].x);
            h = std::max<int32_t>(h, t.points[i].y);
        }
        const int32_t expected = CreatePolygonRgn(pts.data(), t.count, ALTERNATE);
        int32_t hFormRegion = 0;
        const int32_t made = Outline::MakeFormRegion(t.points, t.count, 1.0f, 1.0f, 0, 0, 15.0f,
                                                     15.0f, hFormRegion);
        EXPECT_NE(made, 0);
        EXPECT_EQ(made, hFormRegion);
        EXPECT_NE(made, expected);
        ExpectSameArea(made, expected, w, h);
        DeleteObject(made);
        DeleteObject(expected);
    }
}

TEST(MakeFormRegion, ConvertsEveryPointOnItsOwnAxis) {
    // A 10 x 6 rectangle.
    const Outline::Point16 box[] = {{0, 0}, {10, 0}, {10, 6}, {0, 6}};
    int32_t h = 0;

    // 12 twips across, 15 down: 12.5 -> 12 wide, 6 high.
    Outline::MakeFormRegion(box, 4, 1.0f, 1.0f, 0, 0, 12.0f, 15.0f, h);
    int32_t want = CreateRectRgn(0, 0, 12, 6);
    ExpectSameArea(h, want, 20, 20);
    DeleteObject(h);
    DeleteObject(want);

    // 12 twips both ways: 12 wide, 7.5 -> 8 high.
    Outline::MakeFormRegion(box, 4, 1.0f, 1.0f, 0, 0, 12.0f, 12.0f, h);
    want = CreateRectRgn(0, 0, 12, 8);
    ExpectSameArea(h, want, 20, 20);
    DeleteObject(h);
    DeleteObject(want);

    // Scale 2 across, 0.5 down, moved by (10, 3): from (10, 3) to (30, 6).
    Outline::MakeFormRegion(box, 4, 2.0f, 0.5f, 10, 3, 15.0f, 15.0f, h);
    want = CreateRectRgn(10, 3, 30, 6);
    ExpectSameArea(h, want, 40, 20);
    DeleteObject(h);
    DeleteObject(want);
}

TEST(MakeFormRegion, ReadsThePointsThroughTheReadersInIndexOrder) {
    std::vector<int16_t> asked;
    const Outline::PointReader x = [&](int16_t i) -> int16_t {
        asked.push_back(i);
        return i == 1 || i == 2 ? 8 : 0;
    };
    const Outline::PointReader y = [](int16_t i) -> int16_t { return i >= 2 ? 4 : 0; };
    int32_t h = 0;
    Outline::MakeFormRegion(4, x, y, 1.0f, 1.0f, 0, 0, 15.0f, 15.0f, h);
    EXPECT_EQ(asked, (std::vector<int16_t>{0, 1, 2, 3}));
    EXPECT_TRUE(PtInRegion(h, 7, 3));
    EXPECT_FALSE(PtInRegion(h, 8, 3));
    EXPECT_FALSE(PtInRegion(h, 7, 4));
    DeleteObject(h);
}

TEST(MakeFormRegion, EachCallMakesANewRegion) {
    int32_t h = 0;
    const int32_t first = Outline::MakeFormRegion(Outline::kMenu, Outline::kMenuCount, 1.0f, 1.0f,
                                                  0, 0, 15.0f, 15.0f, h);
    const int32_t second = Outline::MakeFormRegion(Outline::kMenu, Outline::kMenuCount, 1.0f, 1.0f,
                                                   0, 0, 15.0f, 15.0f, h);
    EXPECT_NE(first, second);
    EXPECT_EQ(h, second);
    ExpectSameArea(first, second, 342, 309);
    // The first is still a region of its own.
    EXPECT_NE(DeleteObject(first), 0);
    EXPECT_NE(DeleteObject(second), 0);
}

TEST(MakeFormRegion, AnArithmeticErrorLeavesTheEmptyRegionInTheHandle) {
    int32_t h = 0;
    EXPECT_EQ(rttest::ErrorOf([&] {
                  Outline::MakeFormRegion(Outline::kMenu, Outline::kMenuCount, 1.0f, 1.0f, 0, 0, 0.0f, 15.0f, h);
              }),
              rt::ErrDivisionByZero);
    ASSERT_NE(h, 0);
    int inside = 0;
    for (int y = 0; y < 309; y += 7)
        for (int x = 0; x < 342; x += 7) inside += PtInRegion(h, x, y) != 0;
    EXPECT_EQ(inside, 0);
    EXPECT_NE(DeleteObject(h), 0);
}

