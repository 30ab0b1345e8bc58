#pragma once

#include <cstddef>

namespace tessary {

// Asks the kernel to back the part of the program's heap that grew since the last call with
// huge pages. A loaded tree is millions of small allocations; on machines where every fresh
// 4 KiB page costs a fault of several microseconds, that fault cost dominates a load, and huge
// pages cut it several-fold. The first call also lets the heap grow in large steps, so that the
// room that comes after each step is advised before it is touched. Harmless where the heap is
// not the classic program break (other threads' arenas, other C libraries): it does nothing.
void AdviseHugePagesForHeapGrowth();

// Asks for huge pages for the whole pages inside a large buffer that is not touched yet.
void AdviseHugePages(void* begin, std::size_t size);

// Gives the whole pages inside [begin, begin + size) back to the system; they read as zeros
// afterwards. Only for private memory of this process whose contents are no longer needed.
void ReleasePages(void* begin, std::size_t size);

}  // namespace tessary
