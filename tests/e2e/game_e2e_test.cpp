// A walk-through as a person does it, on a private X server: the menu, Select Simulation, a
// world clicked in the list, Accept, Begin; the splash, then the game window with its world,
// weapon image and a frame-rate figure that changes every second; the arrow keys turn and walk
// until a wall stops the walk; Escape ends the program with status 0. Screenshots of each
// stage are written to the test's working folder (game_e2e_*.ppm) for a look.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
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

// The system's close command for a top-level window, as a window manager sends it.
void SendCloseCommand(const std::string& display, unsigned long window) {
    Display* d = XOpenDisplay(display.c_str());
    ASSERT_NE(d, nullptr);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &e);
    XCloseDisplay(d);
}

// The main menu, then Select Simulation clicked on it; 0 for a window that did not come up.
struct MenuAndSelection {
    unsigned long menu = 0, select = 0;
};
MenuAndSelection OpenSelection(e2e::Session& s) {
    MenuAndSelection w;
    w.menu = s.WaitForWindow("Quorvane");
    if (w.menu == 0) return w;
    e2e::Pause(300);
    s.Click(w.menu, 148, 72);  // Select Simulation
    w.select = s.WaitForWindow("Quorvane -- Select Simulation");
    e2e::Pause(300);
    return w;
}

// The program copied into a folder of its own, beside a Data folder made for the test (the
// shipped textures, and what the test writes), removed at the end.
struct ProgramCopy {
    std::filesystem::path dir, program;
    ProgramCopy() {
        char pattern[] = "/tmp/quorvane-e2e-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) return;
        dir = pattern;
        program = dir / "quorvane";
        std::filesystem::copy_file(QV_PROGRAM, program);
        std::filesystem::create_directories(dir / "Data");
        std::filesystem::copy(std::string(QV_SOURCE_DIR) + "/Data/Textures", dir / "Data" / "Textures");
    }
    ~ProgramCopy() {
        std::error_code ec;
        if (!dir.empty()) std::filesystem::remove_all(dir, ec);
    }
    void Write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::create_directories((dir / relative).parent_path());
        std::ofstream(dir / relative, std::ios::binary) << bytes;
    }
};

// From the start of the program: the main menu (into `menu`), Select Simulation, the world in
// list row `row` (from 0), Accept, Begin.
void BeginWorld(e2e::Session& s, e2e::Process& app, int row, unsigned long& menu) {
    const MenuAndSelection w = OpenSelection(s);
    menu = w.menu;
    ASSERT_NE(w.menu, 0u) << app.Errors();
    ASSERT_NE(w.select, 0u) << app.Errors();
    s.Click(w.select, 60, 40 + 15 * row);
    e2e::Pause(200);
    s.Click(w.select, 184, 140);  // Accept
    e2e::Pause(300);
    s.Click(w.menu, 64, 44);  // Begin
}

// A window titled `title` other than `other`, waiting up to `ms`; 0 when none came.
unsigned long OtherWindowTitled(e2e::Session& s, const std::string& title, unsigned long other, int ms) {
    for (int waited = 0; waited <= ms; waited += 100) {
        std::istringstream tree(s.Run("xwininfo -root -tree"));
        std::string line;
        while (std::getline(tree, line)) {
            if (line.find("\"" + title + "\"") == std::string::npos) continue;
            const unsigned long id = std::strtoul(line.c_str() + line.find("0x"), nullptr, 16);
            if (id != other) return id;
        }
        e2e::Pause(100);
    }
    return 0;
}

}  // namespace

