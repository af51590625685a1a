// Raising a failed platform call as a run-time error, and the test-switch hook of each call.
#pragma once
#include <atomic>
#include <string>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/testswitch.h"

namespace d3d8detail {

// The name of a result code ("D3DERR_INVALIDCALL") for error texts.
const char* ResultName(int32_t code);

// Raises the run-time error of a failed call: the number is the result code, the text names
// the call and the reason.
[[noreturn]] void Fail(const char* call, int32_t code, const std::string& why = {});
// The same with the reason as text (null: none); the string is made only on the way out, so a
// call that checks its arguments carries no string code on its usual path.
[[noreturn, gnu::cold]] void Fail(const char* call, int32_t code, const char* why);

// d3d8test::Active(), read in place by every call.
extern std::atomic<bool> g_testSwitchesActive;

// Counts/records the call and raises the armed failure (the switches are on).
template <class... Args>
[[gnu::cold, gnu::noinline]] void InterceptCall(const char* name, Args... args) {
    const int32_t code = d3d8test::Intercept(name, {static_cast<int64_t>(args)...});
    if (code != D3D_OK) Fail(name, code, "failure switched on");
}

// Counts/records the call when the test switches are on and raises the armed failure.
#define D3D8_INTERCEPT(name, ...)                                                          \
    do {                                                                                   \
        if (d3d8detail::g_testSwitchesActive.load(std::memory_order_relaxed)) [[unlikely]] \
            d3d8detail::InterceptCall(name __VA_OPT__(, ) __VA_ARGS__);                    \
    } while (0)

}  // namespace d3d8detail
