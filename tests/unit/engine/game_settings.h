// The display settings the game window writes before it starts the engine, for the engine's
// tests and benchmarks, which run the engine without the application.
#pragma once
#include "engine/zemdx.h"

namespace enginetest {

inline void GameDisplaySettings() {
    ZemDx::CullBackFaces = rt::True;
    ZemDx::ScreenHeight = 480;
    ZemDx::ScreenWidth = 640;
    ZemDx::VisibilityTest = 0;
    ZemDx::ZEnable = 1;
    ZemDx::AmbientColor = 0x00FFFFFF;
    ZemDx::Material = D3DMATERIAL8{};
    ZemDx::Material.ambient = ZemDx::ColorValue(255, 255, 255);
}

}  // namespace enginetest
