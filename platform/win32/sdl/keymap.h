// Virtual-key codes for SDL key codes.
#pragma once
#include <cstdint>

namespace rt::detail {
// The virtual-key code of an SDL key code (SDL_Keycode), 0 for keys without one.
int16_t VirtualKeyFromSdl(int32_t sdlKeycode);
}  // namespace rt::detail
