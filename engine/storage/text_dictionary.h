// A text column's distinct texts, a code each, so that a column whose texts
// repeat (names, units, document numbers copied in from joined base data)
// keeps four bytes a row and one view a text instead of a view a row: a
// million rows naming two hundred departments hold a million codes and two
// hundred views. Entries are distinct byte strings: texts that only the
// collation calls equal ("a", "A ") get codes of their own, so every row
// reads back its own bytes. Code 0 is the empty text, which NULL rows hold too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "engine/common/string_arena.h"

namespace orv::engine {

class TextDictionary {
 public:
  TextDictionary();
  // A copy is a dictionary of its own (see id), its codes apt to part from the original's.
  TextDictionary(const TextDictionary& other);
  TextDictionary& operator=(const TextDictionary& other);
  TextDictionary(TextDictionary&&) noexcept = default;
  TextDictionary& operator=(TextDictionary&&) noexcept = default;

  static uint32_t Hash(std::string_view text) {
    const uint64_t hash = std::hash<std::string_view>{}(text);
    return static_cast<uint32_t>(hash ^ (hash >> 32));
  }
  // Starts loading the slot of a text's Hash, so that coding many texts overlaps their memory waits.
  void Prefetch(uint32_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(slots_.data() + (hash & (slots_.size() - 1)));
  }
  // The code of `text`, found or added. A new entry is a copy in `arena`, or
  // without one the very view, whose bytes whoever stores it keeps alive.
  uint32_t Code(std::string_view text, uint32_t hash, StringArena* arena);
  uint32_t Code(std::string_view text, StringArena* arena) { return Code(text, Hash(text), arena); }

  std::string_view operator[](uint32_t code) const { return entries_[code]; }
  size_t size() const { return entries_.size(); }
  // Tells one dictionary's codes from another's: a new number on every Clear
  // (codes only ever get added in between), unique across all dictionaries.
  // A column keeping a view a row renews it whenever a row's view changes
  // other than by appending, so that it names those rows' texts too.
  uint64_t id() const { return id_; }
  void Renew();
  // Whether a column of `rows` rows coded with it is better kept as a view a
  // row (its texts repeat too seldom to pay for coding them): decided once
  // enough rows went by to tell.
  bool MostlyDistinct(size_t rows) const;
  void Clear();
  size_t MemoryBytes() const;

 private:
  // An entry's code and hash, which a lookup compares first and growing reuses.
  struct Slot {
    uint32_t code = 0;  // 0: a free slot (the empty text is never looked up)
    uint32_t hash = 0;
  };
  // Twice as many slots, the entries placed again by their hashes.
  void Grow();

  std::vector<std::string_view> entries_;
  std::vector<Slot> slots_;  // open addressing, at most half full
  uint64_t id_;
};

}  // namespace orv::engine
