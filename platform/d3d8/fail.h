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

// d3d8test::Active(), read in place by every call.
extern std::atomic<bool> g_testSwitchesActive;

// Counts/records the call when the test switches are on and raises the armed failure.
#define D3D8_INTERCEPT(name, ...)                                                          \
    do {                                                                                   \
        if (d3d8detail::g_testSwitchesActive.load(std::memory_order_relaxed)) {            \
            const int32_t code_ = d3d8test::Intercept(name, {__VA_ARGS__});                \
            if (code_ != D3D_OK) d3d8detail::Fail(name, code_, "failure switched on");     \
        }                                                                                  \
    } while (0)

}  // namespace d3d8detail
