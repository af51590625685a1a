// A walk-through as a person does it, on a private X server: the menu, Select Simulation, a
// world clicked in the list, Accept, Begin; the splash, then the game window with its world,
// weapon image and a frame-rate figure that changes every second; the arrow keys turn and walk
// until a wall stops the walk; Escape ends the program with status 0. Screenshots of each
// stage are written to the test's working folder (game_e2e_*.ppm) for a look.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "tests/e2e/game_view.h"
#include "tests/e2e/harness.h"

namespace {

void Save(const e2e::Image& img, const std::string& name) {
    std::ofstream f("game_e2e_" + name + ".ppm", std::ios::binary);
    f << "P6\n" << img.width << " " << img.height << "\n255\n";
    for (uint32_t p : img.pixels) {
        const char rgb[3] = {char(p >> 16), char(p >> 8), char(p)};
        f.write(rgb, 3);
    }
}

std::vector<uint32_t> LabelPixels(const e2e::Image& img, e2e::GameView v) {
    std::vector<uint32_t> p;
    for (int y = 0; y < e2e::GameView::kLabelH; ++y)
        for (int x = 0; x < e2e::GameView::kLabelW; ++x) p.push_back(img.At(v.x0 + x, v.y0 + y));
    return p;
}

std::string Repeat(const std::string& key, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += (i ? " " : "") + key;
    return s;
}

}  // namespace

TEST(GameEndToEnd, SelectAWorldBeginWalkIntoAWallAndEscape) {
    e2e::Session s;
    if (!s.Ready()) GTEST_FAIL() << s.Why();
    // Started from another folder: the program finds its data beside itself.
    auto& app = s.Start({QV_PROGRAM}, "/tmp");

    const unsigned long menu = s.WaitForWindow("Quorvane");
    ASSERT_NE(menu, 0u) << app.Errors();
    e2e::Pause(300);
    s.Click(menu, 148, 72);  // Select Simulation
    const unsigned long select = s.WaitForWindow("Quorvane -- Select Simulation");
    ASSERT_NE(select, 0u) << app.Errors();
    e2e::Pause(300);
    // The list shows Castle Rooms, First Steps, Labyrinth; the second row is First Steps.
    s.Click(select, 60, 55);
    e2e::Pause(200);
    Save(s.Screenshot(), "1_select");
    s.Click(select, 184, 140);  // Accept
    e2e::Pause(300);
    s.Click(menu, 64, 44);  // Begin

    // The engine's splash first, then the game window.
    EXPECT_NE(s.WaitForWindow("Form1", 3000), 0u) << "no splash window";
    const unsigned long game = s.WaitForWindow("Quorvane -- Windowed Mode", 5000);
    ASSERT_NE(game, 0u) << app.Errors();
    e2e::Pause(1500);
    const e2e::Geometry g = s.GeometryOf(game);
    EXPECT_EQ(g.width, 500);
    EXPECT_EQ(g.height, 370);
    const e2e::GameView v = e2e::GameView::Of(g);

    const e2e::Image start = s.Screenshot();
    Save(start, "2_start");
    // Walls, floor, ceiling and the weapon make a picture of many colours; the weapon image's
    // key colour is transparent, so no pure green is left; the ceiling above is light, the
    // floor below darker.
    std::set<uint32_t> colours;
    int green = 0;
    for (int y = 0; y < e2e::GameView::kH; ++y)
        for (int x = 0; x < e2e::GameView::kW; ++x) {
            const uint32_t p = start.At(v.x0 + x, v.y0 + y);
            colours.insert(p);
            green += p == 0x00FF00u;
        }
    EXPECT_GT(colours.size(), 300u);
    EXPECT_EQ(green, 0);
    auto brightness = [&](int x, int y) {
        const uint32_t p = start.At(v.x0 + x, v.y0 + y);
        return int((p >> 16) & 255) + int((p >> 8) & 255) + int(p & 255);
    };
    EXPECT_GT(brightness(40, 30), brightness(40, 280));

    // The frame-rate figure shows white text and changes from one second to the next.
    const auto label0 = LabelPixels(start, v);
    int white = 0;
    for (uint32_t p : label0) white += (p & 0xF0F0F0u) == 0xF0F0F0u;
    EXPECT_GT(white, 10);
    bool changed = false;
    for (int i = 0; i < 4 && !changed; ++i) {
        e2e::Pause(1100);
        changed = LabelPixels(s.Screenshot(), v) != label0;
    }
    EXPECT_TRUE(changed) << "the frame-rate figure did not change";

    // Turning changes the view; turning back brings it nearly back (the heading wraps at a
    // shade under a full turn, so coming back across 0 leaves it a thousandth of a radian off).
    s.Key(game, Repeat("Right", 3));
    e2e::Pause(300);
    const e2e::Image turned = s.Screenshot();
    Save(turned, "3_turned");
    const int turnedBy = e2e::ViewDifference(start, turned, v);
    EXPECT_GT(turnedBy, 5000);
    s.Key(game, Repeat("Left", 3));
    e2e::Pause(300);
    EXPECT_LT(e2e::ViewDifference(start, s.Screenshot(), v), turnedBy / 2);

    // Walking forward down the room until the steel pillar stops the walk: more presses
    // then change nothing.
    s.Key(game, Repeat("Up", 45));
    e2e::Pause(300);
    const e2e::Image atWall = s.Screenshot();
    Save(atWall, "4_at_wall");
    EXPECT_GT(e2e::ViewDifference(start, atWall, v), 5000);
    s.Key(game, Repeat("Up", 10));
    e2e::Pause(300);
    EXPECT_LT(e2e::ViewDifference(atWall, s.Screenshot(), v), 200) << "the wall did not stop the walk";

    s.Key(game, "Escape");
    EXPECT_EQ(app.WaitForExit(5000), 0) << app.Errors();
    EXPECT_FALSE(s.WindowExists("Quorvane"));
}
