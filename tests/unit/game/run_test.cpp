// Whole runs of the game window on small worlds of our own: what the start of a run builds,
// the camera on the start cell, the frame-rate figure, the keys inside a running main loop,
// the ways a run ends, and the error box for each kind of bad world file.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <bit>
#include <fstream>
#include <cstring>
#include <regex>
#include <set>

#include "app/cells.h"
#include "app/frmMenu.h"
#include "app/frmWindowed.h"
#include "app/game_state.h"
#include "engine/zemdx.h"
#include "platform/d3d8/present.h"
#include "platform/d3d8/testswitch.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/keys.h"
#include "tests/unit/game/run_fixture.h"

using namespace gametest;

namespace {

// 3 rows x 4 columns: walls of textures 1, 2, 11 and 3, the start cell at (2, 2); floor
// texture 1, ceiling texture 2.
std::string SmallWorld() {
    return WorldText(3, 4, 1, 2, {{1, 12, 12, 2}, {12, 13, 12, 11}, {3, 12, 12, 12}});
}

// 6 x 6 open cells inside, the start at (2, 2), a wall at (2, 5).
std::string OpenWorld() {
    return WorldText(6, 6, 8, 11,
                     {{12, 12, 12, 12, 12, 12},
                      {12, 13, 12, 12, 4, 12},
                      {12, 12, 12, 12, 12, 12},
                      {12, 12, 12, 12, 12, 12},
                      {12, 12, 12, 12, 12, 12},
                      {12, 12, 12, 12, 12, 12}});
}

void ExpectVertex(const ZemDx::Vertex& v, float x, float y, float z, float tu, float tv) {
    GAME_CHECK(v.X == x && v.Y == y && v.Z == z);
    GAME_CHECK(v.TU == tu && v.TV == tv);
    GAME_CHECK(v.Color == 0x00FFFFFF);
}

void RunSmallWorld() {
    PlayWorld(SmallWorld(), {WaitForMainLoop(), Do([] {
             using namespace ZemDx;
             // Eight triangles per wall block (four of them), two each for floor and ceiling.
             GAME_CHECK(TriangleCount == 36);
             // Room for exactly the world's triangles was made before the first was added, so
             // neither list ever moved or took more.
             GAME_CHECK(Triangles.capacity() == 36 && TriangleBuffers.capacity() == 36);
             GAME_CHECK(Triangles[0].Texture == ModMain::WallTextures[0]);
             GAME_CHECK(Triangles[8].Texture == ModMain::WallTextures[1]);
             GAME_CHECK(Triangles[16].Texture == ModMain::WallTextures[10]);
             GAME_CHECK(Triangles[24].Texture == ModMain::WallTextures[2]);
             ExpectVertex(Triangles[0].V[0], 5, 5, 5, 0, 0);  // block (1, 1), face x = 5
             ExpectVertex(Triangles[16].V[0], 10, 5, 20, 0, 0);  // block (2, 4)
             // Floor and ceiling over cells 1..3 x 1..4, texture repeated once per cell.
             ExpectVertex(Triangles[32].V[0], 5, 0, 5, 0, 0);
             ExpectVertex(Triangles[32].V[1], 20, 0, 5, 3, 0);
             ExpectVertex(Triangles[32].V[2], 20, 0, 25, 3, 4);
             ExpectVertex(Triangles[33].V[1], 5, 0, 25, 0, 4);
             ExpectVertex(Triangles[34].V[0], 20, 5, 25, 3, 4);
             ExpectVertex(Triangles[34].V[1], 20, 5, 5, 3, 0);
             ExpectVertex(Triangles[35].V[1], 5, 5, 25, 0, 4);
             GAME_CHECK(Triangles[32].Texture == ModMain::WallTextures[0]);
             GAME_CHECK(Triangles[33].Texture == ModMain::WallTextures[0]);
             GAME_CHECK(Triangles[34].Texture == ModMain::WallTextures[1]);
             GAME_CHECK(Triangles[35].Texture == ModMain::WallTextures[1]);
             // The weapon image in slot 0, the wall textures in slots 1 to 11, entry 11 unused.
             GAME_CHECK(TextureCount == 12);
             GAME_CHECK(TextureNames[0].FileName == "Textures\\Phaser Type 3.bmp");
             for (int i = 0; i < 11; ++i) {
                 GAME_CHECK(ModMain::WallTextures[i] == i + 1);
                 GAME_CHECK(TextureNames[i + 1].FileName == "Textures\\" + std::to_string(i + 1) + ".bmp");
             }
             GAME_CHECK(ModMain::WallTextures[11] == 0);
             for (int i = 0; i < 12; ++i) GAME_CHECK(Textures[i] != nullptr);
             GAME_CHECK(OverlayUsed[0] == rt::True && Overlays[0].Texture == 0);
             // The viewer in the middle of the start cell, 2 above the floor, looking along +z.
             GAME_CHECK(Camera.PosX == -12.5f && Camera.PosZ == -12.5f);
             GAME_CHECK(Camera.PosY == -2.0f);
             GAME_CHECK(std::bit_cast<uint32_t>(Camera.FOV) == 0x3F860A52u);
             GAME_CHECK(Camera.Heading == 0.0f && Camera.Pitch == 0.0f);
             GAME_CHECK(ModMain::MoveSpeed == 1.0f);
             GAME_CHECK(ModMain::FpsTextIndex >= 0);
             GAME_CHECK(Texts[ModMain::FpsTextIndex].Text.rfind("FPS - ", 0) == 0);
         }),
         Do([] {
             // Frames are presented to the picture box: walls, floor, ceiling and weapon make
             // a picture of many colours.
             const auto& frame = d3d8::LastPresentedFrame();
             GAME_CHECK(frame.count > 0);
             GAME_CHECK(frame.hWnd == rt::FormOf<frmWindowed>().picGame.hWnd());
             GAME_CHECK(frame.width == 640 && frame.height == 480);
             std::set<uint32_t> colours(frame.pixels.begin(), frame.pixels.end());
             GAME_CHECK(colours.size() > 200);
             // The run time shows them in the picture box under the headless backend too: its
             // top-left pixel is the frame's, and the box holds many colours as well.
             frmWindowed& game = rt::FormOf<frmWindowed>();
             const std::vector<uint32_t> window = rt::headless::WindowPixels(game);
             const int32_t w = game.Width(), left = game.picGame.Left(), top = game.picGame.Top();
             GAME_CHECK(window[size_t(top) * size_t(w) + size_t(left)] == (frame.pixels[0] | 0xFF000000u));
             std::set<uint32_t> shown;
             for (int32_t y = 0; y < game.picGame.Height(); ++y)
                 for (int32_t x = 0; x < game.picGame.Width(); ++x)
                     shown.insert(window[size_t(top + y) * size_t(w) + size_t(left + x)]);
             GAME_CHECK(shown.size() > 200);
         }),
         [] {
             // The figure after the next tick of the one-second timer.
             const std::string& text = ZemDx::Texts[ModMain::FpsTextIndex].Text;
             if (text == "FPS - 0") return false;
             GAME_CHECK(std::regex_match(text, std::regex("FPS - [1-9][0-9]*")));
             return true;
         }});
}

}  // namespace

