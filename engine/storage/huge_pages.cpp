// Transparent huge pages through madvise; see huge_pages.h.
#include "engine/storage/huge_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace orv::engine {

void AdviseHugePages(void* data, size_t bytes) {
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  if (data == nullptr || bytes < 2 * kHugePage) return;
  auto begin = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  auto end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHugePage - 1);
  // Advice only: where the kernel declines, the buffer works as before.
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace orv::engine
