// Program-wide services: message boxes, the error box and exit status of an error nothing traps,
// End, the cursor counter, the tick count, opening web addresses, frames shown in picture boxes,
// and the key codes of the real display.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <SDL.h>

#include "platform/runtime/errors.h"
#include "platform/win32/headless/headless.h"
#include "platform/win32/internals.h"
#include "platform/win32/sdl/keymap.h"
#include "platform/win32/win32.h"
#include "tests/unit/runtime/bounded_process.h"

namespace {

struct Game : rt::Form {
    Game() : Form("Game") {
        ClientSize(500, 370);
        Move(0, 0);
        pic.BackColor(rt::RGB(128, 255, 255));
        zone.Click = [] { rt::Raise(rt::ErrFileNotFound); };
        quit.Click = [] { rt::End(); };
    }
    void Form_Unload(int16_t&) override { std::fputs("unload handler ran\n", stderr); }
    rt::PictureBox pic{*this, "pic", 48, 34, 402, 302};
    rt::Label zone{*this, "zone", 0, 0, 20, 20};
    rt::Label quit{*this, "quit", 0, 340, 20, 20};
};

class Runtime : public ::testing::Test {
protected:
    void SetUp() override { rt::headless::Use(); }
};

TEST_F(Runtime, MessageBoxIsRecordedAndAnswered) {
    EXPECT_EQ(rt::MsgBox("You must first select a simulation.", rt::vbExclamation, "Error! Direction unclear."),
              rt::vbOK);
    rt::headless::QueueAnswer(rt::vbNo);
    EXPECT_EQ(rt::MsgBox("Really?", rt::vbYesNo), rt::vbNo);
    EXPECT_EQ(rt::MsgBox("Again?", rt::vbYesNoCancel), rt::vbYes);  // first button by default
    const auto& boxes = rt::headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "You must first select a simulation.");
    EXPECT_EQ(boxes[0].title, "Error! Direction unclear.");
    EXPECT_EQ(boxes[0].buttons, rt::vbExclamation);
    EXPECT_EQ(boxes[1].title, "Quorvane");  // no title: the program's
}

TEST_F(Runtime, UntrappedErrorShowsTheErrorBoxAndEndsWithStatusOne) {
    EXPECT_EXIT(
        {
            auto& g = rt::FormOf<Game>();
            g.Show();
            rt::headless::Click(g, 5, 5);
            rt::DoEvents();
        },
        ::testing::ExitedWithCode(1), "Run-time error '53':\n\nFile not found");
}

TEST_F(Runtime, UntrappedErrorInTheFirstWindowsLoadEndsTheProgram) {
    struct Broken : rt::Form {
        Broken() : Form("Broken") {}
        void Form_Load() override { rt::Raise(rt::ErrPathNotFound); }
    };
    EXPECT_EXIT(rt::RunProgram([] { rt::FormOf<Broken>().Show(); }), ::testing::ExitedWithCode(1),
                "Run-time error '76':\n\nPath not found");
}

TEST_F(Runtime, EndStopsAtOnceWithoutUnloadHandlers) {
    EXPECT_EXIT(
        {
            auto& g = rt::FormOf<Game>();
            g.Show();
            rt::headless::Click(g, 5, 345);
            rt::DoEvents();
            std::fputs("still running\n", stderr);
            std::exit(7);
        },
        ::testing::ExitedWithCode(0), "^$");
}

TEST_F(Runtime, ShowCursorCountsDisplays) {
    EXPECT_TRUE(rt::headless::CursorVisible());
    EXPECT_EQ(ShowCursor(0), -1);
    EXPECT_FALSE(rt::headless::CursorVisible());
    EXPECT_EQ(ShowCursor(0), -2);
    EXPECT_EQ(ShowCursor(1), -1);
    EXPECT_FALSE(rt::headless::CursorVisible());  // still below zero
    EXPECT_EQ(ShowCursor(1), 0);
    EXPECT_TRUE(rt::headless::CursorVisible());
    EXPECT_EQ(ShowCursor(5), 1);  // any non-zero value shows
}

