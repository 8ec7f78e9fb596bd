// Keeps one copy of each text a column stores while its texts repeat (names,
// codes, notes copied in from joined base data), so a million rows naming
// two hundred departments hold two hundred copies, not a million. A column
// whose texts turn out mostly distinct stops looking them up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/common/string_arena.h"

namespace orv::engine {

class TextInterner {
 public:
  // An earlier copy equal to `text`, else a new copy in `arena`.
  std::string_view Keep(std::string_view text, StringArena& arena);
  void Clear();
  size_t MemoryBytes() const { return slots_.capacity() * sizeof(std::string_view); }

 private:
  void Grow();

  std::vector<std::string_view> slots_;  // open addressing; empty views are free slots
  size_t used_ = 0;
  size_t looked_up_ = 0;
  bool gave_up_ = false;
};

}  // namespace orv::engine
