#include "model/HeapAdvice.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#endif

namespace tessary {

#if defined(__linux__) && defined(__GLIBC__)

namespace {

constexpr std::uintptr_t kHugePage = 2u << 20;
// Each growth of the heap reserves this much beyond what was asked (virtual memory only, until
// touched), which is the room that gets advised.
constexpr int kTopPad = 32 << 20;

std::atomic<std::uintptr_t> advisedEnd{0};

}  // namespace

void AdviseHugePagesForHeapGrowth() {
    static const bool padded = mallopt(M_TOP_PAD, kTopPad) == 1;
    (void)padded;
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    std::uintptr_t known = advisedEnd.load(std::memory_order_relaxed);
    if (known == 0 || end < known) {
        // First call, or the heap shrank: start from here.
        advisedEnd.store(end, std::memory_order_relaxed);
        return;
    }
    const std::uintptr_t from = (known + kHugePage - 1) & ~(kHugePage - 1);
    if (end <= from + kHugePage) {
        return;
    }
    madvise(reinterpret_cast<void*>(from), end - from, MADV_HUGEPAGE);
    advisedEnd.store(end, std::memory_order_relaxed);
}

#else

void AdviseHugePagesForHeapGrowth() {}

#endif

}  // namespace tessary
