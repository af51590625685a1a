// Events: hit-testing through the window shape and the control order, click zones, form mouse
// presses only on the surface, key routing with key preview and auto-repeat, the pump's timers,
// re-entrant pumping and dragging a window by its surface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/headless/headless.h"
#include "platform/win32/win32.h"

namespace {

using rt::headless::Click;

struct Skin : rt::Form {
    Skin() : Form("Skin") {
        BorderStyle(rt::vbBSNone);
        ClientSize(200, 100);
        Move(100, 50);
        zoneA.Transparent(true);
        zoneB.Transparent(true);
        zoneA.Click = [this] { log.push_back("A"); };
        zoneB.Click = [this] { log.push_back("B"); };
        pic.Click = [this] { log.push_back("pic"); };
        list.AddItem("one");
        list.AddItem("two");
        tick.OnTimer = [this] {
            log.push_back("tick");
            if (pumpInTimer) rt::DoEvents();
        };
    }
    void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override {
        (void)Shift;
        log.push_back("down " + std::to_string(Button) + " " + std::to_string(int(X)) + "," + std::to_string(int(Y)));
        if (drag) {
            ReleaseCapture();
            int32_t zero = 0;
            SendMessageA(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, &zero);
            log.push_back("drag done");
        }
    }
    void Form_KeyDown(int16_t& KeyCode, int16_t&) override {
        log.push_back("key " + std::to_string(KeyCode));
        if (swallow) KeyCode = 0;
    }
    void Form_KeyUp(int16_t& KeyCode, int16_t&) override { log.push_back("up " + std::to_string(KeyCode)); }

    std::vector<std::string> log;
    bool drag = false, swallow = false, pumpInTimer = false;
    // Creation order: later controls lie above earlier ones.
    rt::Label zoneA{*this, "zoneA", 10, 10, 50, 40};
    rt::Label zoneB{*this, "zoneB", 40, 30, 50, 40};  // overlaps zoneA at 40..59 x 30..49
    rt::PictureBox pic{*this, "pic", 120, 10, 60, 40};
    rt::ListBox list{*this, "list", 120, 60, 60, 35};
    rt::Timer tick{*this, "tick", 1000, true};
};

class Events : public ::testing::Test {
protected:
    void SetUp() override {
        rt::headless::Use();
        rt::headless::SetClock(1000);
    }
};

TEST_F(Events, PressGoesToTopMostControlUnderIt) {
    auto& f = rt::FormOf<Skin>();
    f.tick.Enabled(false);
    f.Show();
    Click(f, 15, 15);   // zoneA only
    Click(f, 45, 35);   // both: zoneB was created later
    Click(f, 85, 65);   // zoneB only
    Click(f, 100, 80);  // the surface
    rt::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"A", "B", "B", "down 1 100,80"}));
}

TEST_F(Events, ClickNeedsPressAndReleaseOnTheSameControl) {
    auto& f = rt::FormOf<Skin>();
    f.tick.Enabled(false);
    f.Show();
    rt::headless::MouseDown(f, 15, 15);
    rt::headless::MouseUp(f, 190, 90);  // released elsewhere
    rt::DoEvents();
    EXPECT_TRUE(f.log.empty());
}

TEST_F(Events, FormMouseDownOnlyForTheSurfaceWithAnyButton) {
    auto& f = rt::FormOf<Skin>();
    f.tick.Enabled(false);
    f.Show();
    Click(f, 130, 20);                       // picture box
    Click(f, 130, 70);                       // list
    Click(f, 5, 95, rt::vbRightButton);      // surface, right button
    Click(f, 5, 95, rt::vbMiddleButton);
    rt::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"pic", "down 2 5,95", "down 4 5,95"}));
    EXPECT_EQ(f.list.ListIndex(), 0);
}

TEST_F(Events, PressOutsideTheShapeDoesNotReachTheWindow) {
    auto& f = rt::FormOf<Skin>();
    f.tick.Enabled(false);
    f.Show();
    // Keep only the left half, and in it a hole over part of zoneA.
    int32_t half = CreateRectRgn(0, 0, 100, 100);
    int32_t hole = CreateRectRgn(10, 10, 30, 30);
    CombineRgn(half, half, hole, RGN_DIFF);
    DeleteObject(hole);
    SetWindowRgn(f.hWnd(), half, -1);
    Click(f, 150, 50);  // right half: gone
    Click(f, 15, 15);   // in the hole
    Click(f, 35, 15);   // zoneA, inside the shape
    rt::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"A"}));
    auto px = rt::headless::WindowPixels(f);
    EXPECT_EQ(px[50 * 200 + 150], 0u);  // nothing shown outside the shape
    EXPECT_EQ(px[15 * 200 + 15], 0u);
    EXPECT_NE(px[50 * 200 + 5], 0u);
}

