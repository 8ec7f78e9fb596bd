// Freed memory kept for reuse; see freed_memory.h.
#include "engine/common/freed_memory.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace orv::engine {

void KeepFreedMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return;
  const uint64_t quarter = static_cast<uint64_t>(pages) * static_cast<uint64_t>(page_size) / 4;
  // Free memory at the top of the heap beyond this is handed back, all of it at once.
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(std::min<uint64_t>(quarter, INT_MAX)));
  // The allocator's largest: a column's vectors are mostly below it.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
}

}  // namespace orv::engine
