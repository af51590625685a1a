// The shipped data folder: the worlds are well formed and walkable, the wall textures are
// distinct, tileable 24-bit pictures without the transparent key, the weapon image has its
// key background and no see-through holes, and the player figure's file is complete.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/frmWindowed.h"
#include "app/frmWindowed_motion.h"
#include "app/frmWindowed_world.h"
#include "app/text_helpers.h"
#include "app/world_map.h"
#include "engine/clsZemObject.h"
#include "engine/zemdx.h"
#include "platform/win32/headless/headless.h"
#include "platform/runtime/number.h"
#include "platform/win32/runtime.h"
#include "tests/unit/game/data_files.h"

namespace fs = std::filesystem;

using datatest::FloodCount;
using datatest::kData;
using datatest::ReadAll;

namespace {

std::vector<fs::path> Worlds() {
    std::vector<fs::path> w;
    for (const auto& e : fs::directory_iterator(kData / "Maps"))
        if (e.path().extension() == ".map") w.push_back(e.path());
    return w;
}

bool IsWall(int code) { return code >= 1 && code <= 11; }

}  // namespace

TEST(ShippedWorlds, AtLeastThreeWithOneLargeMaze) {
    const auto worlds = Worlds();
    EXPECT_GE(worlds.size(), 3u);
    bool large = false;
    for (const auto& p : worlds) {
        ModMain::LoadMap(p.string());
        if (ModMain::Map.UBound(1) >= 64 && ModMain::Map.UBound(2) >= 64) large = true;
    }
    EXPECT_TRUE(large);
}

TEST(ShippedWorlds, LinesEndInCarriageReturnLineFeed) {
    for (const auto& p : Worlds()) {
        const std::string text = ReadAll(p);
        ASSERT_FALSE(text.empty()) << p;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << p;
        for (size_t i = 0; i < text.size(); ++i) {
            const bool lf = text[i] == '\n', cr = text[i] == '\r';
            ASSERT_TRUE(!lf || (i > 0 && text[i - 1] == '\r')) << p << " byte " << i;
            ASSERT_TRUE(!cr || (i + 1 < text.size() && text[i + 1] == '\n')) << p << " byte " << i;
        }
    }
}

TEST(ShippedWorlds, ClosedBordersOneStartCellValidCodesAndTextures) {
    for (const auto& p : Worlds()) {
        SCOPED_TRACE(p.filename().string());
        ModMain::LoadMap(p.string());
        const int U = ModMain::Map.UBound(1), V = ModMain::Map.UBound(2);
        ASSERT_GT(U, 2);
        ASSERT_GT(V, 2);
        EXPECT_TRUE(ModMain::FloorTexture >= 1 && ModMain::FloorTexture <= 11);
        EXPECT_TRUE(ModMain::CeilingTexture >= 1 && ModMain::CeilingTexture <= 11);
        int starts = 0;
        for (int r = 1; r <= U; ++r)
            for (int c = 1; c <= V; ++c) {
                const int code = ModMain::Map(r, c);
                ASSERT_TRUE(code >= 1 && code <= ModMain::kStartCell) << "cell " << r << "," << c;
                if (code == ModMain::kStartCell) ++starts;
                const bool border = r == 1 || r == U || c == 1 || c == V;
                EXPECT_TRUE(!border || IsWall(code)) << "border " << r << "," << c;
            }
        EXPECT_EQ(starts, 1);
    }
}

