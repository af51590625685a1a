#include "menu_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/menu_flags.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/runtime.h"

void MenuTest::SetUp() {
    rt::headless::Use();
    char pattern[] = "/tmp/quorvane-menus-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    std::filesystem::create_directories(folder_ + "/Data/Maps");
    std::filesystem::create_directories(folder_ + "/Data/Models/Players");
    WriteFile("Data/Maps/Castle.map", "1\n");
    WriteFile("Data/Maps/arena.MAP", "1\n");
    WriteFile("Data/Maps/maze.map", "1\n");
    WriteFile("Data/Maps/readme.txt", "not a world\n");
    WriteFile("Data/Models/Players/Scout.zemobj");
    WriteFile("Data/Models/Players/guard.zemobj");
    WriteFile("Data/Models/Players/skin.bmp");
    ModMain::ProgramFolderOverride = folder_;
}

void MenuTest::TearDown() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

void MenuTest::WriteFile(const std::string& relative, const std::string& text) {
    std::ofstream(folder_ + "/" + relative, std::ios::binary) << text;
}

void MenuTest::ClickOn(rt::Form& form, int32_t x, int32_t y, int16_t button) {
    rt::headless::Click(form, x, y, button);
    rt::DoEvents();
}

void MenuTest::PressAndMove(rt::Form& form, int32_t x, int32_t y, int32_t dx, int32_t dy,
                            int16_t button) {
    const int32_t sx = form.Left() + x, sy = form.Top() + y;
    rt::headless::MouseDown(sx, sy, button);
    rt::headless::MouseMove(sx + dx / 2, sy + dy / 2);
    rt::headless::MouseMove(sx + dx, sy + dy);
    rt::headless::MouseUp(sx + dx, sy + dy, button);
    rt::DoEvents();
}

frmMenu& MenuTest::StartMenu() {
    frmMenu& menu = rt::FormOf<frmMenu>();
    menu.Show();
    return menu;
}

std::vector<std::string> MenuTest::Items(const rt::ListControl& list) {
    std::vector<std::string> items;
    for (int32_t i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
    return items;
}
