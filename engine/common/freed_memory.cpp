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
  // One heap for every thread: a thread's own heap hands whole regions back
  // to the system as soon as they are empty, whatever the threshold above,
  // and the threads that copy a statement's columns take and free most of
  // its memory.
  mallopt(M_ARENA_MAX, 1);
}

}  // namespace orv::engine
