// Shared pieces of the D3DX stand-in's tests and of the scene-object tests built on it: the
// run-time error of a call, and the small windowed device of the Direct3D tests.
#pragma once
#include "tests/render/d3d8_scene.h"
#include "tests/unit/runtime/error_of.h"

namespace d3dx8testing {

using d3d8testing::MakeDevice;  // (width, height, depth buffer)

using rttest::ErrorOf;   // the run-time error number a call raises, 0 for none
using rttest::RaisedBy;  // the run-time error a call raises, with its text and detail

}  // namespace d3dx8testing
