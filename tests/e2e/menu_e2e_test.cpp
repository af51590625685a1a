// The program on a real X server, driven like a person: the main menu comes up centred and
// shaped like its outline, each hot spot brings up its window at its place and shape, the
// windows hide again, Begin without a world shows the message box (modal, with the keyboard),
// the skin drags the menu, and Exit, SIGTERM, SIGINT or SIGHUP end the program with status 0.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "app/outline/outline_tables.h"
#include "platform/win32/regions.h"
#include "platform/win32/runtime.h"
#include "resources/resources.h"
#include "tests/e2e/harness.h"

namespace {

struct SkinOutline {
    const ::Outline::Point16* points;
    int count;
    const char* skin;
};

// Pixels of a shown window compared with what it should show: inside the outline the skin
// (unless a control covers the point), outside it whatever lay below before it came up.
struct ShapeCheck {
    int inside = 0, outside = 0;
    int insideWrong = 0, outsideWrong = 0;
};

ShapeCheck CheckShape(const e2e::Image& shot, const e2e::Image& before, const e2e::Geometry& g,
                      const SkinOutline& o, int width, int height,
                      const std::vector<e2e::Rect>& controls) {
    std::vector<POINTAPI> pts;
    for (int i = 0; i < o.count; ++i) pts.push_back({o.points[i].x, o.points[i].y});
    const int32_t region = CreatePolygonRgn(pts.data(), o.count, ALTERNATE);
    const auto bytes = GetResource(o.skin);
    const rt::StdPicture skin = rt::LoadPictureFromMemory(bytes.data(), bytes.size());
    ShapeCheck c;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t seen = shot.At(g.x + x, g.y + y);
            if (PtInRegion(region, x, y)) {
                bool covered = false;
                for (const e2e::Rect& r : controls)
                    covered |= x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
                if (covered) continue;
                ++c.inside;
                const uint32_t want = skin.Pixels[static_cast<size_t>(y) * skin.Width + x] & 0xFFFFFF;
                if (seen != want) ++c.insideWrong;
            } else {
                ++c.outside;
                if (seen != before.At(g.x + x, g.y + y)) ++c.outsideWrong;
            }
        }
    DeleteObject(region);
    return c;
}

// The window of that exact title, found in the window tree (also windows no search lists, such
// as the message box); 0 when there is none.
unsigned long FindInTree(e2e::Session& s, const std::string& title, int ms) {
    for (int waited = 0;; waited += 50) {
        std::istringstream tree(s.Run("xwininfo -root -tree"));
        std::string line;
        while (std::getline(tree, line))
            if (line.find("\"" + title + "\"") != std::string::npos)
                return std::strtoul(line.c_str() + line.find("0x"), nullptr, 16);
        if (waited >= ms) return 0;
        e2e::Pause(50);
    }
}

class MenuE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!session_.Ready()) GTEST_FAIL() << session_.Why();
        // From another working directory: the program finds its data beside itself.
        app_ = &session_.Start({QV_PROGRAM}, "/");
        menu_ = session_.WaitForWindow("Quorvane");
        ASSERT_NE(menu_, 0u) << app_->Errors();
        e2e::Pause(300);
    }

    // Selects the first world, Accept, Begin; the game window once frames are drawn (0: none).
    unsigned long StartARun() {
        session_.Click(menu_, 150, 70);  // Select Simulation
        const unsigned long select = session_.WaitForWindow("Quorvane -- Select Simulation", 3000);
        if (select == 0) return 0;
        e2e::Pause(200);
        session_.Click(select, 60, 40);    // the first world
        session_.Click(select, 180, 140);  // Accept
        e2e::Pause(200);
        session_.Click(menu_, 60, 40);  // Begin
        const unsigned long game = session_.WaitForWindow("Quorvane -- Windowed Mode", 5000);
        e2e::Pause(2000);  // the splash, then frames
        return app_->Running() ? game : 0;
    }

    // With Select Simulation up as a second window, `signal` ends the program with status 0 and
    // takes both windows away.
    void SignalEndsTheProgram(int signal) {
        session_.Click(menu_, 150, 70);  // Select Simulation, a second window
        ASSERT_NE(session_.WaitForWindow("Quorvane -- Select Simulation", 3000), 0u) << app_->Errors();
        app_->Signal(signal);
        EXPECT_EQ(app_->WaitForExit(1000), 0) << app_->Errors();
        EXPECT_EQ(session_.WaitForWindow("Quorvane", 0), 0u);
        EXPECT_EQ(session_.WaitForWindow("Quorvane -- Select Simulation", 0), 0u);
    }

    e2e::Session session_;
    e2e::Process* app_ = nullptr;
    unsigned long menu_ = 0;
};

}  // namespace

