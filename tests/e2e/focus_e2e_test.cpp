// The keyboard on a bare X server (no window manager), as a person uses it: keys are typed, never
// sent to a chosen window. A window that is shown takes the keyboard, the window that had it
// passes it on when it goes, and a click on a window gives it back.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/game_view.h"
#include "tests/e2e/harness.h"

TEST(FocusEndToEnd, ShownAndClickedWindowsTakeTheTypedKeys) {
    e2e::Session s;
    if (!s.Ready()) GTEST_FAIL() << s.Why();
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
    const e2e::GameView g = e2e::GameView::Of(s.GeometryOf(game));

    const e2e::Image start = s.Screenshot();
    s.Type("Up Up Up Left");
    e2e::Pause(300);
    const e2e::Image moved = s.Screenshot();
    EXPECT_GT(e2e::ViewDifference(start, moved, g), 5000) << "typed keys did not reach the game";

    // The keyboard taken elsewhere (the menu window, under the game): typing turns nothing; a
    // click on the game's view brings the keyboard back.
    s.Run("xdotool windowfocus --sync " + std::to_string(menu));
    s.Type("Right Right Right");
    e2e::Pause(300);
    const e2e::Image elsewhere = s.Screenshot();
    EXPECT_LT(e2e::ViewDifference(moved, elsewhere, g), 200);
    s.Click(game, 48 + 200, 34 + 150);
    e2e::Pause(200);
    EXPECT_EQ(s.FocusedWindow(), game);
    s.Type("Right Right Right");
    e2e::Pause(300);
    EXPECT_GT(e2e::ViewDifference(elsewhere, s.Screenshot(), g), 5000) << "the click did not give the game the keyboard";

    s.Type("Escape");
    EXPECT_EQ(app.WaitForExit(5000), 0) << app.Errors();
}
