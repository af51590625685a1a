// The engine's display settings of a run, which the game window writes before it starts the
// engine. Header only, so the engine's tests and benchmarks, which run the engine without the
// application, start it with the very same settings.
#pragma once
#include "engine/zemdx.h"
#include "platform/win32/runtime.h"

namespace GameWorld {

// 640 x 480, depth buffer and back-face culling on, no visibility tests, white ambient light
// and material.
inline void SetDisplaySettings() {
    ZemDx::CullBackFaces = rt::True;
    ZemDx::ScreenHeight = 480;
    ZemDx::ScreenWidth = 640;
    ZemDx::VisibilityTest = 0;
    ZemDx::ZEnable = 1;
    ZemDx::AmbientColor = rt::RGB(255, 255, 255);
    ZemDx::Material.ambient = ZemDx::ColorValue(255, 255, 255);
}

}  // namespace GameWorld
