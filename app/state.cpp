// The one instance of ModMain's module state, and the module variables as names for its members.
#include "app/state.h"

namespace ModMain {

namespace {
ModuleState g_state;
}  // namespace

ModuleState& State() { return g_state; }

rt::Boolean& WorldSelected = g_state.WorldSelected;
rt::Boolean& WindowedMode = g_state.WindowedMode;
std::string& ProgramFolderOverride = g_state.ProgramFolderOverride;

rt::Array2D<rt::Integer>& Map = g_state.Map;
rt::Integer& FloorTexture = g_state.FloorTexture;
rt::Integer& CeilingTexture = g_state.CeilingTexture;

rt::Boolean& Running = g_state.Running;
int32_t& FrameCount = g_state.FrameCount;
int32_t& FpsTextIndex = g_state.FpsTextIndex;
float& MoveSpeed = g_state.MoveSpeed;
int32_t (&WallTextures)[kWallTextureEntries] = g_state.WallTextures;

}  // namespace ModMain
