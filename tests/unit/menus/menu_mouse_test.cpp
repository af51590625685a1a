// Presses on the shaped windows: the skin drags the window with any button, click zones and
// lists take their own presses, overlapping zones, and presses outside the outline.
#include "app/menu_flags.h"
#include "menu_fixture.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/runtime.h"

namespace {

struct Position {
    int32_t left, top;
    bool operator==(const Position&) const = default;
};

Position Where(const rt::Form& f) { return {f.Left(), f.Top()}; }

}  // namespace

TEST_F(MenuTest, ThePlainSkinDragsEachMenuWindowWithAnyButton) {
    frmMenu& menu = StartMenu();
    struct Case {
        rt::Form* form;
        int32_t x, y;  // a point of plain skin
    } cases[] = {
        {&menu, 150, 280},
        {&rt::FormOf<frmOptions>(), 60, 200},
        {&rt::FormOf<frmAbout>(), 60, 150},
        {&rt::FormOf<frmSelect>(), 60, 180},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form->Name());
        // One window at a time: the windows overlap on the screen.
        c.form->Show();
        int16_t buttons[] = {rt::vbLeftButton, rt::vbRightButton, rt::vbMiddleButton};
        for (int16_t button : buttons) {
            const Position before = Where(*c.form);
            PressAndMove(*c.form, c.x, c.y, 25, -12, button);
            EXPECT_EQ(Where(*c.form), (Position{before.left + 25, before.top - 12})) << button;
        }
        if (c.form != &menu) c.form->Hide();
    }
    EXPECT_TRUE(rt::headless::MessageBoxes().empty());
}

TEST_F(MenuTest, APressOnAClickZoneClicksAndDoesNotDrag) {
    frmMenu& menu = StartMenu();
    const Position before = Where(menu);
    PressAndMove(menu, 60, 40, 0, 0);  // Begin
    EXPECT_EQ(Where(menu), before);
    EXPECT_EQ(rt::headless::MessageBoxes().size(), 1u);
    // A press that moves off the zone drags nothing either.
    PressAndMove(menu, 60, 40, 30, 30);
    EXPECT_EQ(Where(menu), before);
}

TEST_F(MenuTest, PressesOnListsLabelsAndThePreviewDoNotDrag) {
    frmMenu& menu = StartMenu();
    menu.CmdOptions_Click();
    frmOptions& options = rt::FormOf<frmOptions>();
    frmSelect& select = rt::FormOf<frmSelect>();
    const Position optionsAt = Where(options);
    PressAndMove(options, 30, 40, 40, 40);   // FilePlayer
    PressAndMove(options, 200, 100, 40, 40); // picPlayer
    PressAndMove(options, 30, 120, 40, 40);  // lstResolution
    PressAndMove(options, 30, 20, 40, 40);   // Label3
    PressAndMove(options, 30, 100, 40, 40);  // Label1
    EXPECT_EQ(Where(options), optionsAt);
    EXPECT_TRUE(options.Visible());
    options.cmdAccept_Click();
    menu.cmdSelectWorld_Click();
    const Position selectAt = Where(select);
    PressAndMove(select, 40, 40, 40, 40);    // fileWorld: highlights the first name
    EXPECT_EQ(Where(select), selectAt);
    EXPECT_EQ(select.fileWorld.FileName(), "arena.MAP");
}

TEST_F(MenuTest, APressOutsideTheOutlineDoesNotReachTheWindow) {
    frmMenu& menu = StartMenu();
    const Position before = Where(menu);
    // The corners of the bounding box are background: outside the outline.
    EXPECT_EQ(rt::headless::WindowAt(menu.Left(), menu.Top()), nullptr);
    EXPECT_EQ(rt::headless::WindowAt(menu.Left() + 341, menu.Top() + 308), nullptr);
    EXPECT_EQ(rt::headless::WindowAt(menu.Left() + 150, menu.Top() + 280), &menu);
    PressAndMove(menu, 0, 0, 30, 30);
    PressAndMove(menu, 341, 308, -30, -30);
    EXPECT_EQ(Where(menu), before);
}

TEST_F(MenuTest, TheRowSharedByBeginAndOptionsGoesToOptions) {
    frmMenu& menu = StartMenu();
    menu.Move(800, 600);  // clear of the options window
    ClickOn(menu, 60, 72);
    EXPECT_TRUE(rt::FormOf<frmOptions>().Visible());
    EXPECT_TRUE(rt::headless::MessageBoxes().empty());
    // The rows on either side belong to one zone each.
    ClickOn(menu, 60, 71);
    EXPECT_EQ(rt::headless::MessageBoxes().size(), 1u);
}

TEST_F(MenuTest, TheRowSharedByAcceptAndCancelHidesTheOptions) {
    frmMenu& menu = StartMenu();
    menu.CmdOptions_Click();
    frmOptions& options = rt::FormOf<frmOptions>();
    ClickOn(options, 200, 280);
    EXPECT_FALSE(options.Visible());
    EXPECT_TRUE(options.Loaded());
}

TEST_F(MenuTest, AtTwelveTwipsPerPixelTheOutlineGrowsWithTheScreen) {
    // The outline is scaled by 15/12: the menu's bottom-right corner, background at 15 twips,
    // then lies inside the shape (the window itself keeps its size).
    rt::Screen.TwipsPerPixelX = 12.0f;
    rt::Screen.TwipsPerPixelY = 12.0f;
    frmMenu& menu = StartMenu();
    EXPECT_EQ(rt::headless::WindowAt(menu.Left() + 341, menu.Top() + 308), &menu);
    EXPECT_EQ(rt::headless::WindowAt(menu.Left(), menu.Top()), nullptr);
    EXPECT_EQ(menu.Width(), 342);
}
