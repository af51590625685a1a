// The end-to-end harness: a private Xvfb, programs started on it, and xdotool / xwininfo /
// import to find windows, press keys and buttons, and look at the screen.
#include "tests/e2e/harness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace e2e {

namespace {

bool OnPath(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::stringstream ss(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(ss, dir, ':'))
        if (!dir.empty() && ::access((dir + "/" + tool).c_str(), X_OK) == 0) return true;
    return false;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A program under test built with the sanitizers reports leaks when it ends; the repository's
// suppressions keep the desktop libraries' own blocks (D-Bus, SDL, X) out of that report, unless
// the caller chose suppressions itself (scripts/test.sh does). Our own leaks are still reported.
void UseLeakSuppressions() {
    const char* current = std::getenv("LSAN_OPTIONS");
    std::string options = current ? current : "";
    if (options.find("suppressions=") != std::string::npos) return;
    if (!options.empty()) options += ':';
    options += "suppressions=" QV_SOURCE_DIR "/tests/lsan.supp:print_suppressions=0";
    ::setenv("LSAN_OPTIONS", options.c_str(), 1);
}

// Forks a child that dies with us; stdout/stderr to the given files (or /dev/null), or stderr to a
// pipe nobody reads. It starts with SIGHUP and SIGPIPE at their defaults, as from a terminal.
int Spawn(const std::vector<std::string>& argv, const std::string& display, const std::string& workdir,
          const std::string& out, const std::string& err, int keepFd = -1, bool errToClosedPipe = false) {
    pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    ::setpgid(0, 0);
    if (!display.empty()) {
        ::setenv("DISPLAY", display.c_str(), 1);
        UseLeakSuppressions();
    }
    if (!workdir.empty() && ::chdir(workdir.c_str()) != 0) ::_exit(127);
    int o = ::open(out.empty() ? "/dev/null" : out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = -1;
    if (errToClosedPipe) {
        int p[2];
        if (::pipe(p) != 0) ::_exit(127);
        ::close(p[0]);
        e = p[1];
    } else {
        e = ::open(err.empty() ? "/dev/null" : err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    ::signal(SIGHUP, SIG_DFL);
    ::signal(SIGPIPE, SIG_DFL);
    int n = ::open("/dev/null", O_RDONLY);
    ::dup2(n, 0);
    ::dup2(o, 1);
    ::dup2(e, 2);
    for (int fd = 3; fd < 256; ++fd)
        if (fd != keepFd) ::close(fd);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

void Kill(int pid) {
    if (pid <= 0) return;
    ::kill(-pid, SIGTERM);
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        int st = 0;
        if (::waitpid(pid, &st, WNOHANG) == pid) return;
        Pause(10);
    }
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// ---- Process

Process::~Process() { Stop(); }

bool Process::Running() {
    if (pid_ <= 0) return false;
    int st = 0;
    if (::waitpid(pid_, &st, WNOHANG) == pid_) {
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        pid_ = -1;
        return false;
    }
    return true;
}

int Process::WaitForExit(int ms) {
    long long end = NowMs() + ms;
    while (Running()) {
        if (NowMs() >= end) return -1;
        Pause(10);
    }
    return status_;
}

bool Process::WaitForOutput(const std::string& text, int ms) {
    long long end = NowMs() + ms;
    for (;;) {
        if (Output().find(text) != std::string::npos) return true;
        if (NowMs() >= end) return false;
        Pause(10);
    }
}

std::string Process::Output() const { return ReadFile(out_); }
std::string Process::Errors() const { return ReadFile(err_); }

void Process::Signal(int signal) {
    if (pid_ > 0) ::kill(pid_, signal);
}

void Process::Stop() {
    if (pid_ > 0) Kill(pid_);
    pid_ = -1;
}

// ---- Session

Session::Session(int width, int height) {
    for (const char* tool : {"Xvfb", "xdotool", "xwininfo", "import"})
        if (!OnPath(tool)) {
            why_ = std::string(tool) + " is not installed (scripts/install-deps.sh --test installs the test tools)";
            return;
        }
    char dir[] = "/tmp/qv_e2e_XXXXXX";
    if (!::mkdtemp(dir)) {
        why_ = "cannot make a temporary folder";
        return;
    }
    tmp_ = dir;
    // Xvfb picks a free display itself and tells us its number through a pipe.
    int fds[2];
    if (::pipe(fds) != 0) {
        why_ = "pipe failed";
        return;
    }
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // Only the server's built-in fonts, as on a machine with no X font packages: nothing the
    // programs show may depend on the server's fonts.
    xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-br",
                   "-noreset", "-fp", "built-ins"},
                  "", "", "", tmp_ + "/xvfb.log", fds[1]);
    ::close(fds[1]);
    std::string number;
    long long end = NowMs() + 10000;
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    while (NowMs() < end) {
        char buf[16];
        ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n > 0) number.append(buf, static_cast<size_t>(n));
        if (number.find('\n') != std::string::npos || n == 0) break;
        Pause(10);
    }
    ::close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
    if (number.empty()) {
        why_ = "Xvfb did not start: " + ReadFile(tmp_ + "/xvfb.log");
        return;
    }
    display_ = ":" + number;
    ready_ = true;
}

Session::~Session() {
    processes_.clear();
    if (xvfb_ > 0) Kill(xvfb_);
    if (!tmp_.empty()) std::system(("rm -rf " + Quote(tmp_)).c_str());
}

Process& Session::Start(const std::vector<std::string>& argv, const std::string& workdir, Stderr err) {
    auto p = std::make_unique<Process>();
    size_t k = processes_.size();
    p->out_ = tmp_ + "/out" + std::to_string(k) + ".txt";
    p->err_ = tmp_ + "/err" + std::to_string(k) + ".txt";
    p->pid_ = Spawn(argv, display_, workdir, p->out_, p->err_, -1, err == Stderr::ClosedPipe);
    processes_.push_back(std::move(p));
    return *processes_.back();
}

void Session::StopServer() {
    Kill(xvfb_);
    xvfb_ = -1;
}

std::string Session::Run(const std::string& command) {
    std::string out = tmp_ + "/cmd.txt";
    std::string full = "DISPLAY=" + display_ + " " + command + " >" + Quote(out) + " 2>/dev/null";
    if (std::system(full.c_str()) == -1) return "";
    return ReadFile(out);
}

unsigned long Session::WaitForWindow(const std::string& title, int ms) {
    long long end = NowMs() + ms;
    std::string pattern = "^";
    for (char c : title) {
        if (std::strchr("\\^$.|?*+()[]{}", c)) pattern += '\\';
        pattern += c;
    }
    pattern += "$";
    const std::string quoted = "\"" + title + "\":";
    for (;;) {
        std::string ids = Run("xdotool search --onlyvisible --name " + Quote(pattern));
        unsigned long id = std::strtoul(ids.c_str(), nullptr, 10);
        if (id != 0) return id;
        // Some windows (message boxes) carry a title xdotool does not match; look in the tree.
        std::string tree = Run("xwininfo -root -tree");
        for (size_t at = tree.find(quoted); at != std::string::npos; at = tree.find(quoted, at + 1)) {
            size_t lineStart = tree.rfind('\n', at);
            lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
            unsigned long w = std::strtoul(tree.c_str() + lineStart, nullptr, 16);
            if (w != 0 && Run("xwininfo -id " + std::to_string(w)).find("IsViewable") != std::string::npos) return w;
        }
        if (NowMs() >= end) return 0;
        Pause(20);
    }
}

bool Session::WindowExists(const std::string& title) { return WaitForWindow(title, 0) != 0; }

Geometry Session::GeometryOf(unsigned long window) {
    Geometry g;
    std::string s = Run("xdotool getwindowgeometry --shell " + std::to_string(window));
    std::stringstream ss(s);
    std::string line;
    while (std::getline(ss, line)) {
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string k = line.substr(0, eq);
        int v = std::atoi(line.c_str() + eq + 1);
        if (k == "X") g.x = v;
        else if (k == "Y") g.y = v;
        else if (k == "WIDTH") g.width = v;
        else if (k == "HEIGHT") g.height = v;
    }
    return g;
}

Rect Session::ShapeExtents(unsigned long window) {
    // "Window shape extents:  WxH+X+Y"
    Rect r;
    std::string s = Run("xwininfo -shape -id " + std::to_string(window));
    const std::string key = "Window shape extents:";
    auto at = s.find(key);
    if (at == std::string::npos) return r;
    std::sscanf(s.c_str() + at + key.size(), " %dx%d+%d+%d", &r.width, &r.height, &r.x, &r.y);
    return r;
}

void Session::MoveMouse(int screenX, int screenY) {
    // "--sync" waits for the pointer to move, which takes long when it is there already.
    int x = -1, y = -1;
    std::sscanf(Run("xdotool getmouselocation").c_str(), "x:%d y:%d", &x, &y);
    if (x == screenX && y == screenY) return;
    Run("xdotool mousemove --sync " + std::to_string(screenX) + " " + std::to_string(screenY));
}

void Session::Click(unsigned long window, int x, int y, int button) {
    Geometry g = GeometryOf(window);
    MoveMouse(g.x + x, g.y + y);
    Run("xdotool click " + std::to_string(button));
}

void Session::Drag(unsigned long window, int x, int y, int dx, int dy, int button) {
    Geometry g = GeometryOf(window);
    MoveMouse(g.x + x, g.y + y);
    Run("xdotool mousedown " + std::to_string(button));
    Pause(100);
    const int steps = 5;
    for (int i = 1; i <= steps; ++i) {
        MoveMouse(g.x + x + dx * i / steps, g.y + y + dy * i / steps);
        Pause(30);
    }
    Run("xdotool mouseup " + std::to_string(button));
    Pause(100);
}

void Session::Key(unsigned long window, const std::string& keys) {
    Run("xdotool windowfocus --sync " + std::to_string(window));
    Type(keys);
}

void Session::Type(const std::string& keys) { Run("xdotool key --delay 20 " + keys); }

unsigned long Session::FocusedWindow() {
    return std::strtoul(Run("xdotool getwindowfocus").c_str(), nullptr, 10);
}

Image Session::Screenshot() {
    Image img;
    std::string path = tmp_ + "/shot.ppm";
    Run("import -depth 8 -window root " + Quote("ppm:" + path));
    std::string data = ReadFile(path);
    // Binary PPM: "P6" width height maxval, one whitespace, then RGB bytes.
    std::istringstream in(data);
    std::string magic;
    int w = 0, h = 0, maxval = 0;
    in >> magic >> w >> h >> maxval;
    if (magic != "P6" || w <= 0 || h <= 0 || (maxval != 255 && maxval != 65535)) return img;
    in.get();
    size_t offset = static_cast<size_t>(in.tellg());
    size_t bytes = maxval == 255 ? 1 : 2;  // 16-bit samples are big-endian: keep the high byte
    if (data.size() < offset + static_cast<size_t>(w) * h * 3 * bytes) return img;
    img.width = w;
    img.height = h;
    img.pixels.resize(static_cast<size_t>(w) * h);
    const auto* p = reinterpret_cast<const unsigned char*>(data.data()) + offset;
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        const unsigned char* px = p + 3 * bytes * i;
        img.pixels[i] = (uint32_t(px[0]) << 16) | (uint32_t(px[bytes]) << 8) | px[2 * bytes];
    }
    return img;
}

}  // namespace e2e