TEST_F(Runtime, TickCountFollowsTheClockAndWraps) {
    rt::headless::SetClock(0xFFFFFFF0u);
    uint32_t a = GetTickCount();
    rt::headless::AdvanceClock(0x20);
    uint32_t b = GetTickCount();
    EXPECT_EQ(a, 0xFFFFFFF0u);
    EXPECT_EQ(b, 0x10u);
    EXPECT_EQ(b - a, 0x20u);  // differences stay right across the wrap
}

TEST_F(Runtime, ShellExecuteOpensTheAddress) {
    EXPECT_GT(ShellExecuteA(0, nullptr, "https://example.org/author", nullptr, "C:\\", SW_SHOWNORMAL), 32);
    EXPECT_LE(ShellExecuteA(0, nullptr, "", nullptr, nullptr, SW_SHOWNORMAL), 32);
    ASSERT_EQ(rt::headless::OpenedDocuments().size(), 1u);
    EXPECT_EQ(rt::headless::OpenedDocuments()[0], "https://example.org/author");
}

TEST_F(Runtime, PresentedFrameIsScaledIntoThePictureBox) {
    auto& g = rt::FormOf<Game>();
    g.Show();
    auto before = rt::headless::WindowPixels(g);
    EXPECT_EQ(before[100 * 500 + 100], 0xFF80FFFFu);  // the box's background
    // A 640 x 480 frame: left half red, right half blue.
    std::vector<uint32_t> frame(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) frame[y * 640 + x] = x < 320 ? 0xFFFF0000u : 0xFF0000FFu;
    rt::PresentToWindow(g.pic.hWnd(), frame.data(), 640, 480);
    auto px = rt::headless::WindowPixels(g);
    EXPECT_EQ(px[100 * 500 + 48], 0xFFFF0000u);        // left edge of the box
    EXPECT_EQ(px[100 * 500 + 48 + 200], 0xFFFF0000u);  // covers frame columns 318.4 to 320
    EXPECT_EQ(px[100 * 500 + 48 + 201], 0xFF0000FFu);  // covers 320 to 321.6
    EXPECT_EQ(px[100 * 500 + 48 + 401], 0xFF0000FFu);
    EXPECT_EQ(px[100 * 500 + 47], before[100 * 500 + 47]);  // outside the box untouched
    EXPECT_EQ(px[(34 + 302) * 500 + 100], before[(34 + 302) * 500 + 100]);
    rt::PresentToWindow(0x7777, frame.data(), 640, 480);  // unknown handle: ignored
}

// A frame shown in a picture box repaints the box alone when nothing else in the window has
// changed; whichever way it goes, the window then holds what a whole repaint gives: the shape
// still cuts the box, a control painted after the box stays on top of it, and a change waiting
// elsewhere in the window is shown as well.
TEST_F(Runtime, AFrameInThePictureBoxLeavesTheWindowAsAWholeRepaintWould) {
    struct Shaped : rt::Form {
        Shaped() : Form("Shaped") {
            ClientSize(200, 150);
            Move(0, 0);
            cover.BackColor(rt::RGB(0, 128, 0));
        }
        rt::PictureBox pic{*this, "pic", 10, 10, 120, 100};
        rt::PictureBox cover{*this, "cover", 100, 20, 60, 20};  // painted after pic, over its edge
    };
    auto& f = rt::FormOf<Shaped>();
    f.cover.Visible(false);
    f.Show();
    const POINTAPI corners[] = {{0, 0}, {200, 0}, {40, 150}};  // cuts across the box
    SetWindowRgn(f.hWnd(), CreatePolygonRgn(corners, 3, ALTERNATE), 1);
    rt::detail::Repaint(f, true);
    std::vector<uint32_t> frame(640 * 480);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    auto showAndCompare = [&](const char* what) {
        rt::PresentToWindow(f.pic.hWnd(), frame.data(), 640, 480);
        const auto shown = rt::headless::WindowPixels(f);
        rt::detail::Repaint(f, true);
        EXPECT_EQ(shown, rt::headless::WindowPixels(f)) << what;
        for (uint32_t& px : frame) px = ~px | 0xFF000000u;  // another picture for the next show
    };
    showAndCompare("the box alone");
    EXPECT_EQ(rt::headless::WindowPixels(f)[100 * 200 + 199], 0u);  // outside the shape: cleared
    f.cover.Visible(true);
    rt::detail::Repaint(f, true);
    showAndCompare("a control painted over the box");
    f.cover.Visible(false);
    rt::detail::Repaint(f, true);
    f.BackColor(rt::RGB(255, 0, 255));
    showAndCompare("a change waiting elsewhere");
    EXPECT_EQ(rt::headless::WindowPixels(f)[140 * 200 + 45], 0xFFFF00FFu);
}

