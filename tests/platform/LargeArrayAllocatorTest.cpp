#include "platform/LargeArrayAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "geometry/ObjMesh.h"

namespace tessary {
namespace {

// Under the address sanitizer the allocator hands out operator new's memory, which is aligned
// only as usual.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPagedArrays = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPagedArrays = false;
#else
constexpr bool kPagedArrays = true;
#endif
#else
constexpr bool kPagedArrays = true;
#endif

struct Array {
    unsigned char* data = nullptr;
    std::size_t bytes = 0;
    unsigned char mark = 0;
};

// Marks the first, middle and last byte of every page, so that two arrays that overlap, or an
// array whose memory went back to the system too early, show as a changed mark.
void Fill(const Array& array) {
    for (std::size_t at = 0; at < array.bytes; at += 4096) {
        array.data[at] = array.mark;
    }
    array.data[array.bytes / 2] = array.mark;
    array.data[array.bytes - 1] = array.mark;
}

bool Intact(const Array& array) {
    for (std::size_t at = 0; at < array.bytes; at += 4096) {
        if (array.data[at] != array.mark) {
            return false;
        }
    }
    return array.data[array.bytes / 2] == array.mark && array.data[array.bytes - 1] == array.mark;
}

Array Allocate(std::size_t bytes, unsigned char mark) {
    Array array{static_cast<unsigned char*>(AllocateLargeArray(bytes)), bytes, mark};
    Fill(array);
    return array;
}

TEST(LargeArrayAllocator, EverySizeClassHoldsItsBytesApartFromTheOthers) {
    const std::size_t kKiB = 1024;
    const std::size_t kMiB = 1024 * kKiB;
    const std::size_t sizes[] = {
        1,        64 * kKiB - 1, 64 * kKiB,    1 * kMiB + 3, 2 * kMiB,        2 * kMiB + 1,
        4 * kMiB, 8 * kMiB,      8 * kMiB + 1, 20 * kMiB,    kLargeArrayPage, 31 * kMiB};
    std::vector<Array> arrays;
    unsigned char mark = 1;
    for (std::size_t bytes : sizes) {
        arrays.push_back(Allocate(bytes, mark++));
        const auto address = reinterpret_cast<std::uintptr_t>(arrays.back().data);
        EXPECT_EQ(address % alignof(std::max_align_t), 0u) << bytes;
        if (kPagedArrays && bytes % kLargeArrayPage == 0) {
            EXPECT_EQ(address % kLargeArrayPage, 0u) << bytes;  // released whole when freed
        }
    }
    for (const Array& array : arrays) {
        EXPECT_TRUE(Intact(array)) << array.bytes;
    }
    for (const Array& array : arrays) {
        FreeLargeArray(array.data, array.bytes);
    }
}

// Arrays of the shared regions freed in random order while others stay: no live array may be
// disturbed when its neighbours' pages or whole regions go back to the system.
TEST(LargeArrayAllocator, FreeingInAnyOrderLeavesLiveArraysIntact) {
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> kind(0, 3);
    std::uniform_int_distribution<std::size_t> small(64 << 10, 3 << 20);
    std::vector<Array> live;
    for (int step = 0; step < 600; ++step) {
        if (!live.empty() && kind(random) == 0) {
            std::size_t victim = random() % live.size();
            ASSERT_TRUE(Intact(live[victim])) << step;
            FreeLargeArray(live[victim].data, live[victim].bytes);
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(victim));
            continue;
        }
        std::size_t bytes =
            kind(random) == 1 ? kLargeArrayPage * (1 + random() % 2) : small(random);
        live.push_back(Allocate(bytes, static_cast<unsigned char>(step)));
        if (live.size() > 60) {
            ASSERT_TRUE(Intact(live.front())) << step;
            FreeLargeArray(live.front().data, live.front().bytes);
            live.erase(live.begin());
        }
    }
    for (const Array& array : live) {
        EXPECT_TRUE(Intact(array));
        FreeLargeArray(array.data, array.bytes);
    }
}

TEST(LargeArrayAllocator, ThreadsShareTheRegionsSafely) {
    auto work = [](unsigned seed) {
        std::mt19937 random(seed);
        std::vector<Array> mine;
        bool intact = true;
        for (int step = 0; step < 300; ++step) {
            mine.push_back(Allocate((64 << 10) + random() % (1 << 20),
                                    static_cast<unsigned char>(seed * 31 + step)));
            if (mine.size() > 8) {
                std::size_t victim = random() % mine.size();
                intact = intact && Intact(mine[victim]);
                FreeLargeArray(mine[victim].data, mine[victim].bytes);
                mine.erase(mine.begin() + static_cast<std::ptrdiff_t>(victim));
            }
        }
        for (const Array& array : mine) {
            intact = intact && Intact(array);
            FreeLargeArray(array.data, array.bytes);
        }
        return intact;
    };
    bool results[4] = {};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 4; ++t) {
        threads.emplace_back([&results, &work, t] { results[t] = work(t + 1); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (bool intact : results) {
        EXPECT_TRUE(intact);
    }
}

TEST(LargeArrayAllocator, LargeArraysBehaveAsVectors) {
    LargeArray<std::int32_t> numbers;
    for (std::int32_t i = 0; i < 3'000'000; ++i) {  // grows through every size class
        numbers.push_back(i);
    }
    LargeArray<std::int32_t> copy = numbers;
    numbers.clear();
    numbers.shrink_to_fit();
    ASSERT_EQ(copy.size(), 3'000'000u);
    for (std::int32_t i = 0; i < 3'000'000; i += 999) {
        ASSERT_EQ(copy[static_cast<std::size_t>(i)], i);
    }
    EXPECT_EQ(WholePagesOf<std::int32_t>(1) * sizeof(std::int32_t), kLargeArrayPage);
    EXPECT_EQ(WholePagesOf<std::int32_t>(kLargeArrayPage / 4 + 1) * 4, 2 * kLargeArrayPage);
}

TEST(ObjChunkedList, IndexesRunsAndReleasesAcrossChunks) {
    struct Entry {
        std::uint64_t value;
        std::uint32_t pad[3];
    };
    constexpr std::size_t kChunk = ObjChunkedList<Entry>::kChunk;
    ObjChunkedList<Entry> list;
    const std::size_t count = 3 * kChunk + 5;
    for (std::size_t i = 0; i < count; ++i) {
        list.emplace_back().value = i;
    }
    ASSERT_EQ(list.size(), count);
    EXPECT_EQ(list.ChunkCount(), 4u);
    for (std::size_t i : {std::size_t{0}, std::size_t{15}, std::size_t{16}, kChunk - 1, kChunk,
                          2 * kChunk + 7, count - 1}) {
        EXPECT_EQ(list[i].value, i);
    }
    struct Span {
        std::size_t from;
        std::size_t count;
    } spans[] = {{0, 0}, {0, 1}, {kChunk - 3, 6}, {1, count - 1}, {2 * kChunk, kChunk + 5}};
    for (const Span& span : spans) {
        std::size_t expected = span.from;
        list.ForEachRun(span.from, span.count, [&](const Entry* run, std::size_t n) {
            EXPECT_GT(n, 0u);
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_EQ(run[i].value, expected++);
            }
        });
        EXPECT_EQ(expected, span.from + span.count);
    }
    list.ReleaseChunk(1);
    list.ReleaseChunk(1);  // twice is harmless
    EXPECT_EQ(list[2 * kChunk].value, 2 * kChunk);
    list.clear();
    EXPECT_EQ(list.size(), 0u);
    list.emplace_back().value = 42;  // usable again after clearing
    EXPECT_EQ(list[0].value, 42u);
}

}  // namespace
}  // namespace tessary
