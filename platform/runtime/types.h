// The value types of the program: 16-bit Booleans (True = -1), the integer widths, and the
// conversions between them that round half to even and raise ErrOverflow out of range.
#pragma once
#include <cstdint>

namespace rt {

using Boolean = int16_t;
using Integer = int16_t;
using Long = int32_t;
using Byte = uint8_t;
using Single = float;
using Double = double;

constexpr Boolean True = -1;
constexpr Boolean False = 0;

// A C++ truth value as a Boolean.
constexpr Boolean ToBoolean(bool b) { return b ? True : False; }

// Nearest integer, exactly halfway going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double v);

// Conversions to the integer widths and to Single; each raises ErrOverflow out of range
// (and for NaN).
Integer CInt(double v);
Long CLng(double v);
Byte CByte(double v);
Single CSng(double v);

// 16-bit arithmetic that raises ErrOverflow when the result leaves -32768..32767.
Integer AddInt(Integer a, Integer b);
Integer SubInt(Integer a, Integer b);
Integer MulInt(Integer a, Integer b);
// 32-bit arithmetic that raises ErrOverflow on overflow.
Long AddLng(Long a, Long b);
Long MulLng(Long a, Long b);

// A counted loop with a 16-bit counter, from `first` up to `last`: the bound is made 16-bit when
// the loop starts (ErrOverflow when it does not fit) and the counter steps in 16 bits, so a loop
// that runs up to 32767 raises ErrOverflow after its last pass. A loop that does not start never
// looks at its bound beyond that, so an inner loop whose outer loop runs no pass raises nothing.
template <typename Body>
void ForInteger(Integer first, Long last, Body&& body) {
    const Integer bound = CInt(last);
    for (Integer i = first; i <= bound; i = AddInt(i, 1)) body(i);
}

}  // namespace rt
