// What a process that runs statement after statement does with the memory a
// statement frees. Handed back to the system, it comes back as fresh pages the
// kernel must clear on first touch, which for a report over a million rows is
// a good part of its time. Kept, the next statement reuses it as it is.
#pragma once

namespace orv::engine {

// Keeps freed memory in the process for reuse, up to a quarter of the
// machine's physical memory (at most 2 GiB); more than that is handed back.
// Buffers up to 32 MiB come from the allocator's heap, not from mappings of
// their own that freeing would unmap. Every thread takes from the same heap,
// so what one thread frees another reuses. Call once, at the start of main,
// before any other thread starts.
void KeepFreedMemory();

}  // namespace orv::engine
