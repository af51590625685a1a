// The text helpers with which the program's file readers take their lines apart. One
// implementation serves both the world file reader of the application and the object class of
// the engine.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/types.h"

namespace ZemText {

// `valu` without spaces (code 32) at either end and with every inner run of spaces shrunk to one
// space. Only the space counts: a tab or a line feed is an ordinary character.
std::string TrimExtraSpace(std::string valu);

// Field number `cnt` (from 1) of `strg` between separators `sep`: the text before the first
// separator is field 1, the text after the last one the last field. Returns "" when `sep` is not
// exactly one character, when `cnt` < 1, or when `strg` has fewer than `cnt` fields. Comparison is
// byte for byte; there is no quoting.
std::string Field(std::string_view strg, std::string_view sep, rt::Integer cnt);

// All the fields of `strg` between separators `sep` (one character), in order: element k is what
// Field(strg, sep, k + 1) returns. A reader that wants every field of a long line takes them from
// here in one pass instead of calling Field once per field.
std::vector<std::string_view> SplitFields(std::string_view strg, char sep);

}  // namespace ZemText
