// The outline tables of the shaped windows, checked against the outline rules and against the
// skin pictures they were traced from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "app/outline/outline_tables.h"
#include "tests/unit/outline/picture_helpers.h"
#include "tools/outline/polygon.h"
#include "tools/outline/trace.h"

namespace {

struct Window {
    const char* name;
    const Outline::Point16* table;
    const int* count;
    int pictureW, pictureH;  // the skin picture
    int windowW, windowH;    // the window's client area
};

void PrintTo(const Window& w, std::ostream* os) { *os << w.name; }

const Window kWindows[] = {
    {"frmMenu", Outline::kMenu, &Outline::kMenuCount, 342, 309, 342, 309},
    {"frmOptions", Outline::kOptions, &Outline::kOptionsCount, 320, 320, 318, 320},
    {"frmAbout", Outline::kAbout, &Outline::kAboutCount, 371, 207, 371, 207},
    {"frmSelect", Outline::kSelect, &Outline::kSelectCount, 254, 232, 253, 231},
    {"frmWindowed", Outline::kWindowed, &Outline::kWindowedCount, 500, 370, 500, 370},
};

Outline::Poly PolyOf(const Window& w) {
    Outline::Poly p;
    for (int i = 0; i < *w.count; ++i) p.push_back({w.table[i].x, w.table[i].y});
    return p;
}

class OutlineTable : public ::testing::TestWithParam<Window> {};

TEST_P(OutlineTable, StartsAtLeftEndOfTopRowAndRunsClockwise) {
    const Outline::Poly p = PolyOf(GetParam());
    ASSERT_GE(p.size(), 4u);
    int top = p[0].y;
    for (const auto& q : p) top = std::min(top, q.y);
    EXPECT_EQ(p[0].y, top) << "point 0 is not on the top-most row";
    for (const auto& q : p) {
        if (q.y == top) {
            EXPECT_GE(q.x, p[0].x) << "a point of the top row lies left of point 0";
        }
    }
    EXPECT_EQ(p[1].y, top) << "the outline does not run along the top first";
    EXPECT_GT(p[1].x, p[0].x) << "the outline does not run rightwards along the top first";
    EXPECT_GT(Outline::TwiceArea(p), 0) << "the outline runs counter-clockwise on the screen";
}

TEST_P(OutlineTable, IsOneSimplePolygonOfStaircaseEdges) {
    const Outline::Poly p = PolyOf(GetParam());
    EXPECT_EQ(Outline::SimplePolygonFault(p), "");
    for (size_t i = 0; i < p.size(); ++i) {
        const auto& a = p[i];
        const auto& b = p[(i + 1) % p.size()];
        EXPECT_TRUE(a.x == b.x || a.y == b.y) << "edge " << i << " is not along the pixel grid";
    }
}

TEST_P(OutlineTable, StaysInsideTheShownPartOfThePicture) {
    const Window& w = GetParam();
    for (const auto& q : PolyOf(w)) {
        EXPECT_GE(q.x, 0);
        EXPECT_GE(q.y, 0);
        EXPECT_LE(q.x, w.windowW);
        EXPECT_LE(q.y, w.windowH);
    }
}

TEST_P(OutlineTable, CoversExactlyTheSkinsShape) {
    const Window& w = GetParam();
    const Outline::Picture pic = OutlineTest::Embedded(std::string(w.name) + ".bmp");
    ASSERT_EQ(pic.width, w.pictureW);
    ASSERT_EQ(pic.height, w.pictureH);
    const Outline::Grid shape = Outline::ShapePixels(pic);
    const Outline::Grid inside = Outline::Rasterise(PolyOf(w), pic.width, pic.height);
    long shapeOutside = 0, backgroundInside = 0;
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) {
            if (shape.At(x, y) && !inside.At(x, y)) ++shapeOutside;
            if (!shape.At(x, y) && inside.At(x, y)) ++backgroundInside;
        }
    EXPECT_EQ(shapeOutside, 0) << "painted pixels fall outside the window's outline";
    // Only bridged notches and filled holes may bring background inside; our skins have none.
    EXPECT_EQ(backgroundInside, 0) << "background pixels show inside the window's outline";
}

TEST_P(OutlineTable, EveryPointLiesOnTheBorder) {
    const Window& w = GetParam();
    const Outline::Picture pic = OutlineTest::Embedded(std::string(w.name) + ".bmp");
    const Outline::Grid shape = Outline::ShapePixels(pic);
    for (const auto& q : PolyOf(w)) {
        int in = 0;
        for (int dy = -1; dy <= 0; ++dy)
            for (int dx = -1; dx <= 0; ++dx) in += shape.At(q.x + dx, q.y + dy) ? 1 : 0;
        EXPECT_TRUE(in > 0 && in < 4) << "point (" << q.x << ", " << q.y << ") is not on the shape's border";
    }
}

