// The module variables of ModMain in one record, each with its value at program start. The names
// the program uses (ModMain::Running, ModMain::Map ...) refer to the members of one instance.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "app/game_state.h"
#include "app/menu_flags.h"
#include "app/world_map.h"
#include "engine/zemdx.h"

namespace ModMain {

struct ModuleState {
    // The menu flow (menu_flags.h).
    rt::Boolean WorldSelected = rt::False;
    rt::Boolean WindowedMode = rt::False;
    std::string ProgramFolderOverride;
    // The world (world_map.h).
    rt::Array2D<rt::Integer> Map;
    rt::Integer FloorTexture = 0;
    rt::Integer CeilingTexture = 0;
    // The run (game_state.h).
    rt::Boolean Running = rt::False;
    int32_t FrameCount = 0;
    int32_t FpsTextIndex = 0;
    float MoveSpeed = 0.0f;
    int32_t WallTextures[kWallTextureEntries] = {};
    // Why each entry of WallTextures failed to load (Number 0: it loaded, or was never loaded);
    // the world stops on such an entry when it first uses it (frmWindowed_world.cpp).
    std::array<ZemDx::TextureLoadFailure, kWallTextureEntries> WallTextureFailures{};
};

ModuleState& State();

}  // namespace ModMain
