// Shared pieces of the D3DX stand-in's tests and of the scene-object tests built on it: the
// run-time error number of a call, and the small windowed device of the Direct3D tests.
#pragma once
#include "platform/runtime/errors.h"
#include "tests/render/d3d8_scene.h"

namespace d3dx8testing {

using d3d8testing::MakeDevice;  // (width, height, depth buffer)

// The run-time error number `f` raises, or 0 when it raises none.
template <class F>
int ErrorOf(F f) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace d3dx8testing
