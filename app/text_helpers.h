// The application module's text helpers; the one implementation lives in the engine's text
// field helpers, which the object class uses as well.
#pragma once
#include <string>
#include <string_view>

#include "platform/runtime/types.h"

namespace ModMain {

// `valu` without spaces at either end and with every inner run of spaces shrunk to one.
std::string TrimExtraSpace(std::string valu);

// Field `cnt` (from 1) of `strg` between one-character separators `sep`; "" when missing.
std::string Field(std::string_view strg, std::string_view sep, rt::Integer cnt);

}  // namespace ModMain
