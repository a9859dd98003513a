#include "framework/HeapGrowth.h"

#include <cstdint>
#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

void GrowHeapInLargeSteps() {
#if defined(__GLIBC__)
  constexpr size_t kStep = size_t{64} << 20;
  mallopt(M_TOP_PAD, kStep);
  mallopt(M_MMAP_THRESHOLD, kStep / 2);
  // The next block makes the heap take its first step; what lies above it up to the end of the heap is
  // offered for huge pages. A block that did not come from the heap (another allocator, a heap that
  // could not grow) lies elsewhere: then nothing is offered.
  void* first = std::malloc(size_t{1} << 20);
  constexpr uintptr_t kPage = 4096;
  const uintptr_t from = (reinterpret_cast<uintptr_t>(first) + kPage - 1) & ~(kPage - 1);
  const uintptr_t to = reinterpret_cast<uintptr_t>(sbrk(0));
  if (first && to > from && to - from <= 2 * kStep)
    madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
  std::free(first);
#endif
}