TEST(ShippedWorlds, EveryOpenCellCanBeReachedAndTheViewerCanWalkFromTheStart) {
    for (const auto& p : Worlds()) {
        SCOPED_TRACE(p.filename().string());
        ModMain::LoadMap(p.string());
        const int U = ModMain::Map.UBound(1), V = ModMain::Map.UBound(2);
        int sr = 0, sc = 0, open = 0;
        for (int r = 1; r <= U; ++r)
            for (int c = 1; c <= V; ++c) {
                if (ModMain::Map(r, c) == ModMain::kStartCell) {
                    sr = r;
                    sc = c;
                }
                if (!IsWall(ModMain::Map(r, c))) ++open;
            }
        ASSERT_GT(sr, 0);
        const int reached = FloodCount(U + 1, V + 1, {{sr, sc}}, [](int r, int c) {
            return r >= 1 && c >= 1 && !IsWall(ModMain::Map(r, c));
        });
        EXPECT_EQ(reached, open);
        // From the middle of the start cell at least one axis-aligned step of 1 stands (the
        // viewer is never boxed in by the rounding of its collision square).
        int free = 0;
        for (float heading : {0.0f, 1.5707964f, 3.1415927f, 4.712389f}) {
            constexpr float s = ModMain::kCellSize;
            float x = -(s * sr + s / 2), z = -(s * sc + s / 2);
            if (GameMotion::Walk(x, z, 1.0f, heading, +1)) ++free;
        }
        EXPECT_GE(free, 2);
    }
}

TEST(ShippedTextures, ElevenDistinctTileable24BitPicturesWithoutTheKeyColour) {
    std::set<std::vector<uint32_t>> seen;
    for (int n = 1; n <= 11; ++n) {
        SCOPED_TRACE(n);
        const fs::path p = kData / "Textures" / (std::to_string(n) + ".bmp");
        const std::string bytes = ReadAll(p);
        ASSERT_GT(bytes.size(), 54u);
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        EXPECT_EQ(uint8_t(bytes[28]), 24);  // bits per pixel
        const rt::StdPicture pic = rt::LoadPicture(p.string());
        ASSERT_EQ(pic.Width, pic.Height);
        EXPECT_TRUE(pic.Width == 64 || pic.Width == 128);
        const int s = pic.Width;
        auto px = [&](int x, int y) { return pic.Pixels[size_t(y) * s + x] & 0xFFFFFFu; };
        for (uint32_t c : pic.Pixels) ASSERT_NE(c & 0xFFFFFFu, 0xFFFFFEu);
        EXPECT_TRUE(seen.insert(pic.Pixels).second) << "same picture as another texture";
        // Tileable: the step from the last column to the first (and from the last row to the
        // first) is no larger than the largest step between two neighbouring columns (rows)
        // inside the picture; mortar lines and seams make large steps inside too, but a picture
        // that does not wrap makes its largest step at the edge.
        auto diff = [](uint32_t a, uint32_t b) {
            return std::abs(int(a >> 16) - int(b >> 16)) + std::abs(int((a >> 8) & 255) - int((b >> 8) & 255)) +
                   std::abs(int(a & 255) - int(b & 255));
        };
        auto columnStep = [&](int x0, int x1) {
            double d = 0;
            for (int y = 0; y < s; ++y) d += diff(px(x0, y), px(x1, y));
            return d / s;
        };
        auto rowStep = [&](int y0, int y1) {
            double d = 0;
            for (int x = 0; x < s; ++x) d += diff(px(x, y0), px(x, y1));
            return d / s;
        };
        double maxColumn = 0, maxRow = 0;
        for (int i = 0; i + 1 < s; ++i) {
            maxColumn = std::max(maxColumn, columnStep(i, i + 1));
            maxRow = std::max(maxRow, rowStep(i, i + 1));
        }
        EXPECT_LE(columnStep(s - 1, 0), maxColumn * 1.25 + 4);
        EXPECT_LE(rowStep(s - 1, 0), maxRow * 1.25 + 4);
        // Not flat: a wall texture has some structure.
        std::set<uint32_t> colours(pic.Pixels.begin(), pic.Pixels.end());
        EXPECT_GT(colours.size(), 32u);
    }
}

