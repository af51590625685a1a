// The keyboard on a bare X server (no window manager), as a person uses it: keys are typed, never
// sent to a chosen window. A window that is shown takes the keyboard, the window that had it
// passes it on when it goes, and a click on a window gives it back.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/harness.h"

namespace {

// Pixels of the game's view (the picture box at (48, 34), 402 x 302, without the frame-rate
// label in its top-left corner) that differ between two screenshots.
int ViewDifference(const e2e::Image& a, const e2e::Image& b, const e2e::Geometry& game) {
    int n = 0;
    for (int y = 0; y < 302; ++y)
        for (int x = 0; x < 402; ++x) {
            if (x < 66 && y < 12) continue;
            const int sx = game.x + 48 + x, sy = game.y + 34 + y;
            n += a.At(sx, sy) != b.At(sx, sy);
        }
    return n;
}

}  // namespace

TEST(FocusEndToEnd, ShownAndClickedWindowsTakeTheTypedKeys) {
    e2e::Session s;
    if (!s.Ready()) GTEST_SKIP() << s.Why();
    auto& app = s.Start({QV_PROGRAM}, "/tmp");

    const unsigned long menu = s.WaitForWindow("Quorvane");
    ASSERT_NE(menu, 0u) << app.Errors();
    e2e::Pause(300);
    EXPECT_EQ(s.FocusedWindow(), menu);
    s.Click(menu, 148, 72);  // Select Simulation
    const unsigned long select = s.WaitForWindow("Quorvane -- Select Simulation");
    ASSERT_NE(select, 0u) << app.Errors();
    e2e::Pause(300);
    EXPECT_EQ(s.FocusedWindow(), select);
    s.Click(select, 60, 55);    // First Steps
    e2e::Pause(200);
    s.Click(select, 184, 140);  // Accept: the selection window goes, the menu has the keyboard again
    e2e::Pause(300);
    EXPECT_EQ(s.FocusedWindow(), menu);
    s.Click(menu, 64, 44);  // Begin

    // The splash comes and goes before the game starts; the game window ends up with the keyboard.
    const unsigned long game = s.WaitForWindow("Quorvane -- Windowed Mode", 5000);
    ASSERT_NE(game, 0u) << app.Errors();
    e2e::Pause(1500);
    EXPECT_EQ(s.FocusedWindow(), game);
    const e2e::Geometry g = s.GeometryOf(game);

    const e2e::Image start = s.Screenshot();
    s.Type("Up Up Up Left");
    e2e::Pause(300);
    const e2e::Image moved = s.Screenshot();
    EXPECT_GT(ViewDifference(start, moved, g), 5000) << "typed keys did not reach the game";

    // The keyboard taken elsewhere (the menu window, under the game): typing turns nothing; a
    // click on the game's view brings the keyboard back.
    s.Run("xdotool windowfocus --sync " + std::to_string(menu));
    s.Type("Right Right Right");
    e2e::Pause(300);
    const e2e::Image elsewhere = s.Screenshot();
    EXPECT_LT(ViewDifference(moved, elsewhere, g), 200);
    s.Click(game, 48 + 200, 34 + 150);
    e2e::Pause(200);
    EXPECT_EQ(s.FocusedWindow(), game);
    s.Type("Right Right Right");
    e2e::Pause(300);
    EXPECT_GT(ViewDifference(elsewhere, s.Screenshot(), g), 5000) << "the click did not give the game the keyboard";

    s.Type("Escape");
    EXPECT_EQ(app.WaitForExit(5000), 0) << app.Errors();
}
