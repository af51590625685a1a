// The number reader of the run time: the numeric value at the start of a text field.
#pragma once
#include <string_view>

namespace rt {

// The numeric value at the start of `text`:
// - blanks (space, tab, line feed) are skipped wherever they stand, also between digits;
// - an optional sign, decimal digits with an optional full stop and fraction (either part may be
//   absent) and an optional exponent (E or e, an optional sign, digits) are read;
// - &H followed by hexadecimal digits and &O followed by octal digits are read as such; like the
//   platform's literals, a value up to FFFF is a 16-bit signed number (&HFFFF is -1) and a larger
//   one up to FFFFFFFF a 32-bit signed number (&HFF000000 is -16777216);
// - reading stops at the first character that cannot continue the number; text with no leading
//   number at all gives 0.
// The decimal separator is always the full stop, whatever the locale. A decimal value beyond the
// range of a double, or a hexadecimal/octal value beyond 32 bits, raises ErrOverflow.
double Val(std::string_view text);

}  // namespace rt
