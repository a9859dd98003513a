#include "framework/HeapGrowth.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void GrowHeapInLargeSteps() {
#if defined(__GLIBC__)
  mallopt(M_TOP_PAD, 64 * 1024 * 1024);
#endif
}
