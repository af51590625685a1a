// Begin with an accepted world starts a run inside the click, the menu windows stay usable
// between frames, and the menu's Exit ends the run and the program.
#include <cstdio>

#include "app/game_state.h"
#include "app/menu_flags.h"
#include "menu_fixture.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/runtime.h"

namespace {

void Require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "REQUIREMENT FAILED: %s\n", what);
    std::fflush(stderr);
    std::_Exit(3);
}

// A hidden helper window whose timer moves the clock and drives the program from inside the
// run's event pump, one step per tick.
class frmDriver : public rt::Form {
public:
    frmDriver() : rt::Form("frmDriver"), tick(*this, "tick", 1, true) {
        tick.OnTimer = [this] { Step(); };
    }
    rt::Timer tick;
    int step = 0;

    void Step() {
        rt::headless::AdvanceClock(50);
        if (step == 0 && !(ModMain::Running == rt::True && ModMain::FrameCount > 0)) return;
        frmMenu& menu = rt::FormOf<frmMenu>();
        frmWindowed& game = rt::FormOf<frmWindowed>();
        switch (step++) {
            case 0:
                Require(game.Loaded() && game.Visible(), "the game window is up");
                Require(menu.Loaded() && menu.Visible(), "the menu stays open during the run");
                // Begin again during the run starts nothing new: it returns at once.
                menu.cmdBegin_Click();
                Require(rt::headless::MessageBoxes().empty(), "no message during the run");
                // The other windows still work between frames.
                menu.cmdAbout_Click();
                Require(rt::FormOf<frmAbout>().Visible(), "the about window opens during the run");
                break;
            case 1:
                std::fprintf(stderr, "clicking Exit\n");
                rt::headless::Click(menu, 270, 270);
                break;
            default:
                // The Exit click has run: every window is gone, so the run ends after this pump.
                Require(!game.Loaded() && !menu.Loaded(), "Exit unloaded the windows");
                Require(step < 4, "the program went on after Exit");
        }
    }
};

}  // namespace

TEST_F(MenuTest, BeginWithAnAcceptedWorldRunsUntilExit) {
    WriteFile("Data/Maps/small.map", "3,3,1,1\r\n11,11,11\r\n11,13,11\r\n11,11,11\r\n");
    auto run = [this] {
        frmMenu& menu = StartMenu();
        menu.Move(800, 600);
        ClickOn(menu, 150, 70);  // Select Simulation
        frmSelect& select = rt::FormOf<frmSelect>();
        Require(select.fileWorld.ListCount() == 4, "the worlds are listed");
        select.fileWorld.ListIndex(3);
        Require(select.fileWorld.FileName() == "small.map", "the new world is highlighted");
        ClickOn(select, 180, 140);  // Accept
        Require(ModMain::WorldSelected == rt::True, "the world is accepted");

        frmDriver driver;
        rt::RegisterForm(driver);
        driver.Load();
        rt::headless::AdvanceClock(1);
        rt::headless::Click(menu, 60, 40);  // Begin
        rt::DoEvents();
        Require(false, "the Begin click returned");
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "clicking Exit");
}
