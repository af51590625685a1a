// Line scrambling of the object files: every character's code is combined with a key by
// exclusive or. The same call scrambles a plain line and unscrambles a scrambled one.
#pragma once
#include <string>

#include "platform/runtime/types.h"

namespace ZemDx {

// `Text` with each character's 8-bit code c replaced by c xor `XorKey` (all 32 bits of the key
// take part). A resulting code outside 0 to 255, which only a key outside 0 to 255 can give,
// raises ErrInvalidCall. "" gives "" for any key.
std::string XorString(const std::string& Text, const rt::Long& XorKey);

}  // namespace ZemDx
