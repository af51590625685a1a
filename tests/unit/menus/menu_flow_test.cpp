// The menu flow: which windows are loaded, shown, hidden and unloaded after each click, the
// Begin check, the world selection and Exit.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/menu_flags.h"
#include "menu_fixture.h"
#include "platform/runtime/errors.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/runtime.h"

namespace {

// Client points inside each click zone.
constexpr int32_t kBeginX = 60, kBeginY = 40;
constexpr int32_t kOptionsX = 60, kOptionsY = 100;
constexpr int32_t kSelectX = 150, kSelectY = 70;
constexpr int32_t kAboutX = 308, kAboutY = 220;
constexpr int32_t kExitX = 270, kExitY = 270;

enum class State { NotLoaded, Shown, Hidden };

State StateOf(const rt::Form& f) {
    if (!f.Loaded()) return State::NotLoaded;
    return f.Visible() ? State::Shown : State::Hidden;
}

}  // namespace

TEST_F(MenuTest, StartUpShowsTheMenuCentredAndSetsWindowedMode) {
    EXPECT_EQ(ModMain::WindowedMode, rt::False);
    frmMenu& menu = StartMenu();
    EXPECT_EQ(StateOf(menu), State::Shown);
    EXPECT_EQ(ModMain::WindowedMode, rt::True);
    EXPECT_EQ(ModMain::WorldSelected, rt::False);
    EXPECT_EQ(menu.Left(), (rt::Screen.WidthPixels() - 342) / 2);
    EXPECT_EQ(menu.Top(), (rt::Screen.HeightPixels() - 309) / 2);
    EXPECT_NE(menu.hFormRegion, 0);
    for (rt::Form* f : std::initializer_list<rt::Form*>{
             &rt::FormOf<frmOptions>(), &rt::FormOf<frmSelect>(), &rt::FormOf<frmAbout>(),
             &rt::FormOf<frmWindowed>(), &rt::FormOf<frmGame>()})
        EXPECT_EQ(StateOf(*f), State::NotLoaded) << f->Name();
}

TEST_F(MenuTest, EachHotSpotShowsItsWindowAtItsPositionBesideTheMenu) {
    frmMenu& menu = StartMenu();
    menu.Move(10, 20);  // the windows come up at their places wherever the menu is
    struct Case {
        int32_t x, y;
        rt::Form* window;
        int32_t left, top;
    } cases[] = {
        {kOptionsX, kOptionsY, &rt::FormOf<frmOptions>(), 353, 227},
        {kSelectX, kSelectY, &rt::FormOf<frmSelect>(), 385, 268},
        {kAboutX, kAboutY, &rt::FormOf<frmAbout>(), 326, 280},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window->Name());
        ClickOn(menu, c.x, c.y);
        EXPECT_EQ(StateOf(*c.window), State::Shown);
        EXPECT_EQ(c.window->Left(), c.left);
        EXPECT_EQ(c.window->Top(), c.top);
        EXPECT_EQ(StateOf(menu), State::Shown);
    }
    // All three and the menu are open together.
    EXPECT_EQ(StateOf(rt::FormOf<frmOptions>()), State::Shown);
    EXPECT_EQ(StateOf(rt::FormOf<frmSelect>()), State::Shown);
    EXPECT_EQ(rt::headless::MessageBoxes().size(), 0u);
}

TEST_F(MenuTest, WindowsComeUpAlreadyShapedAndFilled) {
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);  // clear of the other windows, which overlap each other
    ClickOn(menu, kOptionsX, kOptionsY);
    ClickOn(menu, kSelectX, kSelectY);
    ClickOn(menu, kAboutX, kAboutY);
    frmOptions& options = rt::FormOf<frmOptions>();
    frmSelect& select = rt::FormOf<frmSelect>();
    EXPECT_NE(options.hFormRegion, 0);
    EXPECT_NE(select.hFormRegion, 0);
    EXPECT_NE(rt::FormOf<frmAbout>().hFormRegion, 0);
    EXPECT_EQ(Items(options.lstResolution), std::vector<std::string>{"Windowed"});
    EXPECT_EQ(options.lstResolution.ListIndex(), 0);
    EXPECT_EQ(Items(options.FilePlayer), (std::vector<std::string>{"guard.zemobj", "Scout.zemobj"}));
    EXPECT_EQ(options.FilePlayer.Path(), folder_ + "\\Data\\Models\\Players");
    EXPECT_EQ(Items(select.fileWorld),
              (std::vector<std::string>{"arena.MAP", "Castle.map", "maze.map"}));
    EXPECT_EQ(select.fileWorld.Path(), folder_ + "\\Data\\Maps");
    EXPECT_EQ(select.fileWorld.FileName(), "");
}

