// The window run time's reset for tests.
#include "platform/win32/reset.h"

#include <utility>

#include "platform/win32/form.h"
#include "platform/win32/internals.h"
#include "platform/win32/state.h"

namespace rt {

void ResetWindowsForTests() {
    auto& s = detail::State();
    // Newest first, so a window made by another's constructor goes before its maker.
    auto made = std::move(s.formOfInstances);
    s.formOfInstances.clear();
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        Form* form = it->first;
        if (s.backend && detail::StateOf(*form).created) s.backend->DestroyWindow(*form);
        *it->second = nullptr;
        delete form;
    }
    if (s.backend) s.backend->Shutdown();
    s = detail::RuntimeState{};
    detail::ResetHeadlessState();
    App = AppObject{};
    Screen = ScreenObject{};
}

}  // namespace rt
