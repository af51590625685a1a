// The run time's program-wide services: backend choice, handler nesting and errors nothing
// trapped, message boxes, the program's run and end, Screen and App.
#include "platform/win32/runtime.h"

#include "platform/runtime/lsan.h"

#include <signal.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

#include "platform/d3d8/present.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/paths.h"
#include "platform/win32/backend.h"
#include "platform/win32/internals.h"
#include "platform/win32/state.h"

namespace rt {

ScreenObject Screen;
AppObject App;

namespace detail {

namespace {
std::unique_ptr<Backend>& BackendSlot() { return State().backend; }
int& Depth() { return State().handlerDepth; }
}  // namespace

Backend& CurrentBackend() {
    auto& b = BackendSlot();
    if (!b) SetBackend(MakeHeadlessBackend());
    return *b;
}

bool HasBackend() { return BackendSlot() != nullptr; }

void SetBackend(std::unique_ptr<Backend> backend) {
    BackendSlot() = std::move(backend);
    if (!BackendSlot()) return;
    // Whatever the backend, frames the Direct3D device presents go into the window or picture
    // box they name. The headless backend's tests also look at whole frames, so there the
    // device keeps the last one as well.
    d3d8::SetPresentHandler([](int32_t hWnd, const uint32_t* argb, int width, int height) {
        PresentToWindow(hWnd, argb, width, height);
    }, BackendSlot()->Headless());
}

int HandlerDepth() { return Depth(); }
void EnterHandler() { ++Depth(); }
void LeaveHandler() { --Depth(); }

void UntrappedError(const std::exception& e) {
    // The box shows the error's text and, below it, what the error is about when that is known.
    if (auto* re = dynamic_cast<const RuntimeError*>(&e))
        FatalRuntimeError(re->Number(), re->Detail().empty() ? re->Text() : re->Text() + "\n\n" + re->Detail());
    if (dynamic_cast<const std::bad_alloc*>(&e)) FatalRuntimeError(ErrOutOfMemory, ErrorText(ErrOutOfMemory));
    FatalRuntimeError(ErrInternal, std::string("Internal error: ") + e.what());
}

}  // namespace detail

int32_t MsgBox(const std::string& text, int32_t buttons, const std::string& title) {
    detail::RepaintAll();
    return detail::RunMessageBox(text, title.empty() ? App.Title : title, buttons);
}

void End() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (detail::HasBackend()) detail::CurrentBackend().Shutdown();
#ifdef QV_LSAN
    // Ending at once skips the leak check a sanitizer build makes at a normal exit: make it here,
    // so a run ended by End is checked like one that returns from main.
    __lsan_do_leak_check();
#endif
    std::_Exit(0);
}

void FatalRuntimeError(int number, const std::string& text) {
    static bool inside = false;
    std::string message = "Run-time error '" + std::to_string(number) + "':\n\n" + text;
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    if (!inside && detail::HasBackend()) {
        inside = true;
        detail::RunMessageBox(message, App.Title, vbOKOnly | vbCritical);
        detail::CurrentBackend().Shutdown();
    }
    std::fflush(stdout);
    std::_Exit(1);
}

namespace {

// A write to a pipe whose reader has gone ("quorvane 2>&1 | head", a closed log viewer) fails
// instead of ending the program with SIGPIPE: what the program says on standard output or error
// is a courtesy, and the error box and the exit status must not depend on it. A handler rather
// than SIG_IGN, so programs the run time starts (the URL opener) get the default back.
void SurviveBrokenPipes() {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}

// How to start this very program again from a shell: its path (quoted when it needs to be), or,
// when the system does not say where it is, its name.
std::string ProgramCommand() {
    std::error_code ec;
    std::string path = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    if (ec || path.empty()) {
        std::string name = App.Title;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name;
    }
    bool plain = true;
    for (char c : path) plain &= std::isalnum(static_cast<unsigned char>(c)) || std::strchr("/._-+", c) != nullptr;
    if (plain) return path;
    std::string quoted = "'";
    for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

int RunProgram(const std::function<void()>& start) {
    SurviveBrokenPipes();
    if (!detail::HasBackend()) {
        std::string why;
        auto backend = detail::MakeSdlBackend(why);
        if (!backend) {
            std::fprintf(stderr,
                         "%s needs an X display (%s).\n"
                         "Set DISPLAY to a running X server, or run it on a virtual one:\n"
                         "    xvfb-run -a -s \"-screen 0 1280x1024x24\" %s\n",
                         App.Title.c_str(), why.c_str(), ProgramCommand().c_str());
            return 2;
        }
        detail::SetBackend(std::move(backend));
    }
    auto& b = detail::CurrentBackend();
    detail::RunHandler(start);
    for (;;) {
        DoEvents();
        if (ProgramFinished()) break;
        if (b.Headless() && detail::EventQueue().empty() && !detail::AnyTimerRunning()) {
            // Nothing can happen any more without a display to send events.
            b.Shutdown();
            return 3;
        }
        b.Wait(detail::NextTimerDelay(50));
    }
    b.Shutdown();
    return 0;
}

int32_t ScreenObject::WidthPixels() const {
    int32_t w = 0, h = 0;
    detail::CurrentBackend().ScreenSize(w, h);
    return w;
}

int32_t ScreenObject::HeightPixels() const {
    int32_t w = 0, h = 0;
    detail::CurrentBackend().ScreenSize(w, h);
    return h;
}

std::string AppObject::Path() const { return ProgramFolder(); }

}  // namespace rt
