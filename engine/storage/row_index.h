// A hash index over keys of a fixed number of values, with SQL grouping
// equality: NULL equals NULL, strings compare under the collation. Used by
// grouping, DISTINCT, the set operators and the build side of hash joins.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/common/value.h"

namespace orv::engine {

uint64_t HashKey(const Value* key, size_t width);
bool KeysEqual(const Value* a, const Value* b, size_t width);

class RowIndex {
 public:
  explicit RowIndex(size_t width) : width_(width) {}

  // The number of the key equal to `key`, adding it when new (`inserted`).
  size_t FindOrInsert(const Value* key, bool& inserted) { return FindOrInsert(key, HashKey(key, width_), inserted); }
  // The same with the key's hash already known (HashKey over the index's width).
  size_t FindOrInsert(const Value* key, uint64_t hash, bool& inserted);
  // Starts loading the slot where a key of `hash` would be: callers with many
  // keys at hand hash them all first, so the memory waits overlap.
  void Prefetch(uint64_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  }
  // The number of an equal key, or -1.
  int64_t Find(const Value* key) const { return Find(key, HashKey(key, width_)); }
  int64_t Find(const Value* key, uint64_t hash) const;
  const Value* Key(size_t number) const { return keys_.data() + number * width_; }
  size_t size() const { return count_; }
  // Room for `keys` keys in all, so that adding them rehashes nothing.
  void Reserve(size_t keys);

 private:
  static constexpr size_t kEmpty = static_cast<size_t>(-1);
  // The slot holding `key` (hash `hash`), or the empty slot where it belongs.
  size_t Probe(const Value* key, uint64_t hash) const;
  void Grow() { Rehash(slots_.empty() ? 16 : slots_.size() * 2); }
  void Rehash(size_t capacity);

  size_t width_;
  size_t count_ = 0;
  std::vector<Value> keys_;
  // Open addressing with linear probing; a slot keeps the key's hash beside
  // its number so most mismatches are settled without touching the key.
  struct Slot {
    uint64_t hash;
    size_t number;
  };
  std::vector<Slot> slots_;
};

}  // namespace orv::engine
