// LeakSanitizer's interface where the build has it: QV_LSAN is defined in AddressSanitizer
// builds (gcc and clang), so code can call __lsan_* only there.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define QV_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_LSAN 1
#endif
#endif
#ifdef QV_LSAN
#include <sanitizer/lsan_interface.h>
#endif
