#include "platform/HeapAdvice.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <utility>
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

namespace {

// The whole pages of `alignment` inside a range, or an empty range.
std::pair<std::uintptr_t, std::uintptr_t> InnerPages(void* begin, std::size_t size,
                                                     std::uintptr_t alignment) {
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t from = (first + alignment - 1) & ~(alignment - 1);
    const std::uintptr_t to = (first + size) & ~(alignment - 1);
    return {from, to > from ? to : from};
}

}  // namespace

void AdviseHugePages(void* begin, std::size_t size) {
    const auto [from, to] = InnerPages(begin, size, kHugePage);
    if (to > from) {
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
}

void ReleasePages(void* begin, std::size_t size) {
    const auto [from, to] =
        InnerPages(begin, size, static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)));
    if (to > from) {
        madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
    }
}

#else

void AdviseHugePagesForHeapGrowth() {}
void AdviseHugePages(void*, std::size_t) {}
void ReleasePages(void*, std::size_t) {}

#endif

}  // namespace tessary