TEST_F(MenuE2E, TheMenuComesUpCentredAndShapedLikeItsOutline) {
    const e2e::Geometry g = session_.GeometryOf(menu_);
    EXPECT_EQ(g.x, (1280 - 342) / 2);
    EXPECT_EQ(g.y, (1024 - 309) / 2);
    EXPECT_EQ(g.width, 342);
    EXPECT_EQ(g.height, 309);

    e2e::Image black;  // the root window is black
    black.width = 1280;
    black.height = 1024;
    black.pixels.assign(1280u * 1024u, 0);
    const ShapeCheck c = CheckShape(session_.Screenshot(), black, g,
                                    {::Outline::kMenu, ::Outline::kMenuCount, "frmMenu.bmp"},
                                    342, 309, {});
    EXPECT_GT(c.inside, 342 * 309 * 8 / 10);
    EXPECT_GT(c.outside, 0);
    EXPECT_EQ(c.insideWrong, 0);
    EXPECT_EQ(c.outsideWrong, 0);

    // A press outside the outline does not reach the menu: no drag.
    session_.Drag(menu_, 1, 1, 50, 50);
    EXPECT_EQ(session_.GeometryOf(menu_).x, g.x);
    // The skin itself drags it.
    session_.Drag(menu_, 150, 280, 60, 20);
    const e2e::Geometry moved = session_.GeometryOf(menu_);
    EXPECT_EQ(moved.x, g.x + 60);
    EXPECT_EQ(moved.y, g.y + 20);

    session_.Click(menu_, 270, 270);  // Exit
    EXPECT_EQ(app_->WaitForExit(3000), 0) << app_->Errors();
}

TEST_F(MenuE2E, EachHotSpotOpensItsWindowAtItsPlaceAndShape) {
    struct Case {
        int x, y;  // the hot spot on the menu
        const char* title;
        int left, top, width, height;
        SkinOutline outline;
        std::vector<e2e::Rect> controls;  // drawn over the skin
        int closeX, closeY;               // the zone that hides it again
    } cases[] = {
        {150, 70, "Quorvane -- Select Simulation", 385, 268, 253, 231,
         {::Outline::kSelect, ::Outline::kSelectCount, "frmSelect.bmp"},
         {{24, 32, 145, 80}}, 180, 200},
        {60, 100, "Quorvane -- Options", 353, 227, 318, 320,
         {::Outline::kOptions, ::Outline::kOptionsCount, "frmOptions.bmp"},
         {{16, 32, 105, 67}, {128, 48, 137, 209}, {16, 112, 105, 47}, {16, 16, 105, 17},
          {16, 96, 105, 17}},
         190, 295},
        {308, 220, "Quorvane -- About", 326, 280, 371, 207,
         {::Outline::kAbout, ::Outline::kAboutCount, "frmAbout.bmp"}, {}, 208, 180},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const e2e::Image before = session_.Screenshot();
        session_.Click(menu_, c.x, c.y);
        const unsigned long w = session_.WaitForWindow(c.title, 3000);
        ASSERT_NE(w, 0u) << app_->Errors();
        e2e::Pause(300);
        const e2e::Geometry g = session_.GeometryOf(w);
        EXPECT_EQ(g.x, c.left);
        EXPECT_EQ(g.y, c.top);
        EXPECT_EQ(g.width, c.width);
        EXPECT_EQ(g.height, c.height);
        const ShapeCheck shape =
            CheckShape(session_.Screenshot(), before, g, c.outline, c.width, c.height, c.controls);
        EXPECT_GT(shape.inside, c.width * c.height / 3);
        EXPECT_GT(shape.outside, 0);
        EXPECT_EQ(shape.insideWrong, 0);
        EXPECT_EQ(shape.outsideWrong, 0);

        session_.Click(w, c.closeX, c.closeY);
        e2e::Pause(300);
        EXPECT_EQ(session_.WaitForWindow(c.title, 0), 0u) << "still shown";
    }
    EXPECT_TRUE(app_->Running());
    session_.Click(menu_, 270, 270);  // Exit, with three hidden windows
    EXPECT_EQ(app_->WaitForExit(3000), 0) << app_->Errors();
}

