// The display settings the game window writes before it starts the engine, for the engine's
// tests and benchmarks, which run the engine without the application: the application's own
// (header only), on a material that starts from nothing.
#pragma once
#include "app/display_settings.h"
#include "engine/zemdx.h"

namespace enginetest {

inline void GameDisplaySettings() {
    ZemDx::Material = D3DMATERIAL8{};
    GameWorld::SetDisplaySettings();
}

}  // namespace enginetest