// A frame presented to the window itself covers all of it, controls included, and is kept only
// inside the window's shape; a frame of the window's size is shown as it is, made opaque.
TEST_F(Runtime, AFrameInTheWindowCoversItInsideItsShape) {
    struct Whole : rt::Form {
        Whole() : Form("Whole") {
            ClientSize(200, 150);
            Move(0, 0);
        }
        rt::PictureBox pic{*this, "pic", 10, 10, 120, 100};
    };
    auto& f = rt::FormOf<Whole>();
    f.Show();
    SetWindowRgn(f.hWnd(), CreateRectRgn(20, 10, 180, 140), 1);
    std::vector<uint32_t> frame(200 * 150);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint32_t>(i * 2654435761u >> 8);
    rt::PresentToWindow(f.hWnd(), frame.data(), 200, 150);
    const auto px = rt::headless::WindowPixels(f);
    ASSERT_EQ(px.size(), frame.size());
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            const size_t i = static_cast<size_t>(y) * 200 + x;
            const bool inside = x >= 20 && x < 180 && y >= 10 && y < 140;
            ASSERT_EQ(px[i], inside ? frame[i] | 0xFF000000u : 0u) << x << "," << y;
        }
}

TEST_F(Runtime, ScreenIsNinetySixDotsPerInch) {
    EXPECT_EQ(rt::Screen.TwipsPerPixelX, 15.0f);
    EXPECT_EQ(rt::Screen.TwipsPerPixelY, 15.0f);
    EXPECT_FALSE(rt::App.Path().empty());
}

TEST(KeyMap, DisplayKeysGiveVirtualKeyCodes) {
    using rt::detail::VirtualKeyFromSdl;
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), 37);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UP), 38);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RIGHT), 39);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), 40);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LSHIFT), 16);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RSHIFT), 16);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), 27);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_END), 35);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), 65);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), 90);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_5), 53);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), 123);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_0), 96);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_9), 105);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UNKNOWN), 0);
}

}  // namespace

namespace {

TEST(Pictures, BadOrMissingPicturesRaiseClearErrors) {
    const unsigned char junk[] = {'B', 'M', 1, 2, 3};
    try {
        rt::LoadPictureFromMemory(junk, sizeof junk);
        FAIL() << "no error";
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.Number(), rt::ErrInvalidPicture);
    }
    EXPECT_THROW(rt::LoadPictureFromMemory(nullptr, 0), rt::RuntimeError);
    try {
        rt::LoadPicture("\\no\\such\\folder\\skin.bmp");
        FAIL() << "no error";
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.Number(), rt::ErrFileNotFound);
    }
    // Neither a device nor a FIFO is read: either would block or never end.
    BoundThisTestProcess();
    char dir[] = "/tmp/qv_picture_XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string fifo = std::string(dir) + "/skin.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("\\dev\\zero")}) {
        try {
            rt::LoadPicture(path);
            ADD_FAILURE() << path << ": no error";
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.Number(), rt::ErrFileNotFound) << path;
        }
    }
    ::unlink(fifo.c_str());
    ::rmdir(dir);
}

TEST(Pictures, TwentyFourBitBitmapDecodes) {
    // 2 x 2, bottom-up rows padded to 4 bytes: blue, green / red, white.
    std::vector<unsigned char> bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                      40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                                      16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      255, 0, 0, 0, 255, 0, 0, 0,            // bottom row: blue, green
                                      0, 0, 255, 255, 255, 255, 0, 0};       // top row: red, white
    rt::StdPicture p = rt::LoadPictureFromMemory(bmp.data(), bmp.size());
    ASSERT_EQ(p.Width, 2);
    ASSERT_EQ(p.Height, 2);
    EXPECT_EQ(p.Pixels[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(p.Pixels[1] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(p.Pixels[2] & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(p.Pixels[3] & 0xFFFFFF, 0x00FF00u);
}

}  // namespace
