// The run-time error that a call raises, for tests that check which error a failure gives.
#pragma once
#include <utility>

#include "platform/runtime/errors.h"

namespace rttest {

// The run-time error that f() raises, with its text and detail; error 0 when it returns normally.
template <typename F>
rt::RuntimeError RaisedBy(F&& f) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e;
    }
    return rt::RuntimeError(0, "");
}

// The number of the run-time error that f() raises; 0 when it returns normally.
template <typename F>
int ErrorOf(F&& f) {
    return RaisedBy(std::forward<F>(f)).Number();
}

}  // namespace rttest