// A wall texture that cannot be read, or is missing: a world that uses it stops before the walk
// with the run-time error box, which shows the error's usual text and, below it, the file as
// the system names it (and what is wrong with it), and the program ends with status 1; a world
// that does not use it runs.
TEST(GameEndToEnd, ABrokenWallTextureIsNamedBeforeTheWalkStarts) {
    e2e::Session s;
    if (!s.Ready()) GTEST_SKIP() << s.Why();
    ProgramCopy copy;
    ASSERT_FALSE(copy.dir.empty());
    // Texture 3: a BMP header that declares 8192 x 8192 pixels, and no pixels.
    std::string header(64, '\0');
    const uint8_t fields[] = {'B', 'M', 64, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                              0, 0x20, 0, 0, 0, 0x20, 0, 0, 1, 0, 24};
    for (size_t i = 0; i < sizeof fields; ++i) header[i] = static_cast<char>(fields[i]);
    copy.Write("Data/Textures/3.bmp", header);
    std::filesystem::remove(copy.dir / "Data" / "Textures" / "4.bmp");
    copy.Write("Data/Maps/Missing.map", "3,3,1,2\r\n1,4,1\r\n1,13,1\r\n1,1,1\r\n");
    copy.Write("Data/Maps/Open.map", "3,3,1,2\r\n1,1,1\r\n1,13,1\r\n1,1,1\r\n");
    copy.Write("Data/Maps/Walls.map", "3,3,1,2\r\n1,3,1\r\n1,13,1\r\n1,1,1\r\n");
    const std::string maps = (copy.dir / "Data" / "Maps").string();
    const std::string textures = (copy.dir / "Data" / "Textures").string();

    // The world in list row `row` (Missing, Open, Walls) stops with the error box, which says `message`.
    auto stops = [&](int row, const std::string& message, const std::string& screenshot) {
        auto& app = s.Start({copy.program.string()}, "/");
        unsigned long menu = 0;
        ASSERT_NO_FATAL_FAILURE(BeginWorld(s, app, row, menu));
        const unsigned long box = OtherWindowTitled(s, "Quorvane", menu, 8000);
        ASSERT_NE(box, 0u) << "no error box; " << app.Errors();
        // The box says the same on standard error.
        const std::string said = app.Errors();
        EXPECT_NE(said.find(message), std::string::npos) << said;
        e2e::Pause(300);
        Save(s.Screenshot(), screenshot);
        s.Key(box, "Return");
        EXPECT_EQ(app.WaitForExit(5000), 1) << app.Errors();
    };
    // The detail: the world and the cell that uses the texture, then the texture file.
    ASSERT_NO_FATAL_FAILURE(stops(2,
                                  "Run-time error '-2005529767':\n\nD3DXERR_INVALIDDATA\n\n" + maps +
                                      "/Walls.map: row 1, column 2 holds code 3: " + textures +
                                      "/3.bmp: BMP pixel data truncated",
                                  "broken_texture_box"));
    ASSERT_NO_FATAL_FAILURE(stops(0,
                                  "Run-time error '53':\n\nFile not found\n\n" + maps +
                                      "/Missing.map: row 1, column 2 holds code 4: " + textures + "/4.bmp\n",
                                  "missing_texture_box"));
    {
        auto& app = s.Start({copy.program.string()}, "/");
        unsigned long menu = 0;
        ASSERT_NO_FATAL_FAILURE(BeginWorld(s, app, 1, menu));
        const unsigned long game = s.WaitForWindow("Quorvane -- Windowed Mode", 5000);
        ASSERT_NE(game, 0u) << app.Errors();
        e2e::Pause(1500);
        EXPECT_TRUE(app.Running()) << app.Errors();
        s.Key(game, "Escape");
        EXPECT_EQ(app.WaitForExit(5000), 0) << app.Errors();
    }
}

TEST(GameEndToEnd, SelectAWorldBeginWalkIntoAWallAndEscape) {
    e2e::Session s;
    if (!s.Ready()) GTEST_FAIL() << s.Why();
    // Started from another folder: the program finds its data beside itself.
    auto& app = s.Start({QV_PROGRAM}, "/tmp");

    const auto [menu, select] = OpenSelection(s);
    ASSERT_NE(select, 0u) << app.Errors();
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

TEST(GameEndToEnd, ClosingTheGameWindowDuringTheSplashEndsTheProgramWithoutReadingTheWorld) {
    e2e::Session s;
    if (!s.Ready()) GTEST_SKIP() << s.Why();
    // A program folder of its own whose one world is bad: reading it would end in the error box.
    ProgramCopy copy;
    ASSERT_FALSE(copy.dir.empty());
    copy.Write("Data/Maps/Bad.map", "1,2,1,1\r\n13,14\r\n");
    auto& app = s.Start({copy.program.string()}, "/tmp");
    unsigned long menu = 0;
    ASSERT_NO_FATAL_FAILURE(BeginWorld(s, app, 0, menu));
    ASSERT_NE(s.WaitForWindow("Form1", 3000), 0u) << "no splash window";
    const unsigned long game = s.WaitForWindow("Quorvane -- Windowed Mode", 500);
    ASSERT_NE(game, 0u) << app.Errors();
    SendCloseCommand(s.Display(), game);
    EXPECT_EQ(app.WaitForExit(5000), 0) << app.Errors();
    EXPECT_EQ(app.Errors().find("Run-time error"), std::string::npos) << app.Errors();
}

// The X server going away during a walk: Xlib ends the program with status 1 after saying so,
// and what the program holds (the engine's device among it) is destroyed on the way out
// without a fault (a sanitizer build would report one on standard error).
TEST(GameEndToEnd, TheXServerGoingAwayDuringAWalkEndsTheProgramWithoutAFault) {
    e2e::Session s;
    if (!s.Ready()) GTEST_FAIL() << s.Why();
    auto& app = s.Start({QV_PROGRAM}, "/tmp");
    unsigned long menu = 0;
    ASSERT_NO_FATAL_FAILURE(BeginWorld(s, app, 1, menu));
    const unsigned long game = s.WaitForWindow("Quorvane -- Windowed Mode", 5000);
    ASSERT_NE(game, 0u) << app.Errors();
    e2e::Pause(1000);
    s.Key(game, Repeat("Up", 5));
    s.StopServer();
    EXPECT_EQ(app.WaitForExit(20000), 1) << app.Errors();
    const std::string said = app.Errors();
    // Xlib's words on the lost server, in one of its two forms.
    const bool xlibSaid = said.find("X connection to " + s.Display()) != std::string::npos ||
                          said.find("X server \"" + s.Display() + "\"") != std::string::npos;
    EXPECT_TRUE(xlibSaid) << said;
    EXPECT_EQ(said.find("Sanitizer"), std::string::npos) << said;
    EXPECT_EQ(said.find("runtime error:"), std::string::npos) << said;
}
