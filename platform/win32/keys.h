// Virtual-key codes of key events.
#pragma once
#include <cstdint>

namespace rt {
constexpr int16_t vbKeyBack = 8, vbKeyTab = 9, vbKeyReturn = 13, vbKeyShift = 16,
                  vbKeyControl = 17, vbKeyMenu = 18, vbKeyPause = 19, vbKeyCapital = 20,
                  vbKeyEscape = 27, vbKeySpace = 32, vbKeyPageUp = 33, vbKeyPageDown = 34,
                  vbKeyEnd = 35, vbKeyHome = 36, vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39,
                  vbKeyDown = 40, vbKeyInsert = 45, vbKeyDelete = 46;
constexpr int16_t vbKey0 = 48;  // '0'..'9' are 48..57
constexpr int16_t vbKeyA = 65;  // 'A'..'Z' are 65..90
constexpr int16_t vbKeyZ = 90;
constexpr int16_t vbKeyNumpad0 = 96;  // 96..105
constexpr int16_t vbKeyMultiply = 106, vbKeyAdd = 107, vbKeySubtract = 109, vbKeyDecimal = 110,
                  vbKeyDivide = 111;
constexpr int16_t vbKeyF1 = 112;  // F1..F12 are 112..123
constexpr int16_t vbKeyNumlock = 144, vbKeyScrollLock = 145;
}  // namespace rt