TEST_F(MenuTest, ClickingAHotSpotAgainRunsNoSecondLoad) {
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);  // clear of the other windows, which overlap each other
    ClickOn(menu, kOptionsX, kOptionsY);
    frmOptions& options = rt::FormOf<frmOptions>();
    // A load would empty the list again.
    options.lstResolution.AddItem("marker");
    ClickOn(menu, kOptionsX, kOptionsY);
    EXPECT_EQ(options.lstResolution.ListCount(), 2);
    // Nor after hiding and showing again.
    options.cmdCancel_Click();
    EXPECT_EQ(StateOf(options), State::Hidden);
    ClickOn(menu, kOptionsX, kOptionsY);
    EXPECT_EQ(StateOf(options), State::Shown);
    EXPECT_EQ(options.lstResolution.ListCount(), 2);
}

TEST_F(MenuTest, AcceptCancelAndOkOnlyHideTheirWindows) {
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);  // clear of the other windows, which overlap each other
    frmOptions& options = rt::FormOf<frmOptions>();
    frmSelect& select = rt::FormOf<frmSelect>();
    frmAbout& about = rt::FormOf<frmAbout>();

    ClickOn(menu, kOptionsX, kOptionsY);
    ClickOn(options, 190, 270);  // Accept
    EXPECT_EQ(StateOf(options), State::Hidden);
    ClickOn(menu, kOptionsX, kOptionsY);
    ClickOn(options, 190, 295);  // Cancel
    EXPECT_EQ(StateOf(options), State::Hidden);
    EXPECT_EQ(Items(options.lstResolution), std::vector<std::string>{"Windowed"});
    EXPECT_EQ(options.lstResolution.ListIndex(), 0);

    ClickOn(menu, kSelectX, kSelectY);
    ClickOn(select, 180, 200);  // Cancel
    EXPECT_EQ(StateOf(select), State::Hidden);
    EXPECT_EQ(ModMain::WorldSelected, rt::False);
    ClickOn(menu, kSelectX, kSelectY);
    ClickOn(select, 180, 140);  // Accept
    EXPECT_EQ(StateOf(select), State::Hidden);
    EXPECT_EQ(ModMain::WorldSelected, rt::True);

    ClickOn(menu, kAboutX, kAboutY);
    ClickOn(about, 208, 180);  // Ok
    EXPECT_EQ(StateOf(about), State::Hidden);
    EXPECT_EQ(StateOf(menu), State::Shown);
}

TEST_F(MenuTest, BeginWithoutAnAcceptedWorldShowsTheMessageOnly) {
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);  // clear of the other windows, which overlap each other
    ClickOn(menu, kBeginX, kBeginY);
    ASSERT_EQ(rt::headless::MessageBoxes().size(), 1u);
    const auto& box = rt::headless::MessageBoxes()[0];
    EXPECT_EQ(box.text, "You must first select a simulation.");
    EXPECT_EQ(box.title, "Error! Direction unclear.");
    EXPECT_EQ(box.buttons, rt::vbExclamation);
    EXPECT_EQ(StateOf(rt::FormOf<frmWindowed>()), State::NotLoaded);
    EXPECT_EQ(StateOf(menu), State::Shown);

    // A highlight and a Cancel are no acceptance; Begin keeps answering with the message.
    ClickOn(menu, kSelectX, kSelectY);
    rt::FormOf<frmSelect>().fileWorld.ListIndex(1);
    rt::FormOf<frmSelect>().cmdCancel_Click();
    ClickOn(menu, kBeginX, kBeginY);
    EXPECT_EQ(rt::headless::MessageBoxes().size(), 2u);
    EXPECT_EQ(StateOf(rt::FormOf<frmWindowed>()), State::NotLoaded);
}

