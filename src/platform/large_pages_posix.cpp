#include <sys/mman.h>

#include <cstdint>

#include "platform/large_pages.h"

namespace platform {

void AdviseLargePages(void* data, size_t size) {
#ifdef MADV_HUGEPAGE
  if (size < kLargePageHintFrom) return;
  // Transparent huge pages cover aligned 2 MiB extents only.
  constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<uintptr_t>(data);
  const uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t last = (begin + size) & ~(kLargePage - 1);
  if (first < last) {
    // A refusal (a kernel without them) leaves ordinary pages.
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace platform
