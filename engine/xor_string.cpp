#include "engine/xor_string.h"

#include "platform/runtime/errors.h"

namespace ZemDx {

std::string XorString(const std::string& Text, const rt::Long& XorKey) {
    std::string out;
    out.reserve(Text.size());
    for (char ch : Text) {
        const int32_t code = static_cast<int32_t>(static_cast<unsigned char>(ch)) ^ XorKey;
        if (code < 0 || code > 255) rt::Raise(rt::ErrInvalidCall);
        out += static_cast<char>(static_cast<unsigned char>(code));
    }
    return out;
}

}  // namespace ZemDx