TEST_F(MenuE2E, TheWorldListShowsTheDataFolderBesideTheProgram) {
    session_.Click(menu_, 150, 70);
    const unsigned long w = session_.WaitForWindow("Quorvane -- Select Simulation", 3000);
    ASSERT_NE(w, 0u) << app_->Errors();
    e2e::Pause(300);
    const e2e::Geometry g = session_.GeometryOf(w);
    const e2e::Image shot = session_.Screenshot();
    // Names are dark text on the list's pale yellow.
    int text = 0;
    for (int y = 32; y < 32 + 80; ++y)
        for (int x = 24; x < 24 + 145; ++x) {
            const uint32_t p = shot.At(g.x + x, g.y + y);
            if (((p >> 16) & 0xFF) < 96 && ((p >> 8) & 0xFF) < 96 && (p & 0xFF) < 96) ++text;
        }
    EXPECT_GT(text, 100);
    session_.Click(menu_, 270, 270);
    EXPECT_EQ(app_->WaitForExit(3000), 0) << app_->Errors();
}

TEST_F(MenuE2E, BeginWithoutAWorldShowsTheMessageBox) {
    const e2e::Geometry menu = session_.GeometryOf(menu_);
    session_.Click(menu_, 60, 40);
    const unsigned long box = FindInTree(session_, "Error! Direction unclear.", 3000);
    ASSERT_NE(box, 0u) << app_->Errors();
    e2e::Pause(300);
    EXPECT_TRUE(app_->Running());
    EXPECT_EQ(session_.WaitForWindow("Quorvane -- Windowed Mode", 0), 0u);

    // Centred on the menu, with the keyboard, its text drawn (dark pixels on the pale face,
    // below the title bar), although the X server has no fonts of its own.
    const e2e::Geometry g = session_.GeometryOf(box);
    EXPECT_NEAR(g.x + g.width / 2, menu.x + menu.width / 2, 1);
    EXPECT_NEAR(g.y + g.height / 2, menu.y + menu.height / 2, 1);
    EXPECT_EQ(session_.FocusedWindow(), box);
    const e2e::Image shot = session_.Screenshot();
    int dark = 0;
    for (int y = 30; y < g.height - 50; ++y)
        for (int x = 50; x < g.width - 10; ++x)
            if ((shot.At(g.x + x, g.y + y) & 0xFF) < 80) ++dark;
    EXPECT_GT(dark, 100);

    // A click on the menu's Exit while the box is up is dropped, not delivered afterwards.
    ASSERT_FALSE(menu.x + 270 >= g.x && menu.x + 270 < g.x + g.width && menu.y + 270 >= g.y &&
                 menu.y + 270 < g.y + g.height)
        << "the box covers Exit";
    session_.Click(menu_, 270, 270);
    e2e::Pause(300);
    EXPECT_TRUE(app_->Running());
    EXPECT_EQ(session_.FocusedWindow(), box) << "the click took the keyboard from the box";

    // Return, typed to whatever has the keyboard, answers it.
    session_.Type("Return");
    for (int i = 0; i < 40 && FindInTree(session_, "Error! Direction unclear.", 0) != 0; ++i)
        e2e::Pause(50);
    EXPECT_EQ(FindInTree(session_, "Error! Direction unclear.", 0), 0u);
    e2e::Pause(500);
    EXPECT_TRUE(app_->Running()) << "the click on Exit made while the box was up was delivered";
    EXPECT_NE(session_.WaitForWindow("Quorvane", 0), 0u);
    // The menu works on as before.
    session_.Click(menu_, 270, 270);
    EXPECT_EQ(app_->WaitForExit(3000), 0) << app_->Errors();
}

