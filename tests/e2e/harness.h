// End-to-end harness: drives a real program on a private X server like a person would.
//
// Use from a GoogleTest case (link qv_e2e_harness):
//
//     e2e::Session s;                       // starts Xvfb on a free display (1280x1024x24,
//     if (!s.Ready()) GTEST_FAIL() << s.Why();  // black root, only the server's built-in fonts);
//                                           // fails when the tools are missing
//     auto& app = s.Start({"/path/to/quorvane"}, "/work/dir");   // DISPLAY set for it
//     auto w = s.WaitForWindow("Quorvane");  // by exact title, 0 on time-out
//     s.Click(w, 30, 40);                    // window-relative point, left button
//     s.Key(w, "Escape");                    // xdotool key names: Up, Left, shift, a ...
//     s.Type("Up Left");                     // to the window that has the keyboard, if any
//     s.Drag(w, 5, 100, 60, 20);             // press at (5,100), move by (60,20), release
//     e2e::Geometry g = s.GeometryOf(w);     // screen position and size
//     e2e::Image img = s.Screenshot();       // the whole screen (import -window root)
//     e2e::Rect box = s.ShapeExtents(w);     // bounding shape (xwininfo -shape)
//     s.StopServer();                        // the X server goes away under the program
//     EXPECT_TRUE(app.WaitForOutput("ready", 2000));
//     EXPECT_EQ(app.WaitForExit(2000), 0);
//
// Everything the session started (Xvfb, the programs) is stopped when the Session goes out of
// scope, also when an assertion fails; the children also die with the test process.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// A screenshot: 0xRRGGBB pixels, rows from the top.
struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? pixels[static_cast<size_t>(y) * width + x] : 0;
    }
};

// A started program; stdout and stderr go to files that can be read while it runs.
class Process {
public:
    ~Process();
    bool Running();
    // Exit status, or -1 when it is still running after `ms`, or 128 + signal when killed.
    int WaitForExit(int ms);
    // Waits until stdout contains `text`.
    bool WaitForOutput(const std::string& text, int ms);
    std::string Output() const;
    std::string Errors() const;
    void Signal(int signal);  // sends it to the program
    void Stop();  // SIGTERM, then SIGKILL

private:
    friend class Session;
    int pid_ = -1;
    int status_ = -1;
    std::string out_, err_;
};

class Session {
public:
    explicit Session(int width = 1280, int height = 1024);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Why() const { return why_; }
    const std::string& Display() const { return display_; }

    // Standard error goes to a file Errors() reads, or to a pipe whose reader has gone.
    enum class Stderr { File, ClosedPipe };
    Process& Start(const std::vector<std::string>& argv, const std::string& workdir = "",
                   Stderr err = Stderr::File);

    // The first window whose title is exactly `title`, waiting up to `ms`; 0 when none.
    unsigned long WaitForWindow(const std::string& title, int ms = 5000);
    bool WindowExists(const std::string& title);
    Geometry GeometryOf(unsigned long window);
    Rect ShapeExtents(unsigned long window);

    void MoveMouse(int screenX, int screenY);
    void Click(unsigned long window, int x, int y, int button = 1);
    void Drag(unsigned long window, int x, int y, int dx, int dy, int button = 1);
    // Focuses `window` first, then presses the keys.
    void Key(unsigned long window, const std::string& keys);
    // Presses the keys wherever X sends the keyboard now, as a person typing does: no window is
    // focused first, so they reach a window only when the program gave it the keyboard.
    void Type(const std::string& keys);
    // The window X gives the keyboard to (its top-level window); 0 when none.
    unsigned long FocusedWindow();
    Image Screenshot();

    // Runs a command with DISPLAY set; returns its stdout.
    std::string Run(const std::string& command);

    // Ends the X server under the running programs, as when it dies.
    void StopServer();

private:
    bool ready_ = false;
    std::string why_;
    std::string display_;
    int xvfb_ = -1;
    std::string tmp_;
    std::vector<std::unique_ptr<Process>> processes_;
};

// Sleeps `ms` milliseconds.
void Pause(int ms);

}  // namespace e2e
