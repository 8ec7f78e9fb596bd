// Large buffers that are filled right after they are reserved can ask for
// transparent huge pages, sparing a page fault every 4 KiB. Only whole 2 MiB
// pages inside the buffer are advised, and only before they are touched.
#pragma once

#include <cstddef>

namespace orv::engine {

void AdviseHugePages(void* data, size_t bytes);

}  // namespace orv::engine
