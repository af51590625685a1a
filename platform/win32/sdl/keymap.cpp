// Virtual-key codes for SDL key codes: letters and digits by their character whatever the
// shift state, the named keys by table.
#include "platform/win32/sdl/keymap.h"

#include <SDL.h>

#include "platform/win32/keys.h"

namespace rt::detail {

int16_t VirtualKeyFromSdl(int32_t k) {
    if (k >= SDLK_a && k <= SDLK_z) return static_cast<int16_t>(vbKeyA + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9) return static_cast<int16_t>(vbKey0 + (k - SDLK_0));
    if (k >= SDLK_F1 && k <= SDLK_F12) return static_cast<int16_t>(vbKeyF1 + (k - SDLK_F1));
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return static_cast<int16_t>(vbKeyNumpad0 + 1 + (k - SDLK_KP_1));
    switch (k) {
        case SDLK_BACKSPACE: return vbKeyBack;
        case SDLK_TAB: return vbKeyTab;
        case SDLK_RETURN: case SDLK_KP_ENTER: return vbKeyReturn;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return vbKeyShift;
        case SDLK_LCTRL: case SDLK_RCTRL: return vbKeyControl;
        case SDLK_LALT: case SDLK_RALT: return vbKeyMenu;
        case SDLK_PAUSE: return vbKeyPause;
        case SDLK_CAPSLOCK: return vbKeyCapital;
        case SDLK_ESCAPE: return vbKeyEscape;
        case SDLK_SPACE: return vbKeySpace;
        case SDLK_PAGEUP: return vbKeyPageUp;
        case SDLK_PAGEDOWN: return vbKeyPageDown;
        case SDLK_END: return vbKeyEnd;
        case SDLK_HOME: return vbKeyHome;
        case SDLK_LEFT: return vbKeyLeft;
        case SDLK_UP: return vbKeyUp;
        case SDLK_RIGHT: return vbKeyRight;
        case SDLK_DOWN: return vbKeyDown;
        case SDLK_INSERT: return vbKeyInsert;
        case SDLK_DELETE: return vbKeyDelete;
        case SDLK_KP_0: return vbKeyNumpad0;
        case SDLK_KP_MULTIPLY: return vbKeyMultiply;
        case SDLK_KP_PLUS: return vbKeyAdd;
        case SDLK_KP_MINUS: return vbKeySubtract;
        case SDLK_KP_PERIOD: return vbKeyDecimal;
        case SDLK_KP_DIVIDE: return vbKeyDivide;
        case SDLK_NUMLOCKCLEAR: return vbKeyNumlock;
        case SDLK_SCROLLLOCK: return vbKeyScrollLock;
        case SDLK_SEMICOLON: return 186;
        case SDLK_EQUALS: return 187;
        case SDLK_COMMA: return 188;
        case SDLK_MINUS: return 189;
        case SDLK_PERIOD: return 190;
        case SDLK_SLASH: return 191;
        case SDLK_BACKQUOTE: return 192;
        case SDLK_LEFTBRACKET: return 219;
        case SDLK_BACKSLASH: return 220;
        case SDLK_RIGHTBRACKET: return 221;
        case SDLK_QUOTE: return 222;
        default: return 0;
    }
}

}  // namespace rt::detail
