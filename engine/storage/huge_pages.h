// Large buffers that are filled right after they are reserved can ask for
// transparent huge pages, sparing a page fault every 4 KiB. Only whole 2 MiB
// pages inside the buffer are advised, and only before they are touched.
#pragma once

#include <cstddef>
#include <vector>

namespace orv::engine {

void AdviseHugePages(void* data, size_t bytes);

// Reserves room for `size` elements; the part past the current contents is
// untouched yet, so it may take huge pages.
template <typename T, typename Allocator>
void ReserveHugePages(std::vector<T, Allocator>& values, size_t size) {
  values.reserve(size);
  AdviseHugePages(values.data() + values.size(), (values.capacity() - values.size()) * sizeof(T));
}

// Before appending one element: a full buffer of a few huge pages or more
// moves into twice the room, advised before the copy touches it, so that a
// column grown an append at a time lies on huge pages as one reserved at
// once does (rows read out of order then miss the TLB far less).
template <typename T, typename Allocator>
void GrowOnHugePages(std::vector<T, Allocator>& values) {
  constexpr size_t kFrom = size_t{4} << 20;
  if (values.size() < values.capacity() || values.capacity() * sizeof(T) < kFrom) return;
  std::vector<T, Allocator> bigger;
  ReserveHugePages(bigger, values.capacity() * 2);
  bigger.insert(bigger.end(), values.begin(), values.end());
  values.swap(bigger);
}

}  // namespace orv::engine
