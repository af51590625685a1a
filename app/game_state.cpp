#include "app/game_state.h"

namespace ModMain {

rt::Boolean Running = rt::False;
int32_t FrameCount = 0;
int32_t FpsTextIndex = 0;
float MoveSpeed = 0.0f;
int32_t WallTextures[kWallTextureEntries] = {};

}  // namespace ModMain
