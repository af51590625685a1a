// The run's own variables of the application module: the main loop's run flag, the frame
// counter behind the frame-rate figure, the label showing it, the walking speed and the wall
// textures. All start at 0 / False when the program starts (state.h holds them).
#pragma once
#include <cstdint>

#include "platform/runtime/types.h"

namespace ModMain {

// The main loop runs while this is not False; Escape clears it.
extern rt::Boolean& Running;
// Loop passes counted since the last tick of the frame-rate timer.
extern int32_t& FrameCount;
// Slot of the frame-rate label in the engine's text table (-1 when it could not be made).
extern int32_t& FpsTextIndex;
// Length of one walking step in world units: 1.0 walking, 2.0 while Shift is held.
extern float& MoveSpeed;
// Entry n - 1 holds the texture index of wall texture number n (Textures\n.bmp), n = 1 to 11.
// Entry 11 is never loaded and keeps 0, the slot of the weapon image.
constexpr int kWallTextureEntries = 12;
extern int32_t (&WallTextures)[kWallTextureEntries];

}  // namespace ModMain
