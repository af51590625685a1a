// For tests that point a file reader at a device or a FIFO: should the reader not refuse it, the
// test process ends within seconds (SIGALRM) instead of blocking for ever, and a reader that
// keeps allocating fails at a data limit instead of taking the machine's memory. The data limit
// is left out under AddressSanitizer, whose shadow memory it would refuse.
#pragma once
#include <sys/resource.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define QV_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_TEST_UNDER_ASAN 1
#endif
#endif

inline void BoundThisTestProcess(unsigned seconds = 30) {
    ::alarm(seconds);
#ifndef QV_TEST_UNDER_ASAN
    const rlim_t limit = rlim_t{4} << 30;
    rlimit r{};
    if (::getrlimit(RLIMIT_DATA, &r) == 0 && (r.rlim_cur == RLIM_INFINITY || r.rlim_cur > limit)) {
        r.rlim_cur = limit;
        ::setrlimit(RLIMIT_DATA, &r);
    }
#endif
}