TEST(ShippedTextures, WeaponImageOnItsKeyBackgroundWithoutHoles) {
    const fs::path p = kData / "Textures" / "Phaser Type 3.bmp";
    EXPECT_EQ(uint8_t(ReadAll(p)[28]), 24);
    const rt::StdPicture pic = rt::LoadPicture(p.string());
    ASSERT_EQ(pic.Width, 256);
    ASSERT_EQ(pic.Height, 256);
    auto key = [&](int x, int y) { return (pic.Pixels[size_t(y) * 256 + x] & 0xFFFFFFu) == 0x00FF00u; };
    EXPECT_TRUE(key(0, 0) && key(255, 0) && key(0, 255));
    // Every key pixel is background reached from the top or left edge: none lies enclosed in
    // the weapon, where it would show as a hole.
    std::vector<std::pair<int, int>> edges;
    for (int i = 0; i < 256; ++i) {
        edges.push_back({i, 0});
        edges.push_back({0, i});
    }
    const int background = FloodCount(256, 256, edges, key);
    int keyed = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) keyed += key(x, y);
    EXPECT_EQ(background, keyed);
    // The weapon and hand take a fair part of the picture, reaching its lower-right corner.
    EXPECT_GT(256 * 256 - keyed, 256 * 256 / 8);
    EXPECT_FALSE(key(255, 255));
}

TEST(ShippedModels, PlayerFigureHasEveryLineItsCountsAnnounce) {
    const std::string text = ReadAll(kData / "Models" / "Players" / "Marine.zemobj");
    std::vector<std::string> data;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line, '\n')) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        if (line.empty() || line[0] == '#' || line[0] == ' ') continue;
        data.push_back(ModMain::TrimExtraSpace(line));
    }
    ASSERT_FALSE(data.empty());
    const int T = int(rt::Val(ModMain::Field(data[0], ",", 1)));
    const int G = int(rt::Val(ModMain::Field(data[0], ",", 2)));
    const int A = int(rt::Val(ModMain::Field(data[0], ",", 3)));
    ASSERT_GE(T, 1);
    ASSERT_GE(G, 1);
    ASSERT_GE(A, 1);
    size_t at = 1;
    for (int i = 0; i < T; ++i, ++at) {
        ASSERT_LT(at, data.size());
        const std::string file = ModMain::Field(data[at], ",", 1);
        std::string host = file;
        for (char& ch : host) {
            if (ch == '\\') ch = '/';
        }
        EXPECT_TRUE(fs::exists(kData / host)) << file;
    }
    for (int g = 0; g < G; ++g) {
        ASSERT_LT(at, data.size());
        const int n = int(rt::Val(data[at++]));
        ASSERT_GE(n, 1);
        for (int v = 0; v < 3 * n; ++v, ++at) {
            ASSERT_LT(at, data.size());
            EXPECT_EQ(ModMain::Field(data[at], ",", 8), "");
            EXPECT_NE(ModMain::Field(data[at], ",", 7), "");
        }
    }
    EXPECT_EQ(data.size(), at + size_t(A));
}

// The object's private lists, read the way the engine's own tests read them.
struct clsZemObjectInspector {
    static const ZemDx::ObjectData& Data(const clsZemObject& o) { return o.ObjData; }
};

TEST(ShippedModels, PlayerFigureLoadsAsASceneObject) {
    // The engine reads it from the data folder beside the program, its textures through the
    // texture cache of a started engine.
    rt::headless::Use();
    GameWorld::SetDisplaySettings();
    ASSERT_EQ(ZemDx::InitEngine(rt::FormOf<frmWindowed>().picGame.hWnd(), 1, 1, rt::False, rt::False), rt::True);
    clsZemObject marine;
    marine.LoadObject("Models\\Players\\Marine.zemobj");
    const ZemDx::ObjectData& data = clsZemObjectInspector::Data(marine);
    ASSERT_EQ(data.TextureList.size(), 2u);
    for (rt::Long t : data.TextureList) EXPECT_GE(t, 0);
    ASSERT_EQ(data.Groups.size(), 1u);
    EXPECT_EQ(data.Groups[0].Tris.size(), 72u);  // six boxes of twelve triangles
    ASSERT_EQ(data.Animations.size(), 1u);
    EXPECT_EQ(data.Animations[0].Frames.size(), 2u);
    EXPECT_EQ(data.Animations[0].EndMode, 1);
    ZemDx::ShutdownEngine();
}