TEST_F(Events, KeysGoToFocusedControlUnlessKeyPreview) {
    auto& f = rt::FormOf<Skin>();
    f.tick.Enabled(false);
    f.Show();  // the list is the only control that takes the focus
    rt::headless::KeyDown(f, rt::vbKeyDown);
    rt::DoEvents();
    EXPECT_TRUE(f.log.empty());
    EXPECT_EQ(f.list.ListIndex(), 0);
    f.KeyPreview(true);
    rt::headless::KeyDown(f, rt::vbKeyDown);
    rt::headless::KeyUp(f, rt::vbKeyDown);
    rt::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"key 40", "up 40"}));
    EXPECT_EQ(f.list.ListIndex(), 1);  // the control still gets it after the form
    f.swallow = true;                  // a form that clears the code keeps it from the control
    rt::headless::KeyDown(f, rt::vbKeyUp);
    rt::DoEvents();
    EXPECT_EQ(f.list.ListIndex(), 1);
}

TEST_F(Events, EveryAutoRepeatKeyDownIsDelivered) {
    auto& f = rt::FormOf<Skin>();
    f.tick.Enabled(false);
    f.KeyPreview(true);
    f.Show();
    rt::headless::KeyDown(f, rt::vbKeyLeft, 5);
    rt::DoEvents();
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "key 37"), 5);
}

TEST_F(Events, TimersFireOnlyInsideThePumpAtMostOncePerPump) {
    auto& f = rt::FormOf<Skin>();
    f.Show();
    rt::headless::AdvanceClock(999);
    rt::DoEvents();
    EXPECT_TRUE(f.log.empty());
    rt::headless::AdvanceClock(5000);  // five intervals late
    EXPECT_TRUE(f.log.empty());        // nothing without a pump
    rt::DoEvents();
    rt::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"tick"}));  // no catching up
    rt::headless::AdvanceClock(1000);
    rt::DoEvents();
    EXPECT_EQ(f.log.size(), 2u);
}

TEST_F(Events, TimerStopsWhenDisabledOrItsWindowUnloaded) {
    auto& f = rt::FormOf<Skin>();
    f.Show();
    f.tick.Enabled(false);
    rt::headless::AdvanceClock(3000);
    rt::DoEvents();
    EXPECT_TRUE(f.log.empty());
    f.tick.Enabled(true);  // counts from now
    rt::headless::AdvanceClock(999);
    rt::DoEvents();
    EXPECT_TRUE(f.log.empty());
    f.Unload();
    rt::headless::AdvanceClock(5000);
    rt::DoEvents();
    EXPECT_TRUE(f.log.empty());
}

TEST_F(Events, HandlersMayPumpAgain) {
    auto& f = rt::FormOf<Skin>();
    f.tick.Enabled(false);
    f.Show();
    // A click handler that loops on the pump, like a main loop, sees later events.
    int loops = 0;
    f.zoneA.Click = [&] {
        f.log.push_back("loop start");
        Click(f, 85, 65);
        while (loops < 3) {
            rt::DoEvents();
            ++loops;
        }
        f.log.push_back("loop end");
    };
    Click(f, 15, 15);
    rt::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"loop start", "B", "loop end"}));
}

TEST_F(Events, TimerDoesNotReenterItsOwnHandler) {
    auto& f = rt::FormOf<Skin>();
    f.pumpInTimer = true;
    f.Show();
    rt::headless::AdvanceClock(1000);
    rt::DoEvents();  // the handler pumps; the same timer must not fire again inside it
    EXPECT_EQ(f.log, (std::vector<std::string>{"tick"}));
}

TEST_F(Events, DragMovesTheWindowUntilRelease) {
    auto& f = rt::FormOf<Skin>();
    f.tick.Enabled(false);
    f.drag = true;
    f.Show();
    rt::headless::MouseDown(105, 145);  // window (5, 95): the surface
    rt::headless::MouseMove(125, 155);
    rt::headless::MouseMove(145, 165);
    rt::headless::MouseUp(145, 165);
    rt::headless::KeyDown(f, rt::vbKeyA);
    rt::DoEvents();
    EXPECT_EQ(f.Left(), 140);
    EXPECT_EQ(f.Top(), 70);
    EXPECT_EQ(f.log, (std::vector<std::string>{"down 1 5,95", "drag done"}));
    // The pressed point now lies 40 right and 20 down.
    EXPECT_EQ(rt::headless::WindowAt(101, 51), nullptr);
    EXPECT_EQ(rt::headless::WindowAt(141, 71), &f);
}

TEST_F(Events, EventsOfAWindowUnloadedMeanwhileAreDropped) {
    auto& f = rt::FormOf<Skin>();
    f.tick.Enabled(false);
    f.Show();
    Click(f, 15, 15);
    f.Unload();
    rt::DoEvents();
    EXPECT_TRUE(f.log.empty());
}

}  // namespace
