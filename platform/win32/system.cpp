// Cursor display counter, tick count, opening documents, and the window messages.
#include "platform/win32/system.h"

#include <chrono>

#include "platform/win32/backend.h"
#include "platform/win32/form.h"
#include "platform/win32/internals.h"
#include "platform/win32/messages.h"
#include "platform/win32/state.h"

namespace {
int32_t& CursorCounter() { return rt::detail::State().cursorCount; }
}  // namespace

int32_t ShowCursor(int32_t show) {
    int32_t& n = CursorCounter();
    if (show != 0) ++n;
    else --n;
    if (rt::detail::HasBackend()) rt::detail::CurrentBackend().CursorVisible(n >= 0);
    return n;
}

namespace rt::detail {
uint32_t MonotonicTicks() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
}  // namespace rt::detail

uint32_t GetTickCount() {
    if (rt::detail::HasBackend()) return rt::detail::CurrentBackend().Ticks();
    return rt::detail::MonotonicTicks();
}

int32_t ShellExecuteA(int32_t, const char*, const char* file, const char*, const char*, int32_t) {
    if (!file || !*file) return 2;
    return rt::detail::CurrentBackend().OpenURL(file) ? 42 : 2;
}

int32_t ReleaseCapture() { return 1; }

int32_t SendMessageA(int32_t hWnd, uint32_t msg, int32_t wParam, const void*) {
    if (msg != WM_NCLBUTTONDOWN || wParam != HTCAPTION) return 0;
    rt::Form* f = rt::FindFormByHandle(hWnd);
    if (!f || !f->Loaded()) return 0;
    auto& st = rt::detail::StateOf(*f);
    rt::detail::CurrentBackend().Drag(*f);
    // The move took the button's release.
    st.pressed = nullptr;
    st.pressedSurface = false;
    return 0;
}