TEST_F(MenuE2E, BeginAfterAcceptWithNothingHighlightedShowsTheMessageBox) {
    session_.Click(menu_, 150, 70);  // Select Simulation
    const unsigned long select = session_.WaitForWindow("Quorvane -- Select Simulation", 3000);
    ASSERT_NE(select, 0u) << app_->Errors();
    e2e::Pause(200);
    session_.Click(select, 180, 140);  // Accept, no world highlighted
    e2e::Pause(200);
    session_.Click(menu_, 60, 40);  // Begin
    const unsigned long box = FindInTree(session_, "Error! Direction unclear.", 3000);
    ASSERT_NE(box, 0u) << app_->Errors();
    session_.Key(box, "Return");
    e2e::Pause(300);
    // No run started, and the program goes on.
    EXPECT_TRUE(app_->Running()) << app_->Errors();
    EXPECT_EQ(session_.WaitForWindow("Quorvane -- Windowed Mode", 0), 0u);
    session_.Click(menu_, 270, 270);  // Exit
    EXPECT_EQ(app_->WaitForExit(3000), 0) << app_->Errors();
}

TEST_F(MenuE2E, SigtermEndsTheProgramAsExitDoes) {
    SignalEndsTheProgram(SIGTERM);
}

TEST_F(MenuE2E, SighupEndsTheProgramAsSigtermDoes) {
    SignalEndsTheProgram(SIGHUP);  // the terminal has closed
}

TEST_F(MenuE2E, SigintEndsTheProgramWhileTheMessageBoxIsUp) {
    session_.Click(menu_, 60, 40);  // Begin without a world
    ASSERT_NE(FindInTree(session_, "Error! Direction unclear.", 3000), 0u) << app_->Errors();
    app_->Signal(SIGINT);
    EXPECT_EQ(app_->WaitForExit(1000), 0) << app_->Errors();
    EXPECT_EQ(FindInTree(session_, "Error! Direction unclear.", 0), 0u);
    EXPECT_EQ(session_.WaitForWindow("Quorvane", 0), 0u);
}

TEST(MenuProgram, WithoutADisplayItSaysWhatItNeedsAndFails) {
    const std::string out = std::string("/tmp/quorvane-nodisplay-") + std::to_string(::getpid());
    const std::string command =
        std::string("env -u DISPLAY -u WAYLAND_DISPLAY '") + QV_PROGRAM + "' >" + out + " 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(out.c_str());
    EXPECT_NE(text.find("X display"), std::string::npos) << text;
    EXPECT_NE(text.find("xvfb-run"), std::string::npos) << text;
}

TEST_F(MenuE2E, ExitDuringARunEndsTheProgram) {
    const unsigned long game = StartARun();
    ASSERT_NE(game, 0u) << app_->Errors();
    // The game window, centred, covers the menu's Exit: move it aside by its frame.
    session_.Drag(game, 20, 185, 380, 0);
    e2e::Pause(300);
    EXPECT_GE(session_.GeometryOf(game).x, 390 + 300);
    session_.Click(menu_, 270, 270);  // Exit
    EXPECT_EQ(app_->WaitForExit(5000), 0) << app_->Errors();
}

TEST_F(MenuE2E, SigtermDuringARunEndsTheProgram) {
    ASSERT_NE(StartARun(), 0u) << app_->Errors();
    app_->Signal(SIGTERM);
    EXPECT_EQ(app_->WaitForExit(1000), 0) << app_->Errors();
    EXPECT_EQ(session_.WaitForWindow("Quorvane -- Windowed Mode", 0), 0u);
}
