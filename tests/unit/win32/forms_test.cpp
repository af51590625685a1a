// Windows: one instance per class, load / show / hide / unload and the order of their handlers,
// start positions, the system close command and the end of the program with its last window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/headless/headless.h"
#include "platform/win32/win32.h"

namespace {

std::vector<std::string> gLog;

struct MainWindow : rt::Form {
    MainWindow() : Form("MainWindow") {
        Caption("Main");
        ClientSize(342, 309);
        StartUpPosition(rt::StartPosition::CenterScreen);
    }
    void Form_Load() override {
        gLog.push_back("main load");
        loadedHandle = hWnd();
    }
    void Form_QueryUnload(int16_t& Cancel, int16_t mode) override {
        gLog.push_back("main query " + std::to_string(mode));
        Cancel = cancelQuery;
    }
    void Form_Unload(int16_t&) override { gLog.push_back("main unload"); }
    int32_t loadedHandle = 0;
    int16_t cancelQuery = 0;
};

struct Child : rt::Form {
    Child() : Form("Child") {
        ClientSize(100, 50);
        Move(353, 227);
    }
    void Form_Load() override { gLog.push_back("child load visible=" + std::to_string(Visible())); }
    void Form_Unload(int16_t&) override { gLog.push_back("child unload"); }
};

struct NeverShown : rt::Form {
    NeverShown() : Form("NeverShown") {}
    void Form_Load() override { gLog.push_back("never load"); }
};

struct SelfClosing : rt::Form {
    SelfClosing() : Form("SelfClosing") {}
    void Form_Load() override { Unload(); }
};

class Forms : public ::testing::Test {
protected:
    void SetUp() override {
        rt::headless::Use();
        gLog.clear();
    }
};

TEST_F(Forms, OneInstancePerClassReachedByName) {
    auto& a = rt::FormOf<MainWindow>();
    auto& b = rt::FormOf<MainWindow>();
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(rt::FindForm("MainWindow"), &a);
    EXPECT_EQ(rt::FindFormByHandle(a.hWnd()), &a);
    EXPECT_NE(rt::FormOf<Child>().hWnd(), a.hWnd());
    EXPECT_EQ(rt::FindForm("Nobody"), nullptr);
}

TEST_F(Forms, ShowLoadsOnceThenShowsAndHideKeepsState) {
    auto& m = rt::FormOf<MainWindow>();
    EXPECT_FALSE(m.Loaded());
    m.Show();
    EXPECT_TRUE(m.Loaded());
    EXPECT_TRUE(m.Visible());
    EXPECT_EQ(m.loadedHandle, m.hWnd());  // the load handler already has the handle
    m.Hide();
    EXPECT_TRUE(m.Loaded());
    EXPECT_FALSE(m.Visible());
    m.Show();
    m.Show();
    EXPECT_EQ(gLog, (std::vector<std::string>{"main load"}));
}

TEST_F(Forms, LoadHandlerRunsBeforeTheWindowIsVisible) {
    rt::FormOf<Child>().Show();
    EXPECT_EQ(gLog, (std::vector<std::string>{"child load visible=0"}));
}

TEST_F(Forms, LoadWithoutShowStaysHidden) {
    auto& c = rt::FormOf<Child>();
    rt::Load(c);
    EXPECT_TRUE(c.Loaded());
    EXPECT_FALSE(c.Visible());
    rt::Load(c);
    EXPECT_EQ(gLog.size(), 1u);
}

TEST_F(Forms, ReadingTheHandleOfAnUnloadedWindowLoadsIt) {
    auto& c = rt::FormOf<Child>();
    c.hWnd();
    EXPECT_TRUE(c.Loaded());
    EXPECT_EQ(gLog.size(), 1u);
}

TEST_F(Forms, UnloadRunsHandlersInOrderAndReloadRunsLoadAgain) {
    auto& m = rt::FormOf<MainWindow>();
    m.Show();
    rt::Unload(m);
    EXPECT_FALSE(m.Loaded());
    EXPECT_FALSE(m.Visible());
    m.Show();
    EXPECT_EQ(gLog, (std::vector<std::string>{"main load", "main query 1", "main unload", "main load"}));
}

TEST_F(Forms, UnloadOfNeverLoadedWindowLeavesItAlone) {
    auto& n = rt::FormOf<NeverShown>();
    rt::Unload(n);
    EXPECT_FALSE(n.Loaded());
    EXPECT_TRUE(gLog.empty());
}

TEST_F(Forms, CancelledQueryKeepsTheWindow) {
    auto& m = rt::FormOf<MainWindow>();
    m.Show();
    m.cancelQuery = -1;
    m.Unload();
    EXPECT_TRUE(m.Loaded());
    EXPECT_EQ(gLog.back(), "main query 1");
}

TEST_F(Forms, SystemCloseAsksWithControlMenuModeAndCloses) {
    auto& m = rt::FormOf<MainWindow>();
    m.Show();
    rt::headless::Close(m);
    rt::DoEvents();
    EXPECT_FALSE(m.Loaded());
    EXPECT_EQ(gLog, (std::vector<std::string>{"main load", "main query 0", "main unload"}));
}

TEST_F(Forms, StartPositions) {
    auto& m = rt::FormOf<MainWindow>();
    m.Show();
    EXPECT_EQ(m.Left(), (1280 - 342) / 2);
    EXPECT_EQ(m.Top(), (1024 - 309) / 2);
    auto& c = rt::FormOf<Child>();
    c.Show();
    EXPECT_EQ(c.Left(), 353);
    EXPECT_EQ(c.Top(), 227);
    auto& n = rt::FormOf<NeverShown>();  // system default: somewhere on the screen
    n.Show();
    EXPECT_GE(n.Left(), 0);
    EXPECT_LT(n.Left(), 1280 - n.Width());
}

TEST_F(Forms, WindowUnloadedByItsOwnLoadHandlerIsNotShown) {
    auto& s = rt::FormOf<SelfClosing>();
    s.Show();
    EXPECT_FALSE(s.Loaded());
    EXPECT_FALSE(s.Visible());
}

TEST_F(Forms, ProgramIsOverWhenTheLastWindowIsGone) {
    auto& m = rt::FormOf<MainWindow>();
    auto& c = rt::FormOf<Child>();
    m.Show();
    c.Show();
    c.Hide();
    EXPECT_FALSE(rt::ProgramFinished());
    m.Unload();
    EXPECT_FALSE(rt::ProgramFinished());  // the hidden window still counts
    c.Unload();
    EXPECT_TRUE(rt::ProgramFinished());
}

TEST_F(Forms, RunProgramReturnsWhenStartUnloadsEverything) {
    int status = rt::RunProgram([] {
        rt::FormOf<MainWindow>().Show();
        rt::FormOf<MainWindow>().Unload();
    });
    EXPECT_EQ(status, 0);
}

TEST_F(Forms, SkinPictureIsDrawnUnscaledAndClipped) {
    auto& c = rt::FormOf<Child>();  // 100 x 50
    rt::StdPicture p;
    p.Width = 102;
    p.Height = 40;
    p.Pixels.resize(102 * 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 102; ++x) p.Pixels[y * 102 + x] = 0xFF000000u | (x << 8) | y;
    c.Picture(p);
    c.BackColor(rt::RGB(255, 0, 0));
    c.Show();
    auto px = rt::headless::WindowPixels(c);
    ASSERT_EQ(px.size(), 100u * 50u);
    EXPECT_EQ(px[0], 0xFF000000u);
    EXPECT_EQ(px[39 * 100 + 99], 0xFF000000u | (99 << 8) | 39);  // no scaling
    EXPECT_EQ(px[45 * 100 + 10], 0xFFFF0000u);                   // below the picture: back colour
}

// Controls wholly outside the window, beside it on either side, paint nothing: the window shows
// its back colour alone.
TEST_F(Forms, ControlsOutsideTheWindowPaintNothing) {
    struct Offside : rt::Form {
        Offside() : Form("Offside") {
            ClientSize(100, 50);
            BackColor(rt::RGB(0, 0, 255));
        }
        rt::Label right{*this, "right", 120, 10, 30, 20};
        rt::Label left{*this, "left", -60, 10, 30, 20};
        rt::PictureBox box{*this, "box", 150, 0, 20, 20};
    };
    auto& w = rt::FormOf<Offside>();
    w.Show();
    const auto px = rt::headless::WindowPixels(w);
    ASSERT_EQ(px.size(), 100u * 50u);
    for (uint32_t p : px) ASSERT_EQ(p, 0xFF0000FFu);
}

}  // namespace
