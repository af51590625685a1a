// The outline tracer on small pictures: silhouette, border, and the polygon checks the tables rely on.
#include <gtest/gtest.h>

#include "tests/unit/outline/picture_helpers.h"
#include "tools/outline/bmp.h"
#include "tools/outline/grid.h"
#include "tools/outline/polygon.h"
#include "tools/outline/trace.h"

using Outline::Poly;
using OutlineTest::FromRows;

namespace {

Poly Trace(const std::vector<std::string>& rows, int bridge = 2) {
    return Outline::TracePicture(FromRows(rows), bridge).outline;
}

TEST(Tracer, RectangleGivesItsFourCornersFromTopLeftClockwise) {
    Poly p = Trace({"......", ".####.", ".####.", "......"});
    EXPECT_EQ(p, (Poly{{1, 1}, {5, 1}, {5, 3}, {1, 3}}));
}

TEST(Tracer, ShapeTouchingThePictureEdgesEndsOnTheEdges) {
    // Background is still the colour of the four corners.
    Poly p = Trace({".##.", "####", "####", ".##."}, 0);
    EXPECT_EQ(p.front(), (Outline::Pt{1, 0}));
    int maxX = 0, maxY = 0;
    for (auto q : p) {
        maxX = std::max(maxX, q.x);
        maxY = std::max(maxY, q.y);
    }
    EXPECT_EQ(maxX, 4);
    EXPECT_EQ(maxY, 4);
}

TEST(Tracer, PointZeroIsTheLeftEndOfTheTopMostRow) {
    // Two bumps reach the top row: the left one starts the outline, and its top edge comes first.
    Poly p = Trace({"..........",
                    "..##...##.",
                    "..#######.",
                    "..#######.",
                    ".........."}, 0);
    EXPECT_EQ(p[0], (Outline::Pt{2, 1}));
    EXPECT_EQ(p[1], (Outline::Pt{4, 1}));
    EXPECT_GT(Outline::TwiceArea(p), 0);
    EXPECT_EQ(Outline::SimplePolygonFault(p), "");
}

TEST(Tracer, CurveBecomesStaircaseAndStraightRunsOneEdge) {
    Poly p = Trace({"..........",
                    "....####..",
                    "..######..",
                    ".#######..",
                    ".#######..",
                    ".........."}, 0);
    // Top run, then down the straight right side in one edge, along the bottom in one edge, then
    // the stairs of the upper-left corner back to the start.
    EXPECT_EQ(p, (Poly{{4, 1}, {8, 1}, {8, 5}, {1, 5}, {1, 3}, {2, 3}, {2, 2}, {4, 2}}));
}

TEST(Tracer, NarrowNotchIsBridgedWideNotchKept) {
    const std::vector<std::string> narrow = {
        "............",
        ".##########.",
        ".####..####.",
        ".####..####.",
        ".##########.",
        ".##########.",
        "............"};
    Outline::Traced t = Outline::TracePicture(FromRows(narrow), 2);
    EXPECT_EQ(t.outline, (Poly{{1, 1}, {11, 1}, {11, 6}, {1, 6}}));
    EXPECT_EQ(t.silhouette.Count() - t.shape.Count(), 4);

    const std::vector<std::string> wide = {
        "..............",
        ".############.",
        ".###......###.",
        ".###......###.",
        ".###......###.",
        ".###......###.",
        ".###......###.",
        ".###......###.",
        "..............",
    };
    Poly w = Trace(wide, 2);
    EXPECT_EQ(w.size(), 8u) << "a notch wider than the bridge must stay out of the outline";
    EXPECT_EQ(Outline::SimplePolygonFault(w), "");
}

TEST(Tracer, HolesAreFilledAndOnlyTheLargestPieceKept) {
    Outline::Traced t = Outline::TracePicture(FromRows({
        "..............",
        ".########.....",
        ".#......#.....",
        ".#......#..##.",
        ".#......#..##.",
        ".########.....",
        "..............",
    }), 0);
    EXPECT_EQ(t.outline, (Poly{{1, 1}, {9, 1}, {9, 6}, {1, 6}}));
    EXPECT_FALSE(t.silhouette.At(11, 3)) << "the small piece is not part of the window";
    EXPECT_TRUE(t.silhouette.At(4, 3)) << "the hole is filled";
}

TEST(Tracer, PixelsMeetingAtACornerAreJoined) {
    // Without joining, the border would pass the shared corner twice and touch itself.
    Poly p = Trace({"......",
                    ".##...",
                    ".##...",
                    "...##.",
                    "...##.",
                    "......"}, 0);
    EXPECT_EQ(Outline::SimplePolygonFault(p), "");
    EXPECT_GT(Outline::TwiceArea(p), 0);
    EXPECT_TRUE(Outline::CentreInside(p, 1, 1));
    EXPECT_TRUE(Outline::CentreInside(p, 4, 4));
}

TEST(Tracer, BackgroundFromTheCornersMustBeOneColour) {
    Outline::Picture pic = FromRows({"....", ".##.", "...o"});
    EXPECT_THROW(Outline::TracePicture(pic), Outline::BadPicture);
    EXPECT_THROW(Outline::TracePicture(FromRows({"....", "...."})), std::runtime_error) << "no shape at all";
}

TEST(Tracer, SingleRowAndColumnShapes) {
    EXPECT_EQ(Trace({".....", ".###.", "....."}, 0), (Poly{{1, 1}, {4, 1}, {4, 2}, {1, 2}}));
    EXPECT_EQ(Trace({"...", ".#.", ".#.", "..."}, 0), (Poly{{1, 1}, {2, 1}, {2, 3}, {1, 3}}));
}

// --- Polygon checks ------------------------------------------------------------------------------

TEST(PolygonCheck, FindsEachKindOfFault) {
    EXPECT_EQ(Outline::SimplePolygonFault({{0, 0}, {4, 0}, {4, 4}, {0, 4}}), "");
    EXPECT_NE(Outline::SimplePolygonFault({{0, 0}, {4, 0}}), "");
    // Bow tie: two edges cross.
    EXPECT_NE(Outline::SimplePolygonFault({{0, 0}, {4, 0}, {0, 4}, {4, 4}}), "");
    // A point twice (the outline passes one corner two times).
    EXPECT_NE(Outline::SimplePolygonFault({{0, 0}, {2, 0}, {2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}, {0, 2}}), "");
    // Three points on one line.
    EXPECT_NE(Outline::SimplePolygonFault({{0, 0}, {2, 0}, {4, 0}, {4, 4}, {0, 4}}), "");
    // A point lying on a non-neighbouring edge: the edges touch.
    EXPECT_NE(Outline::SimplePolygonFault({{0, 0}, {6, 0}, {6, 4}, {3, 4}, {3, 0}, {1, 4}, {0, 4}}), "");
}

TEST(PolygonCheck, AreaSignGivesTheScreenDirection) {
    EXPECT_GT(Outline::TwiceArea({{0, 0}, {3, 0}, {3, 2}, {0, 2}}), 0);
    EXPECT_EQ(Outline::TwiceArea({{0, 0}, {3, 0}, {3, 2}, {0, 2}}), 12);
    EXPECT_LT(Outline::TwiceArea({{0, 0}, {0, 2}, {3, 2}, {3, 0}}), 0);
}

TEST(PolygonCheck, CentreSamplingOfSlantedEdges) {
    // Triangle over the pixels below its diagonal.
    Poly t{{0, 0}, {4, 0}, {4, 4}};
    EXPECT_TRUE(Outline::CentreInside(t, 3, 0));
    EXPECT_FALSE(Outline::CentreInside(t, 0, 3));
    EXPECT_FALSE(Outline::CentreInside(t, 1, 1)) << "a centre on the edge is outside";
    EXPECT_EQ(Outline::Rasterise(t, 4, 4).Count(), 6);
}

// --- Picture reader --------------------------------------------------------------------------------

TEST(BmpReader, ReadsBottomUpAndTopDownAlike) {
    Outline::Picture p = FromRows({"..o", "#..", ".#."});
    for (bool topDown : {false, true}) {
        Outline::Picture q = Outline::ReadBmp24(OutlineTest::EncodeBmp(p, topDown));
        EXPECT_EQ(q.width, 3);
        EXPECT_EQ(q.height, 3);
        EXPECT_EQ(q.rgb, p.rgb);
    }
}

TEST(BmpReader, RejectsBrokenFiles) {
    std::vector<unsigned char> good = OutlineTest::EncodeBmp(FromRows({"...", ".#.", "..."}));
    EXPECT_NO_THROW(Outline::ReadBmp24(good));

    auto truncated = good;
    truncated.resize(good.size() - 1);
    EXPECT_THROW(Outline::ReadBmp24(truncated), Outline::BadPicture);

    auto eightBit = good;
    eightBit[28] = 8;
    EXPECT_THROW(Outline::ReadBmp24(eightBit), Outline::BadPicture);

    auto compressed = good;
    compressed[30] = 1;
    EXPECT_THROW(Outline::ReadBmp24(compressed), Outline::BadPicture);

    auto huge = good;
    huge[21] = 0x7F;  // width far beyond the data
    EXPECT_THROW(Outline::ReadBmp24(huge), Outline::BadPicture);

    auto dataBeyond = good;
    dataBeyond[13] = 0x7F;  // pixel data offset past the end
    EXPECT_THROW(Outline::ReadBmp24(dataBeyond), Outline::BadPicture);

    EXPECT_THROW(Outline::ReadBmp24(std::vector<unsigned char>(10, 'B')), Outline::BadPicture);
    EXPECT_THROW(Outline::ReadBmp24File("/nonexistent/skin.bmp"), Outline::BadPicture);
}

}  // namespace
