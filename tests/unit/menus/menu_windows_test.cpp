// Window data that the behaviour depends on, the about window's web page, and the system's close
// command on each window.
#include "app/menu_flags.h"
#include "menu_fixture.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/runtime.h"

namespace {

struct Rect {
    std::string name;
    int32_t left, top, width, height;
    bool operator==(const Rect&) const = default;
};

std::vector<Rect> ControlRects(const rt::Form& f) {
    std::vector<Rect> rects;
    for (const rt::Control* c : f.Controls())
        rects.push_back({c->Name(), c->Left(), c->Top(), c->Width(), c->Height()});
    return rects;
}

}  // namespace

TEST_F(MenuTest, ControlsLieWhereTheSkinsPaintTheirButtonsInCreationOrder) {
    // The creation order decides which of two overlapping zones takes a press.
    EXPECT_EQ(ControlRects(rt::FormOf<frmMenu>()),
              (std::vector<Rect>{{"cmdAbout", 288, 200, 41, 41},
                                 {"cmdSelectWorld", 112, 32, 73, 81},
                                 {"cmdBegin", 24, 16, 81, 57},
                                 {"cmdExit", 224, 248, 97, 49},
                                 {"CmdOptions", 24, 72, 81, 57}}));
    EXPECT_EQ(ControlRects(rt::FormOf<frmOptions>()),
              (std::vector<Rect>{{"FilePlayer", 16, 32, 105, 67},
                                 {"picPlayer", 128, 48, 137, 209},
                                 {"lstResolution", 16, 112, 105, 47},
                                 {"Label3", 16, 16, 105, 17},
                                 {"Label1", 16, 96, 105, 17},
                                 {"cmdCancel", 128, 280, 129, 25},
                                 {"cmdAccept", 112, 264, 161, 17}}));
    EXPECT_EQ(ControlRects(rt::FormOf<frmAbout>()),
              (std::vector<Rect>{{"cmdWebsite", 232, 152, 129, 17}, {"cmdOk", 192, 168, 33, 25}}));
    EXPECT_EQ(ControlRects(rt::FormOf<frmSelect>()),
              (std::vector<Rect>{{"fileWorld", 24, 32, 145, 80},
                                 {"cmdAccept", 136, 120, 97, 41},
                                 {"cmdCancel", 144, 176, 73, 49}}));
    EXPECT_TRUE(rt::FormOf<frmGame>().Controls().empty());
}

TEST_F(MenuTest, ShapedWindowsHaveNoBorderAndCarryTheirSkins) {
    struct Case {
        rt::Form* form;
        const char* caption;
        int32_t width, height, skinWidth, skinHeight;
    } cases[] = {
        {&rt::FormOf<frmMenu>(), "Quorvane", 342, 309, 342, 309},
        {&rt::FormOf<frmOptions>(), "Quorvane -- Options", 318, 320, 320, 320},
        {&rt::FormOf<frmAbout>(), "Quorvane -- About", 371, 207, 371, 207},
        {&rt::FormOf<frmSelect>(), "Quorvane -- Select Simulation", 253, 231, 254, 232},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(c.form->Caption(), c.caption);
        EXPECT_EQ(c.form->Width(), c.width);
        EXPECT_EQ(c.form->Height(), c.height);
        EXPECT_EQ(c.form->BorderStyle(), rt::vbBSNone);
        EXPECT_EQ(c.form->Picture().Width, c.skinWidth);
        EXPECT_EQ(c.form->Picture().Height, c.skinHeight);
    }
    frmGame& game = rt::FormOf<frmGame>();
    EXPECT_EQ(game.Caption(), "Quorvane -- Full Screen");
    EXPECT_EQ(game.Width(), 300);
    EXPECT_EQ(game.Height(), 200);
    EXPECT_EQ(game.StartUpPosition(), rt::StartPosition::WindowsDefault);
    EXPECT_TRUE(game.Picture().Empty());
}

TEST_F(MenuTest, TheResolutionListAsDesignedIsReplacedBeforeItIsSeen) {
    frmOptions& options = rt::FormOf<frmOptions>();
    EXPECT_EQ(options.lstResolution.ListCount(), 7);
    EXPECT_EQ(options.lstResolution.List(6), "2048 x 1536 !!!!");
    StartMenu().CmdOptions_Click();
    EXPECT_EQ(Items(options.lstResolution), std::vector<std::string>{"Windowed"});
    EXPECT_EQ(options.lstResolution.ListIndex(), 0);
    EXPECT_EQ(options.lstResolution.Font().Name, "Comic Sans MS");
    EXPECT_EQ(options.Label1.Caption(), "Resolution :");
    EXPECT_EQ(options.Label3.Caption(), "Player:");
}

TEST_F(MenuTest, TheWebAddressOpensInTheBrowserAndTheAboutWindowStays) {
    frmMenu& menu = StartMenu();
    menu.cmdAbout_Click();
    frmAbout& about = rt::FormOf<frmAbout>();
    ClickOn(about, 290, 160);
    ASSERT_EQ(rt::headless::OpenedDocuments().size(), 1u);
    EXPECT_EQ(rt::headless::OpenedDocuments()[0], "https://quorvane.example.org/");
    EXPECT_TRUE(about.Visible());
    EXPECT_TRUE(rt::headless::MessageBoxes().empty());
}

TEST_F(MenuTest, TheCloseCommandHidesAMenuChildWithItsState) {
    frmMenu& menu = StartMenu();
    menu.cmdSelectWorld_Click();
    menu.CmdOptions_Click();
    menu.cmdAbout_Click();
    frmSelect& select = rt::FormOf<frmSelect>();
    select.fileWorld.ListIndex(1);
    for (rt::Form* f : std::initializer_list<rt::Form*>{&select, &rt::FormOf<frmOptions>(),
                                                        &rt::FormOf<frmAbout>()}) {
        rt::headless::Close(*f);
        rt::DoEvents();
        EXPECT_TRUE(f->Loaded()) << f->Name();
        EXPECT_FALSE(f->Visible()) << f->Name();
    }
    // Closing is no acceptance, and the selection window comes back as it was.
    EXPECT_EQ(ModMain::WorldSelected, rt::False);
    menu.cmdSelectWorld_Click();
    EXPECT_EQ(select.fileWorld.FileName(), "Castle.map");
    EXPECT_EQ(select.fileWorld.ListCount(), 3);
}

TEST_F(MenuTest, TheCloseCommandOnTheMenuExits) {
    frmMenu& menu = StartMenu();
    menu.cmdSelectWorld_Click();
    rt::FormOf<frmSelect>().cmdCancel_Click();  // hidden: it must not keep the program alive
    rt::headless::Close(menu);
    rt::DoEvents();
    EXPECT_FALSE(menu.Loaded());
    EXPECT_FALSE(rt::FormOf<frmSelect>().Loaded());
    EXPECT_TRUE(rt::ProgramFinished());
}