TEST(GameRun, SmallWorldBuildsWallsFloorCeilingTexturesAndCamera) {
    EXPECT_EXIT(RunSmallWorld(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameRun, FrameRateFigureShowsTheCountOfTheLastSecond) {
    auto run = [] {
        PlayWorld(SmallWorld(), {WaitForMainLoop(), Do([] {
                 ModMain::FrameCount = 87;
                 rt::FormOf<frmWindowed>().TimerFPS_Timer();
                 GAME_CHECK(ZemDx::Texts[ModMain::FpsTextIndex].Text == "FPS - 87");
                 GAME_CHECK(ModMain::FrameCount == 0);
             })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameRun, WithoutAStartCellTheViewerStaysAtTheOrigin) {
    auto run = [] {
        PlayWorld(WorldText(2, 2, 1, 1, {{12, 12}, {12, 12}}), {WaitForMainLoop(), Do([] {
                 GAME_CHECK(ZemDx::Camera.PosX == 0.0f && ZemDx::Camera.PosZ == 0.0f);
                 GAME_CHECK(ZemDx::TriangleCount == 4);
             }),
             Press(rt::vbKeyUp, 3), Do([] {
                 // Every corner lies in cell (0, 0): the steps are refused.
                 GAME_CHECK(ZemDx::Camera.PosX == 0.0f && ZemDx::Camera.PosZ == 0.0f);
             })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameRun, TheLastStartCellInReadingOrderWins) {
    auto run = [] {
        PlayWorld(WorldText(3, 3, 1, 1, {{12, 12, 12}, {12, 12, 13}, {13, 12, 12}}), {WaitForMainLoop(), Do([] {
                 GAME_CHECK(ZemDx::Camera.PosX == -17.5f && ZemDx::Camera.PosZ == -7.5f);
             })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameRun, AWorldOfNoRowsRunsWithoutWallsAndAFloorWithoutArea) {
    // With no row the column loop never starts, so even a column count beyond 16 bits is no
    // error: the run goes on with the viewer at the origin and a floor and ceiling of no area.
    auto run = [] {
        PlayWorld(WorldText(0, 40000, 1, 2, {}), {WaitForMainLoop(), Do([] {
                 using namespace ZemDx;
                 GAME_CHECK(TriangleCount == 4);
                 GAME_CHECK(Camera.PosX == 0.0f && Camera.PosZ == 0.0f);
                 ExpectVertex(Triangles[0].V[1], 5, 0, 5, 0, 0);
                 ExpectVertex(Triangles[0].V[2], 5, 0, 200005, 0, 40000);
                 ExpectVertex(Triangles[2].V[1], 5, 5, 5, 0, 0);
             })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameKeys, TurningTiltingAndLevellingInARun) {
    auto run = [] {
        auto& cam = ZemDx::Camera;
        PlayWorld(OpenWorld(), {WaitForMainLoop(), Press(rt::vbKeyLeft), Do([&] { GAME_CHECK(cam.Heading == 6.1620002f); }),
             Press(rt::vbKeyRight), Press(rt::vbKeyRight), Do([&] { GAME_CHECK(cam.Heading == 0.11999995f); }),
             Press(rt::vbKeyZ, 14), Do([&] { GAME_CHECK(cam.Pitch == -1.5707964f); }),
             Press(rt::vbKeyA), Do([&] { GAME_CHECK(cam.Pitch == -1.4507964f); }),
             Press(rt::vbKeyEnd), Do([&] {
                 GAME_CHECK(cam.Pitch == 0.0f);
                 GAME_CHECK(cam.Heading == 0.11999995f);
             }),
             Press(rt::vbKeyA, 20), Do([&] { GAME_CHECK(cam.Pitch == 1.5707964f); }),
             Do([&] { GAME_CHECK(cam.PosX == -12.5f && cam.PosZ == -12.5f); })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameKeys, WalkingRunningWithShiftAndWalls) {
    auto run = [] {
        auto& cam = ZemDx::Camera;
        PlayWorld(OpenWorld(), {WaitForMainLoop(), Press(rt::vbKeyUp), Do([&] {
                 GAME_CHECK(cam.PosX == -12.5f && cam.PosZ == -13.5f);
             }),
             Press(rt::vbKeyDown), Do([&] { GAME_CHECK(cam.PosZ == -12.5f); }),
             Press(rt::vbKeyShift), Press(rt::vbKeyUp), Do([&] {
                 GAME_CHECK(ModMain::MoveSpeed == 2.0f);
                 GAME_CHECK(cam.PosZ == -14.5f);
             }),
             Release(rt::vbKeyA), Do([&] { GAME_CHECK(ModMain::MoveSpeed == 2.0f); }),
             Release(rt::vbKeyShift), Do([&] { GAME_CHECK(ModMain::MoveSpeed == 1.0f); }),
             // The wall at (2, 5) stops the walk: the high corners would round into column 5
             // once the eye passes z = 22.5 (24.5 rounds to 24, 25.5 to 26).
             Press(rt::vbKeyUp, 12), Do([&] {
                 GAME_CHECK(cam.PosZ == -22.5f);
                 GAME_CHECK(cam.PosX == -12.5f);
             }),
             // Column 0 stops the walk back.
             Press(rt::vbKeyDown, 30), Do([&] { GAME_CHECK(cam.PosZ == -7.5f); }),
             // Row 0 stops a walk along -x.
             Do([&] { cam.Heading = 4.7123890f; }), Press(rt::vbKeyUp, 30), Do([&] {
                 GAME_CHECK(cam.PosX > -7.6f && cam.PosX < -7.4f);
             })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameKeys, OtherKeysDoNothing) {
    auto run = [] {
        PlayWorld(OpenWorld(), {WaitForMainLoop(), Press(rt::vbKeySpace), Press(rt::vbKeyPageUp), Press(rt::vbKeyControl),
             Press(81 /* Q */), Press(rt::vbKeyReturn), Release(rt::vbKeyUp), Do([] {
                 const auto& cam = ZemDx::Camera;
                 GAME_CHECK(cam.PosX == -12.5f && cam.PosZ == -12.5f && cam.PosY == -2.0f);
                 GAME_CHECK(cam.Heading == 0.0f && cam.Pitch == 0.0f);
                 GAME_CHECK(ModMain::MoveSpeed == 1.0f && ModMain::Running == rt::True);
             })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameKeys, KeysDuringTheSplashFindNoWorldAndMoveNobody) {
    auto run = [] {
        PlayWorld(OpenWorld(), {[] {
                 // Still inside the splash wait: no world, no main loop yet.
                 GAME_CHECK(ModMain::Running == rt::False);
                 return true;
             },
             Press(rt::vbKeyUp, 3), Press(rt::vbKeyDown), WaitForMainLoop(), Do([] {
                 GAME_CHECK(ZemDx::Camera.PosX == -12.5f && ZemDx::Camera.PosZ == -12.5f);
             })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameWindow, ShapedAndDraggedByItsSkinButNotByTheDrawingArea) {
    auto run = [] {
        static int left = 0, top = 0;
        PlayWorld(SmallWorld(), {WaitForMainLoop(), Do([] {
                 frmWindowed& w = rt::FormOf<frmWindowed>();
                 GAME_CHECK(w.Caption() == "Quorvane -- Windowed Mode");
                 GAME_CHECK(w.Width() == 500 && w.Height() == 370);
                 GAME_CHECK(w.Left() == (1280 - 500) / 2 && w.Top() == (1024 - 370) / 2);
                 // The outline cuts the window's corners off; inside, the window is hit.
                 GAME_CHECK(rt::headless::WindowAt(w.Left(), w.Top()) != &w);
                 GAME_CHECK(rt::headless::WindowAt(w.Left() + 250, w.Top() + 185) == &w);
                 left = w.Left();
                 top = w.Top();
                 // A press on the skin beside the drawing area drags the window.
                 rt::headless::MouseDown(w, 20, 185);
                 rt::headless::MouseMove(left + 20 + 30, top + 185 + 15);
                 rt::headless::MouseUp(left + 20 + 30, top + 185 + 15);
             }),
             Do([] {
                 frmWindowed& w = rt::FormOf<frmWindowed>();
                 GAME_CHECK(w.Left() == left + 30 && w.Top() == top + 15);
                 // A press on the drawing area does not.
                 rt::headless::MouseDown(w, 200, 150);
                 rt::headless::MouseMove(w.Left() + 260, w.Top() + 190);
                 rt::headless::MouseUp(w.Left() + 260, w.Top() + 190);
             }),
             Do([] {
                 frmWindowed& w = rt::FormOf<frmWindowed>();
                 GAME_CHECK(w.Left() == left + 30 && w.Top() == top + 15);
             })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameEnd, EscapeEndsTheProgramAtOnce) {
    auto run = [] {
        PlayWorld(SmallWorld(), {WaitForMainLoop(), Press(rt::vbKeyEscape), Do([] {}),
             Do([] { GAME_CHECK(!"a frame after Escape"); })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
}

TEST(GameEnd, EscapeDuringTheSplashEndsTheProgram) {
    auto run = [] {
        PlayWorld(SmallWorld(), {Press(rt::vbKeyEscape), Do([] {}), Do([] { GAME_CHECK(!"the run went on after Escape"); })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
}

TEST(GameEnd, ClosingTheGameWindowEndsTheRunAndTheProgram) {
    auto run = [] {
        PlayWorld(SmallWorld(), {WaitForMainLoop(), Do([] { rt::headless::Close(rt::FormOf<frmWindowed>()); }), Do([] {}),
             Do([] { GAME_CHECK(!"the main loop went on without its window"); })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
}

TEST(GameEnd, ClosingTheGameWindowDuringTheSplashEndsTheProgramBeforeTheWorldIsRead) {
    // The world is bad: reading it would end the program with the error box and status 1.
    auto run = [] {
        PlayWorld(WorldText(1, 2, 1, 1, {{13, 14}}),
                  {Do([] { rt::headless::Close(rt::FormOf<frmWindowed>()); }), [] {
                       GAME_CHECK(ModMain::Running != rt::True);
                       return false;  // until the program ends
                   }});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
}

TEST(GameEnd, TheMenusExitDuringTheSplashEndsTheProgram) {
    // The world is bad: reading it would end the program with the error box and status 1.
    auto run = [] {
        PlayWorld(WorldText(1, 2, 1, 1, {{13, 14}}), {Do([] {
                      GAME_CHECK(ModMain::Running == rt::False);  // inside the splash
                      rt::FormOf<frmMenu>().cmdExit_Click();
                  }),
                  [] {
                      GAME_CHECK(ModMain::Running != rt::True);
                      return false;  // until the program ends
                  }});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
}

TEST(GameEnd, TheMenusExitEndsTheRunAndTheProgram) {
    auto run = [] {
        PlayWorld(SmallWorld(), {WaitForMainLoop(), Do([] { rt::FormOf<frmMenu>().cmdExit_Click(); }),
             Do([] { GAME_CHECK(!"the main loop went on after Exit"); })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
}

// Bad world files stop the run with the run-time error box and status 1, never a crash.
namespace {
void RunBadWorld(const std::string& text, bool highlight = true) {
    PlayWorld(text, {WaitForMainLoop(), Do([] { GAME_CHECK(!"a bad world was accepted"); })}, highlight);
}

// The world file of SelectWorld as the box names it: its host path, with '/'.
const std::string kWorldFile = "/tmp/quorvane-game-[0-9]+/[A-Za-z0-9]{6}/Test World\\.map";
}  // namespace

TEST(GameWorldErrors, NoHighlightedWorld) {
    EXPECT_EXIT(RunBadWorld(SmallWorld(), false), testing::ExitedWithCode(1), "Run-time error '(53|75|76)':");
}

TEST(GameWorldErrors, ShortFile) {
    EXPECT_EXIT(RunBadWorld("3,3,1,1\r\n12,12,12\r\n12,13,12\r\n"), testing::ExitedWithCode(1),
                "Run-time error '62':\n\nInput past end of file\n\n" + kWorldFile + ", line 4\n");
}

TEST(GameWorldErrors, EmptyFile) {
    EXPECT_EXIT(RunBadWorld(""), testing::ExitedWithCode(1), "Run-time error '62':");
}

TEST(GameWorldErrors, CellCodeOutsideOneToThirteen) {
    // The box's first lines as ever, then the file and the cell at fault.
    EXPECT_EXIT(RunBadWorld(WorldText(2, 2, 1, 1, {{12, 14}, {13, 12}})), testing::ExitedWithCode(1),
                "Run-time error '9':\n\nSubscript out of range\n\n" + kWorldFile + ": row 1, column 2 holds code 14\n");
    EXPECT_EXIT(RunBadWorld(WorldText(2, 2, 1, 1, {{12, 0}, {13, 12}})), testing::ExitedWithCode(1),
                "Run-time error '9':");
}

TEST(GameWorldErrors, CellCodeOfMinus32768Overflows) {
    EXPECT_EXIT(RunBadWorld(WorldText(2, 2, 1, 1, {{12, -32768}, {13, 12}})), testing::ExitedWithCode(1),
                "Run-time error '6':");
}

TEST(GameWorldErrors, RowWithTooFewFields) {
    EXPECT_EXIT(RunBadWorld("2,3,1,1\r\n12,12\r\n12,13,12\r\n"), testing::ExitedWithCode(1),
                "Run-time error '9':");
}

TEST(GameWorldErrors, FloorOrCeilingNumberOutOfRange) {
    EXPECT_EXIT(RunBadWorld(WorldText(1, 1, 13, 1, {{13}})), testing::ExitedWithCode(1), "Run-time error '9':");
    EXPECT_EXIT(RunBadWorld(WorldText(1, 1, 1, 0, {{13}})), testing::ExitedWithCode(1), "Run-time error '9':");
    EXPECT_EXIT(RunBadWorld(WorldText(1, 1, -32768, 1, {{13}})), testing::ExitedWithCode(1),
                "Run-time error '6':");
}

TEST(GameWorldErrors, HugeHeaders) {
    EXPECT_EXIT(RunBadWorld("40000,2,1,1\r\n" + std::string(80000, ' ')), testing::ExitedWithCode(1),
                "Run-time error '6':");
    EXPECT_EXIT(RunBadWorld("30000,30000,1,1\r\n"), testing::ExitedWithCode(1), "Run-time error '7':");
    EXPECT_EXIT(RunBadWorld("-1,2,1,1\r\n"), testing::ExitedWithCode(1), "Run-time error '9':");
}

// Worlds whose file is far smaller than their grid: the missing cells read 0 and the build
// stops at the first of them, however large the grid.
namespace {
std::string EmptyRows(int rows, int cols) {
    std::string text = std::to_string(rows) + "," + std::to_string(cols) + ",1,1\r\n";
    for (int r = 0; r < rows; ++r) text += "\r\n";
    return text;
}
}  // namespace

TEST(GameWorldErrors, MissingCellsOfAShortFileStopTheBuild) {
    EXPECT_EXIT(RunBadWorld("2,9,1,1\r\n1\r\n1\r\n"), testing::ExitedWithCode(1),
                "Run-time error '9':\n\nSubscript out of range\n\n.*Test World\\.map: row 1, column 2 holds code 0\n");
}

TEST(GameWorldErrors, AGridOfEmptyRowsStopsAtItsFirstCellNotForWantOfMemory) {
    // 5000 x 5000 cells of code 0 hold no wall: the memory estimate does not refuse them.
    EXPECT_EXIT(RunBadWorld(EmptyRows(5000, 5000)), testing::ExitedWithCode(1),
                "Run-time error '9':\n\nSubscript out of range\n\n.*Test World\\.map: row 1, column 1 holds code 0\n");
    // 23000 x 23000, a grid of 1 GB from a file of 46 KB.
    EXPECT_EXIT(RunBadWorld(EmptyRows(23000, 23000)), testing::ExitedWithCode(1),
                "Run-time error '9':\n\nSubscript out of range\n\n.*Test World\\.map: row 1, column 1 holds code 0\n");
}

TEST(GameWorldErrors, StartCellBeyondRow6553Overflows) {
    // 5 x 6554 leaves the 16-bit range when the start cell is placed.
    std::string text = "6554,1,1,1\r\n";
    for (int r = 1; r < 6554; ++r) text += "12\r\n";
    text += "13\r\n";
    EXPECT_EXIT(RunBadWorld(text), testing::ExitedWithCode(1), "Run-time error '6':");
}

TEST(GameWorldErrors, AWorldLargerThanTheMemoryLeftIsRefusedBeforeItIsBuilt) {
    // 40000 wall cells, about 90 MB once built, with 48 MB of address space left to the run.
    std::vector<std::vector<int>> cells(200, std::vector<int>(200, 1));
    cells[0][0] = ModMain::kStartCell;
    const std::string world = WorldText(200, 200, 1, 1, cells);
    auto run = [&] {
        std::ifstream status("/proc/self/status");
        std::string key;
        unsigned long long kb = 0;
        while (status >> key && key != "VmSize:") status.ignore(1 << 12, '\n');
        status >> kb;
        const rlimit limit{(kb << 10) + (48ull << 20), RLIM_INFINITY};
        if (kb == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(5);
        ::setenv("QV_D3D8_THREADS", "0", 1);  // drawing threads would take the room for stacks
        RunBadWorld(world);
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(1), "Run-time error '7':\n\nOut of memory\n\n.*Test World\\.map: the world needs about");
}

TEST(GameWorldErrors, FloorTwelveShowsTheWeaponImageTextureAndRuns) {
    // Number 12 selects the unused entry, which holds slot 0: accepted, not an error.
    auto run = [] {
        PlayWorld(WorldText(1, 1, 12, 12, {{13}}), {WaitForMainLoop(), Do([] {
                 GAME_CHECK(ZemDx::Triangles[0].Texture == 0 && ZemDx::Triangles[3].Texture == 0);
             })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}

TEST(GameWorldErrors, VertexBuffersThatCannotBeMadeStopTheRunInsteadOfDrawingNothing) {
    // The fifth buffer cannot be made, as when memory runs out: without the buffers every frame
    // would fail and the view stay blank for good.
    auto run = [] {
        d3d8test::FailCall("CreateVertexBuffer", 5, 1, D3DERR_OUTOFVIDEOMEMORY);
        RunBadWorld(SmallWorld());
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(1),
                "Run-time error '7':\n\nOut of memory\n\n" + kWorldFile +
                    ": the vertex buffers of its 36 triangles could not be made\n");
}

TEST(GameImages, AWeaponImageThatCannotBeMadeStopsTheRunNamingTheFile) {
    auto run = [] {
        d3d8test::FailCall("CreateTextureFromFileEx");  // the first load: the weapon image
        RunBadWorld(SmallWorld());
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(1),
                "Run-time error '" + std::to_string(D3DERR_INVALIDCALL) +
                    "':\n\nCreateTextureFromFileEx failed\n\n/.*/Data/Textures/Phaser Type 3\\.bmp\n");
}

TEST(GameImages, WithoutADeviceTheRunGoesOnWithoutAPicture) {
    // The engine could not start: no texture can be made, and that is not put on the files.
    auto run = [] {
        d3d8test::FailCall("CreateDevice");
        PlayWorld(SmallWorld(), {WaitForMainLoop(), Do([] {
                      GAME_CHECK(!ZemDx::D3DDevice);
                      for (int i = 0; i < 11; ++i) GAME_CHECK(ModMain::WallTextures[i] == -1);
                      // The world is built; its buffers cannot be.
                      GAME_CHECK(ZemDx::TriangleCount == 36);
                      GAME_CHECK(ZemDx::TrianglesDirty == rt::True);
                  })});
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "script complete");
}
