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

}  // namespace orv::engine
