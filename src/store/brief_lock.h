// lockBriefly: takes a lock that is held only for a copy or a few pointer
// moves, spinning a moment before sleeping. A thread that sleeps on a
// futex and is woken again costs tens of microseconds on the shops'
// virtual machines, more than a posting's whole work on one item, while
// the applier thread and the till meet on these locks many times a sale.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace kassio {

inline void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

// Lock is a std::unique_lock or std::shared_lock made with std::defer_lock.
template <typename Lock>
void lockBriefly(Lock& lock) {
    // About as long as a short section, well short of a time slice.
    constexpr int kSpins = 200;
    for (int i = 0; i < kSpins; ++i) {
        if (lock.try_lock()) return;
        cpuRelax();
    }
    lock.lock();
}

}  // namespace kassio
