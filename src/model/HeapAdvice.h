#pragma once

namespace tessary {

// Asks the kernel to back the part of the program's heap that grew since the last call with
// huge pages. A loaded tree is millions of small allocations; on machines where every fresh
// 4 KiB page costs a fault of several microseconds, that fault cost dominates a load, and huge
// pages cut it several-fold. The first call also lets the heap grow in large steps, so that the
// room that comes after each step is advised before it is touched. Harmless where the heap is
// not the classic program break (other threads' arenas, other C libraries): it does nothing.
void AdviseHugePagesForHeapGrowth();

}  // namespace tessary
