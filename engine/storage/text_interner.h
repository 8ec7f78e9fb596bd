// Keeps one copy of each text a column stores while its texts repeat (names,
// codes, notes copied in from joined base data), so a million rows naming
// two hundred departments hold two hundred copies, not a million. A column
// whose texts turn out mostly distinct stops looking them up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "engine/common/string_arena.h"

namespace orv::engine {

class TextInterner {
 public:
  // An earlier copy equal to `text`, else a new copy in `arena`.
  std::string_view Keep(std::string_view text, StringArena& arena) { return Keep(text, Hash(text), arena); }
  // The same in two steps, so that keeping many texts overlaps their memory
  // waits: Prefetch starts loading the slot of a text's Hash, Keep takes it.
  static uint32_t Hash(std::string_view text) {
    const uint64_t hash = std::hash<std::string_view>{}(text);
    return static_cast<uint32_t>(hash ^ (hash >> 32));
  }
  void Prefetch(uint32_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(slots_.data() + (hash & (slots_.size() - 1)));
  }
  std::string_view Keep(std::string_view text, uint32_t hash, StringArena& arena);
  // False once the texts turned out mostly distinct: Keep only copies them.
  bool looking_up() const { return !gave_up_; }
  void Clear();
  size_t MemoryBytes() const { return slots_.capacity() * sizeof(Slot); }

 private:
  // A kept text and its hash, which a lookup compares first and growing reuses.
  struct Slot {
    const char* data = nullptr;  // null: a free slot (empty texts are never kept)
    uint32_t size = 0;
    uint32_t hash = 0;
  };
  // Twice as many slots, the kept texts placed again by their hashes.
  void Grow();

  std::vector<Slot> slots_;  // open addressing
  size_t used_ = 0;
  size_t looked_up_ = 0;
  bool gave_up_ = false;
};

}  // namespace orv::engine