TEST_P(OutlineTable, MatchesAFreshTraceOfTheEmbeddedPicture) {
    // Guards against a picture redrawn without its table being traced again.
    const Window& w = GetParam();
    const Outline::Picture pic = OutlineTest::Embedded(std::string(w.name) + ".bmp");
    const Outline::Traced t = Outline::TracePicture(pic);
    EXPECT_EQ(t.outline, PolyOf(w));
}

INSTANTIATE_TEST_SUITE_P(Windows, OutlineTable, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Painted buttons under their click zones ---------------------------------------------------

struct Zone {
    const char* picture;
    const char* control;
    int left, top, width, height;
    float hue;  // of the painted button (degrees)
};

// Hue in degrees of a saturated, not too dark colour; -1 for greys, dark and pale pixels.
float Hue(uint32_t c) {
    float r = ((c >> 16) & 0xFF) / 255.0f, g = ((c >> 8) & 0xFF) / 255.0f, b = (c & 0xFF) / 255.0f;
    float mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
    if (mx < 0.3f || d / mx < 0.45f) return -1;
    float h = mx == r ? std::fmod((g - b) / d + 6.0f, 6.0f) : mx == g ? (b - r) / d + 2.0f : (r - g) / d + 4.0f;
    return h * 60.0f;
}

bool SameHue(float a, float b) {
    if (a < 0 || b < 0) return false;
    float d = std::fabs(a - b);
    return std::min(d, 360.0f - d) <= 16.0f;
}

void PrintTo(const Zone& z, std::ostream* os) { *os << z.picture << "." << z.control; }

const Zone kZones[] = {
    {"frmMenu", "cmdBegin", 24, 16, 81, 57, 48},
    {"frmMenu", "CmdOptions", 24, 72, 81, 57, 356},
    {"frmMenu", "cmdSelectWorld", 112, 32, 73, 81, 302},
    {"frmMenu", "cmdAbout", 288, 200, 41, 41, 181},
    {"frmMenu", "cmdExit", 224, 248, 97, 49, 127},
    {"frmOptions", "cmdAccept", 112, 264, 161, 17, 181},
    {"frmOptions", "cmdCancel", 128, 280, 129, 25, 356},
    {"frmAbout", "cmdOk", 192, 168, 33, 25, 127},
    {"frmAbout", "cmdWebsite", 232, 152, 129, 17, 45},
    {"frmSelect", "cmdAccept", 136, 120, 97, 41, 127},
    {"frmSelect", "cmdCancel", 144, 176, 73, 49, 356},
};

class PaintedButton : public ::testing::TestWithParam<Zone> {};

// The button's colour, followed from the zone's middle row, stays inside the zone, and fills most
// of it: the painted button is where a click reaches it.
TEST_P(PaintedButton, LiesUnderItsClickZone) {
    const Zone& z = GetParam();
    const Outline::Picture pic = OutlineTest::Embedded(std::string(z.picture) + ".bmp");
    ASSERT_GT(pic.width, 0);
    Outline::Grid seen(pic.width, pic.height);
    std::vector<std::pair<int, int>> stack;
    const int my = z.top + z.height / 2;
    for (int x = z.left; x < z.left + z.width; ++x)
        if (SameHue(Hue(pic.At(x, my)), z.hue)) {
            seen.Set(x, my, true);
            stack.push_back({x, my});
        }
    ASSERT_FALSE(stack.empty()) << "no pixel of the button's colour in the zone's middle row";
    long inZone = 0;
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        EXPECT_TRUE(x >= z.left && x < z.left + z.width && y >= z.top && y < z.top + z.height)
            << z.control << ": button colour at (" << x << ", " << y << ") outside the zone";
        if (x >= z.left && x < z.left + z.width && y >= z.top && y < z.top + z.height) ++inZone;
        const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            int nx = x + dx[k], ny = y + dy[k];
            if (nx < 0 || ny < 0 || nx >= pic.width || ny >= pic.height || seen.At(nx, ny)) continue;
            if (!SameHue(Hue(pic.At(nx, ny)), z.hue)) continue;
            seen.Set(nx, ny, true);
            stack.push_back({nx, ny});
        }
        if (::testing::Test::HasFailure()) break;
    }
    // A button (not a line of text) covers a good part of its zone.
    if (std::string(z.control) != "cmdWebsite") {
        EXPECT_GT(inZone, long(z.width) * z.height / 4) << z.control << ": button covers too little of its zone";
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, PaintedButton, ::testing::ValuesIn(kZones), [](const auto& info) {
    return std::string(info.param.picture) + "_" + info.param.control;
});

}  // namespace
