// The window run time on a real X server: the demo program's shaped window, its click zone, file
// list, timer, drag by the surface and Escape; what it says without a display; a standard error
// nobody reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "tests/e2e/harness.h"

namespace fs = std::filesystem;

namespace {

class RuntimeDemo : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("qv_demo_maps_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        for (const char* n : {"b.map", "A.map", "c.txt"}) std::ofstream(folder_ / n) << "x";
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

TEST_F(RuntimeDemo, ShapeClickFileListTimerDragAndEscape) {
    e2e::Session s;
    if (!s.Ready()) GTEST_FAIL() << s.Why();
    auto& app = s.Start({QV_DEMO_PROGRAM, folder_.string()});
    unsigned long w = s.WaitForWindow("Runtime Demo");
    ASSERT_NE(w, 0u) << app.Errors();
    ASSERT_TRUE(app.WaitForOutput("loaded", 3000));

    e2e::Geometry g = s.GeometryOf(w);
    EXPECT_EQ(g.x, 100);
    EXPECT_EQ(g.y, 100);
    EXPECT_EQ(g.width, 300);
    EXPECT_EQ(g.height, 200);
    e2e::Rect shape = s.ShapeExtents(w);
    EXPECT_EQ(shape.width, 300);
    EXPECT_EQ(shape.height, 200);

    // The timer runs on its own.
    EXPECT_TRUE(app.WaitForOutput("tick 2", 3000));

    // The cut-off corner shows the black root; the rest shows the window.
    e2e::Pause(200);
    e2e::Image shot = s.Screenshot();
    ASSERT_GT(shot.width, 0);
    EXPECT_EQ(shot.At(100 + 290, 100 + 5), 0x000000u);
    EXPECT_EQ(shot.At(100 + 5, 100 + 190), 0x0000FFu);
    EXPECT_EQ(shot.At(100 + 110, 100 + 150), 0xFFFF80u);  // the file list's background

    // A press in the cut-off corner does not reach the window.
    s.Click(w, 290, 5);
    e2e::Pause(200);
    EXPECT_EQ(app.Output().find("press"), std::string::npos);

    // The click zone.
    s.Click(w, 40, 40);
    EXPECT_TRUE(app.WaitForOutput("click", 2000));
    e2e::Pause(200);
    EXPECT_EQ(s.Screenshot().At(100 + 5, 100 + 190), 0x00FF00u);

    // The file list: names in case-insensitive order, the first row highlighted by a click.
    s.Click(w, 140, 60 + 2 + 4);
    EXPECT_TRUE(app.WaitForOutput("selected A.map", 2000)) << app.Output();

    // Drag by the surface.
    s.Drag(w, 10, 180, 60, 30);
    EXPECT_TRUE(app.WaitForOutput("moved to 160,130", 2000)) << app.Output();
    g = s.GeometryOf(w);
    EXPECT_EQ(g.x, 160);
    EXPECT_EQ(g.y, 130);

    // Keys reach the window; Escape ends the program with status 0.
    s.Key(w, "Left");
    EXPECT_TRUE(app.WaitForOutput("key 37", 2000));
    // A modal message box comes up as its own window and answers OK on Return.
    s.Key(w, "m");
    unsigned long box = s.WaitForWindow("Demo Box", 3000);
    ASSERT_NE(box, 0u);
    s.Key(box, "Return");
    EXPECT_TRUE(app.WaitForOutput("answer 1", 3000)) << app.Output();

    s.Key(w, "Escape");
    EXPECT_EQ(app.WaitForExit(3000), 0) << app.Errors();
}

// Runs `command` through the shell; its standard output and error, and its exit status.
std::string RunShell(const std::string& command, int& status) {
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) return "";
    std::string out;
    char buf[256];
    while (size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    status = ::pclose(p);
    return out;
}

TEST(RuntimeDemoNoDisplay, SaysItNeedsAnXDisplayAndHowToStartThisProgramOnAVirtualOne) {
    // Started without DISPLAY, the program explains and fails, naming its own path in the
    // command to use; a path that needs quotes for the shell gets them.
    const fs::path folder = fs::temp_directory_path() / ("qv demo " + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::copy_file(QV_DEMO_PROGRAM, folder / "demo", fs::copy_options::overwrite_existing);
    struct Case {
        std::string program, named;
    } cases[] = {
        {QV_DEMO_PROGRAM, fs::canonical(QV_DEMO_PROGRAM).string()},
        {(folder / "demo").string(), "'" + fs::canonical(folder / "demo").string() + "'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        int status = 0;
        const std::string out = RunShell("env -u DISPLAY '" + c.program + "' .", status);
        EXPECT_NE(status, 0);
        EXPECT_NE(out.find("needs an X display"), std::string::npos) << out;
        EXPECT_NE(out.find("xvfb-run -a -s \"-screen 0 1280x1024x24\" " + c.named + "\n"), std::string::npos) << out;
    }
    fs::remove_all(folder);
}

// With standard error a pipe nobody reads any more, what the program says there is lost and
// nothing else changes: no SIGPIPE ends it.
TEST(RuntimeDemoClosedStderr, TheNoDisplayMessageStillEndsWithStatus2) {
    e2e::Session s;
    if (!s.Ready()) GTEST_FAIL() << s.Why();
    auto& app = s.Start({"env", "-u", "DISPLAY", QV_DEMO_PROGRAM, "."}, "", e2e::Session::Stderr::ClosedPipe);
    EXPECT_EQ(app.WaitForExit(3000), 2);
}

TEST(RuntimeDemoClosedStderr, ARunTimeErrorStillShowsItsBoxAndEndsWithStatus1) {
    e2e::Session s;
    if (!s.Ready()) GTEST_FAIL() << s.Why();
    // The file list cannot show a folder that does not exist: an error as the window loads.
    auto& app = s.Start({QV_DEMO_PROGRAM, "/nonexistent-qv-folder"}, "", e2e::Session::Stderr::ClosedPipe);
    const unsigned long box = s.WaitForWindow("Quorvane", 3000);
    ASSERT_NE(box, 0u) << "no error box; status " << app.WaitForExit(0);
    s.Key(box, "Return");
    EXPECT_EQ(app.WaitForExit(3000), 1);
}

}  // namespace
