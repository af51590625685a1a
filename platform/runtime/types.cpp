#include "types.h"

#include <cmath>
#include <limits>

#include "errors.h"

namespace rt {

double RoundHalfEven(double v) {
    if (!std::isfinite(v)) return v;
    double f = std::floor(v);
    double diff = v - f;
    if (diff < 0.5) return f;
    if (diff > 0.5) return f + 1.0;
    return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

namespace {
template <typename T>
T ToInteger(double v) {
    double r = RoundHalfEven(v);
    if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
          r <= static_cast<double>(std::numeric_limits<T>::max())))
        Raise(ErrOverflow);
    return static_cast<T>(r);
}

template <typename T, typename W>
T Checked(W r) {
    if (r < std::numeric_limits<T>::min() || r > std::numeric_limits<T>::max()) Raise(ErrOverflow);
    return static_cast<T>(r);
}
}  // namespace

Integer CInt(double v) { return ToInteger<Integer>(v); }
Long CLng(double v) { return ToInteger<Long>(v); }
Byte CByte(double v) { return ToInteger<Byte>(v); }

Single CSng(double v) {
    if (std::isnan(v)) Raise(ErrOverflow);
    if (std::isinf(v)) Raise(ErrOverflow);
    float f = static_cast<float>(v);
    if (std::isinf(f)) Raise(ErrOverflow);
    return f;
}

Integer AddInt(Integer a, Integer b) { return Checked<Integer>(int32_t(a) + int32_t(b)); }
Integer SubInt(Integer a, Integer b) { return Checked<Integer>(int32_t(a) - int32_t(b)); }
Integer MulInt(Integer a, Integer b) { return Checked<Integer>(int32_t(a) * int32_t(b)); }
Long AddLng(Long a, Long b) { return Checked<Long>(int64_t(a) + int64_t(b)); }
Long MulLng(Long a, Long b) { return Checked<Long>(int64_t(a) * int64_t(b)); }

}  // namespace rt
