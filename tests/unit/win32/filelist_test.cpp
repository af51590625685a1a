// File and list boxes: the folder's matching names in case-insensitive order, the highlight by
// click and by keys, scrolling, the folder given in the program's path style, and bad folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/runtime/errors.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/win32.h"
#include "tests/unit/runtime/program_style.h"

namespace fs = std::filesystem;

namespace {

struct Picker : rt::Form {
    Picker() : Form("Picker") {
        ClientSize(253, 231);
        Move(0, 0);
        files.Pattern("*.map");
        files.BackColor(rt::RGB(255, 255, 128));
        files.Click = [this] { ++clicks; };
    }
    int clicks = 0;
    rt::FileListBox files{*this, "files", 24, 32, 145, 80};
};

class FileList : public ::testing::Test {
protected:
    void SetUp() override {
        rt::headless::Use();
        dir_ = fs::temp_directory_path() / ("qv_filelist_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "Data" / "Maps");
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Touch(const std::string& name) { std::ofstream(dir_ / "Data" / "Maps" / name) << "x"; }
    // The folder as the program writes it: backslashes, any case.
    std::string ProgramStyle() const { return rttest::ProgramStyle(dir_.string()) + "\\data\\MAPS\\"; }
    fs::path dir_;
};

TEST_F(FileList, ListsMatchingFilesInCaseInsensitiveOrder) {
    for (const char* n : {"zeta.map", "Alpha.MAP", "beta.map", "notes.txt", ".hidden.map", "map", "gamma.mapx"})
        Touch(n);
    fs::create_directories(dir_ / "Data" / "Maps" / "folder.map");
    auto& p = rt::FormOf<Picker>();
    p.Show();
    p.files.Path(ProgramStyle());
    ASSERT_EQ(p.files.ListCount(), 3);
    EXPECT_EQ(p.files.List(0), "Alpha.MAP");
    EXPECT_EQ(p.files.List(1), "beta.map");
    EXPECT_EQ(p.files.List(2), "zeta.map");
    EXPECT_EQ(p.files.ListIndex(), -1);
    EXPECT_EQ(p.files.FileName(), "");
    EXPECT_THROW(p.files.List(3), rt::RuntimeError);
    EXPECT_THROW(p.files.List(-1), rt::RuntimeError);
    // The folder reads back without its trailing separator, so folder & "\" & name is a path.
    EXPECT_EQ(p.files.Path().back(), 'S');
}

TEST_F(FileList, PatternChangeRereadsAndStarDotStarTakesAll) {
    Touch("a.map");
    Touch("b.txt");
    Touch("noext");
    auto& p = rt::FormOf<Picker>();
    p.files.Path(ProgramStyle());
    EXPECT_EQ(p.files.ListCount(), 1);
    p.files.Pattern("*.*");
    EXPECT_EQ(p.files.ListCount(), 3);
    p.files.Pattern("*.txt;*.MAP");
    EXPECT_EQ(p.files.ListCount(), 2);
    p.files.Pattern("?.map");
    EXPECT_EQ(p.files.ListCount(), 1);
    p.files.Pattern("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b");  // must not take forever
    EXPECT_EQ(p.files.ListCount(), 0);
    p.files.Pattern("N*T");
    EXPECT_EQ(p.files.ListCount(), 1);
}

TEST_F(FileList, MissingFolderRaisesPathNotFoundAndKeepsTheList) {
    Touch("a.map");
    auto& p = rt::FormOf<Picker>();
    p.files.Path(ProgramStyle());
    p.files.ListIndex(0);
    std::string before = p.files.Path();
    try {
        p.files.Path(ProgramStyle() + "nowhere\\");
        FAIL() << "no error";
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.Number(), rt::ErrPathNotFound);
    }
    EXPECT_EQ(p.files.Path(), before);
    EXPECT_EQ(p.files.FileName(), "a.map");
    // A file is not a folder either.
    EXPECT_THROW(p.files.Path(ProgramStyle() + "a.map"), rt::RuntimeError);
}

TEST_F(FileList, ClickHighlightsTheRowUnderThePointer) {
    for (const char* n : {"a.map", "b.map", "c.map"}) Touch(n);
    auto& p = rt::FormOf<Picker>();
    p.Show();
    p.files.Path(ProgramStyle());
    int rowH = (p.files.Height() - 4) / p.files.VisibleRows();
    rt::headless::Click(p, 24 + 20, 32 + 2 + rowH + rowH / 2);  // second row
    rt::DoEvents();
    EXPECT_EQ(p.files.ListIndex(), 1);
    EXPECT_EQ(p.files.FileName(), "b.map");
    EXPECT_EQ(p.clicks, 1);
    rt::headless::Click(p, 24 + 20, 32 + 2 + 2 * rowH + rowH / 2);
    rt::DoEvents();
    EXPECT_EQ(p.files.FileName(), "c.map");
    // Below the last name: nothing changes.
    rt::headless::Click(p, 24 + 20, 32 + 78);
    rt::DoEvents();
    EXPECT_EQ(p.files.FileName(), "c.map");
    EXPECT_EQ(p.clicks, 2);
}

TEST_F(FileList, UpDownMoveTheHighlightAndScrollKeepsItInView) {
    for (int i = 0; i < 20; ++i) Touch("w" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".map");
    auto& p = rt::FormOf<Picker>();
    p.Show();
    p.files.Path(ProgramStyle());
    int rows = p.files.VisibleRows();
    ASSERT_LT(rows, 20);
    rt::headless::KeyDown(p, rt::vbKeyDown);  // from no highlight to the first name
    rt::DoEvents();
    EXPECT_EQ(p.files.ListIndex(), 0);
    rt::headless::KeyDown(p, rt::vbKeyUp);  // stays on the first
    rt::DoEvents();
    EXPECT_EQ(p.files.ListIndex(), 0);
    rt::headless::KeyDown(p, rt::vbKeyDown, 25);  // auto-repeat past the end stops at the last
    rt::DoEvents();
    EXPECT_EQ(p.files.ListIndex(), 19);
    EXPECT_EQ(p.files.FileName(), "w19.map");
    EXPECT_EQ(p.files.TopIndex(), 20 - rows);
    rt::headless::KeyDown(p, rt::vbKeyHome);
    rt::DoEvents();
    EXPECT_EQ(p.files.TopIndex(), 0);
}

TEST_F(FileList, ListIndexOutOfRangeIsRefused) {
    Touch("a.map");
    auto& p = rt::FormOf<Picker>();
    p.files.Path(ProgramStyle());
    EXPECT_THROW(p.files.ListIndex(1), rt::RuntimeError);
    EXPECT_THROW(p.files.ListIndex(-2), rt::RuntimeError);
    EXPECT_EQ(p.files.ListIndex(), -1);
    p.files.ListIndex(0);
    p.files.ListIndex(-1);
    EXPECT_EQ(p.files.FileName(), "");
}

struct Options : rt::Form {
    Options() : Form("Options") { ClientSize(318, 320); }
    rt::ListBox res{*this, "res", 16, 112, 105, 47};
};

TEST(ListBox, ClearAddAndHighlight) {
    rt::headless::Use();
    auto& o = rt::FormOf<Options>();
    for (const char* s : {"Windowed", "640 x 480", "800 x 600"}) o.res.AddItem(s);
    o.res.ListIndex(2);
    o.res.Clear();
    EXPECT_EQ(o.res.ListCount(), 0);
    EXPECT_EQ(o.res.ListIndex(), -1);
    o.res.AddItem("Windowed");
    o.res.ListIndex(0);
    EXPECT_EQ(o.res.List(0), "Windowed");
    o.res.BackColor(rt::RGB(128, 255, 128));
    o.Show();
    auto px = rt::headless::WindowPixels(o);
    // Background of the list below its one row, inside the border.
    EXPECT_EQ(px[(112 + 44) * 318 + 16 + 50], 0xFF80FF80u);
}

}  // namespace

namespace {

TEST_F(FileList, ScrollBarClicksScrollByARowAndNamesAreDrawn) {
    for (int i = 0; i < 12; ++i) Touch("m" + std::to_string(10 + i) + ".map");
    auto& p = rt::FormOf<Picker>();
    p.Show();
    p.files.Path(ProgramStyle());
    ASSERT_GT(p.files.ListCount(), p.files.VisibleRows());
    // Lower half of the bar at the right edge: down a row; upper half: back up.
    int barX = 24 + 145 - 2 - 8;
    rt::headless::Click(p, barX, 32 + 70);
    rt::DoEvents();
    EXPECT_EQ(p.files.TopIndex(), 1);
    EXPECT_EQ(p.files.ListIndex(), -1);  // scrolling highlights nothing
    rt::headless::Click(p, barX, 32 + 5);
    rt::headless::Click(p, barX, 32 + 5);
    rt::DoEvents();
    EXPECT_EQ(p.files.TopIndex(), 0);  // not above the first row
    // The first row carries text: some of its pixels differ from the list's background.
    auto px = rt::headless::WindowPixels(p);
    int inked = 0;
    for (int y = 32 + 2; y < 32 + 14; ++y)
        for (int x = 24 + 3; x < 24 + 60; ++x) inked += px[y * 253 + x] != 0xFFFFFF80u;
    EXPECT_GT(inked, 10);
}

}  // namespace
