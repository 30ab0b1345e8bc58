#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <vector>

namespace tessary {

// Memory for the large arrays of a mesh (coordinates, faces, renumbering slots). Where the
// system offers transparent huge pages on request, arrays of 64 KiB and more come from 2 MiB
// aligned regions advised for them: a 100 MB mesh then takes a few dozen page faults instead
// of some twenty thousand, and on virtual machines each 4 KiB fault costs 10-20 us. Smaller
// arrays, and every array elsewhere, come from operator new.
//
// Arrays up to 8 MiB share 32 MiB regions, handed out in order and never reused; a region goes
// back to the system once all its arrays are freed. An array whose size is a whole number of
// kLargeArrayPage starts on such a page and gives its pages back as soon as it is freed, so
// temporary lists should be sized so (giving back parts of huge pages would split them, and
// the system would then hand out cold pages for the next ones). Larger arrays get mappings of
// their own. Thread-safe.
inline constexpr std::size_t kLargeArrayPage = std::size_t{2} << 20;

void* AllocateLargeArray(std::size_t bytes);
// `bytes` must be the size the array was allocated with.
void FreeLargeArray(void* array, std::size_t bytes) noexcept;

template <typename T>
class LargeArrayAllocator {
  public:
    using value_type = T;

    LargeArrayAllocator() noexcept = default;
    template <typename U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        static_assert(alignof(T) <= alignof(std::max_align_t));
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(AllocateLargeArray(count * sizeof(T)));
    }
    void deallocate(T* array, std::size_t count) noexcept {
        FreeLargeArray(array, count * sizeof(T));
    }

    template <typename U>
    friend bool operator==(const LargeArrayAllocator&, const LargeArrayAllocator<U>&) noexcept {
        return true;
    }
};

template <typename T>
using LargeArray = std::vector<T, LargeArrayAllocator<T>>;

// The number of `T` that fill whole kLargeArrayPage pages and hold at least `count`.
template <typename T>
std::size_t WholePagesOf(std::size_t count) {
    const std::size_t pages = (count * sizeof(T) + kLargeArrayPage - 1) / kLargeArrayPage;
    return pages * kLargeArrayPage / sizeof(T);
}

}  // namespace tessary
