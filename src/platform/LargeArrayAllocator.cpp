#include "platform/LargeArrayAllocator.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>

#include <mutex>
#endif

// Under the address sanitizer every array comes from operator new, where overruns are caught.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSARY_PLAIN_ARRAYS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TESSARY_PLAIN_ARRAYS 1
#endif

namespace tessary {

#if defined(__linux__) && !defined(TESSARY_PLAIN_ARRAYS)

namespace {

constexpr std::size_t kSmall = std::size_t{64} << 10;
constexpr std::size_t kHugePage = kLargeArrayPage;
constexpr std::size_t kRegion = std::size_t{32} << 20;
constexpr std::size_t kShared = kRegion / 4;  // larger arrays get mappings of their own
constexpr std::size_t kAlign = 64;

// Sits at the start of each shared region, which is aligned to its own size, so that an
// array finds its region by masking its address.
struct RegionHeader {
    std::size_t used;  // bytes handed out, header included
    std::size_t live;  // arrays not yet freed
};
constexpr std::size_t kHeaderBytes = (sizeof(RegionHeader) + kAlign - 1) & ~(kAlign - 1);

std::mutex regionMutex;
RegionHeader* currentRegion = nullptr;

std::size_t RoundUp(std::size_t value, std::size_t step) {
    return (value + step - 1) & ~(step - 1);
}

// A private anonymous mapping of `bytes` aligned to `alignment` (both multiples of the huge
// page), advised for huge pages; null when the system has no room.
void* MapAligned(std::size_t bytes, std::size_t alignment) {
    const std::size_t reserve = bytes + alignment;
    void* raw = mmap(nullptr, reserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        return nullptr;
    }
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = RoundUp(start, alignment);
    if (aligned > start) {
        munmap(raw, aligned - start);
    }
    const std::uintptr_t tail = aligned + bytes;
    if (start + reserve > tail) {
        munmap(reinterpret_cast<void*>(tail), start + reserve - tail);
    }
    void* block = reinterpret_cast<void*>(aligned);
    // Only advice: where huge pages are off, the mapping still works with small pages.
    madvise(block, bytes, MADV_HUGEPAGE);
    return block;
}

}  // namespace

void* AllocateLargeArray(std::size_t bytes) {
    if (bytes < kSmall) {
        return ::operator new(bytes);
    }
    if (bytes > kShared) {
        if (bytes > std::numeric_limits<std::size_t>::max() - 2 * kHugePage) {
            throw std::bad_alloc();
        }
        void* block = MapAligned(RoundUp(bytes, kHugePage), kHugePage);
        if (!block) {
            throw std::bad_alloc();
        }
        return block;
    }
    const std::size_t size = RoundUp(bytes, kAlign);
    const std::size_t alignment = bytes % kHugePage == 0 ? kHugePage : kAlign;
    std::lock_guard<std::mutex> lock(regionMutex);
    if (!currentRegion || kRegion - RoundUp(currentRegion->used, alignment) < size) {
        void* block = MapAligned(kRegion, kRegion);
        if (!block) {
            throw std::bad_alloc();
        }
        RegionHeader* previous = currentRegion;
        currentRegion = static_cast<RegionHeader*>(block);
        currentRegion->used = kHeaderBytes;
        currentRegion->live = 0;
        if (previous && previous->live == 0) {
            munmap(previous, kRegion);
        }
    }
    currentRegion->used = RoundUp(currentRegion->used, alignment);
    char* array = reinterpret_cast<char*>(currentRegion) + currentRegion->used;
    currentRegion->used += size;
    ++currentRegion->live;
    return array;
}

void FreeLargeArray(void* array, std::size_t bytes) noexcept {
    if (!array) {
        return;
    }
    if (bytes < kSmall) {
        ::operator delete(array);
        return;
    }
    if (bytes > kShared) {
        munmap(array, RoundUp(bytes, kHugePage));
        return;
    }
    std::lock_guard<std::mutex> lock(regionMutex);
    auto* region = reinterpret_cast<RegionHeader*>(reinterpret_cast<std::uintptr_t>(array) &
                                                   ~(std::uintptr_t{kRegion} - 1));
    if (--region->live == 0) {
        if (region == currentRegion) {
            currentRegion = nullptr;
        }
        munmap(region, kRegion);
    } else if (bytes % kHugePage == 0) {
        // Whole huge pages of its own: they go back now, and whole, so the system can hand
        // them out again as they are.
        madvise(array, bytes, MADV_DONTNEED);
    }
}

#else

void* AllocateLargeArray(std::size_t bytes) {
    return ::operator new(bytes);
}

void FreeLargeArray(void* array, std::size_t) noexcept {
    ::operator delete(array);
}

#endif

}  // namespace tessary
