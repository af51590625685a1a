// The run-time error number that a call raises, for tests that check which error a failure gives.
#pragma once
#include "platform/runtime/errors.h"

namespace rttest {

// The number of the run-time error that f() raises; 0 when it returns normally.
template <typename F>
int ErrorOf(F&& f) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace rttest