TEST_F(MenuTest, BeginTestsTheFlagsAgainstTrue) {
    frmMenu& menu = StartMenu();
    // A flag holding 1 is not True for these tests.
    ModMain::WorldSelected = 1;
    menu.cmdBegin_Click();
    EXPECT_EQ(rt::headless::MessageBoxes().size(), 1u);
    ModMain::WorldSelected = rt::True;
    ModMain::WindowedMode = 1;
    menu.cmdBegin_Click();
    EXPECT_EQ(rt::headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(StateOf(rt::FormOf<frmWindowed>()), State::NotLoaded);
}

TEST_F(MenuTest, AcceptWithoutAHighlightSelectsButBeginRunsNothing) {
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);  // clear of the other windows, which overlap each other
    ClickOn(menu, kSelectX, kSelectY);
    frmSelect& select = rt::FormOf<frmSelect>();
    ASSERT_EQ(select.fileWorld.ListIndex(), -1);
    select.cmdAccept_Click();
    EXPECT_EQ(ModMain::WorldSelected, rt::True);
    EXPECT_EQ(select.fileWorld.FileName(), "");
    EXPECT_EQ(StateOf(select), State::Hidden);
    // With no name highlighted there is no world to run: Begin answers with the message.
    ClickOn(menu, kBeginX, kBeginY);
    ASSERT_EQ(rt::headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(rt::headless::MessageBoxes()[0].text, "You must first select a simulation.");
    EXPECT_EQ(rt::headless::MessageBoxes()[0].title, "Error! Direction unclear.");
    EXPECT_EQ(StateOf(rt::FormOf<frmWindowed>()), State::NotLoaded);
    EXPECT_EQ(ModMain::WorldSelected, rt::True);
}

TEST_F(MenuTest, CancelAfterAcceptKeepsTheFlagAndTheNewHighlight) {
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);  // clear of the other windows, which overlap each other
    ClickOn(menu, kSelectX, kSelectY);
    frmSelect& select = rt::FormOf<frmSelect>();
    select.fileWorld.ListIndex(0);
    select.cmdAccept_Click();
    ClickOn(menu, kSelectX, kSelectY);
    EXPECT_EQ(select.fileWorld.FileName(), "arena.MAP");  // shown again as it was
    select.fileWorld.ListIndex(2);
    select.cmdCancel_Click();
    EXPECT_EQ(ModMain::WorldSelected, rt::True);
    EXPECT_EQ(select.fileWorld.FileName(), "maze.map");
}

TEST_F(MenuTest, TheWorldFolderIsReadOnlyAtTheFirstShowing) {
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);  // clear of the other windows, which overlap each other
    ClickOn(menu, kSelectX, kSelectY);
    frmSelect& select = rt::FormOf<frmSelect>();
    select.cmdCancel_Click();
    WriteFile("Data/Maps/added.map", "1\n");
    ClickOn(menu, kSelectX, kSelectY);
    EXPECT_EQ(Items(select.fileWorld),
              (std::vector<std::string>{"arena.MAP", "Castle.map", "maze.map"}));
}

TEST_F(MenuTest, AMissingDataFolderEndsTheProgramWithTheErrorBox) {
    std::filesystem::remove_all(folder_ + "/Data/Maps");
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);
    rt::headless::Click(menu, kSelectX, kSelectY);
    // The box's first lines as ever, then the folder it is about, as the system names it.
    EXPECT_EXIT(rt::DoEvents(), ::testing::ExitedWithCode(1),
                "Run-time error '76':\n\nPath not found\n\n/tmp/quorvane-menus-[^/]*/Data/Maps/\n");
}

TEST_F(MenuTest, AnUnreadableDataFolderSaysPermissionDenied) {
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::chmod((folder_ + "/Data/Models/Players").c_str(), 0), 0);
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);
    rt::headless::Click(menu, kOptionsX, kOptionsY);
    EXPECT_EXIT(
        {
            // The superuser reads any folder: the check runs as a user without that right.
            if (::geteuid() == 0 && ::setuid(65534) != 0) std::_Exit(5);
            rt::DoEvents();
        },
        ::testing::ExitedWithCode(1), "Run-time error '70':\n\nPermission denied\n\n/.*/Data/Models/Players\n");
    ::chmod((folder_ + "/Data/Models/Players").c_str(), 0755);
}

TEST_F(MenuTest, ExitWithOnlyTheMenuEndsTheProgram) {
    frmMenu& menu = StartMenu();
    ClickOn(menu, kExitX, kExitY);
    EXPECT_EQ(StateOf(menu), State::NotLoaded);
    // Windows never loaded are not loaded for the exit.
    for (rt::Form* f : std::initializer_list<rt::Form*>{
             &rt::FormOf<frmOptions>(), &rt::FormOf<frmSelect>(), &rt::FormOf<frmAbout>(),
             &rt::FormOf<frmWindowed>(), &rt::FormOf<frmGame>()})
        EXPECT_EQ(StateOf(*f), State::NotLoaded) << f->Name();
    EXPECT_TRUE(rt::ProgramFinished());
}

TEST_F(MenuTest, ExitClosesShownAndHiddenWindows) {
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);  // clear of the other windows, which overlap each other
    ClickOn(menu, kOptionsX, kOptionsY);
    ClickOn(menu, kSelectX, kSelectY);
    ClickOn(menu, kAboutX, kAboutY);
    rt::FormOf<frmSelect>().cmdCancel_Click();
    rt::FormOf<frmAbout>().cmdOk_Click();
    ClickOn(menu, kExitX, kExitY);
    for (rt::Form* f : std::initializer_list<rt::Form*>{
             &menu, &rt::FormOf<frmOptions>(), &rt::FormOf<frmSelect>(), &rt::FormOf<frmAbout>(),
             &rt::FormOf<frmWindowed>(), &rt::FormOf<frmGame>()})
        EXPECT_EQ(StateOf(*f), State::NotLoaded) << f->Name();
    EXPECT_TRUE(rt::ProgramFinished());
}
