// Hashing and equality of keys; the RowIndex built on them.
#include "engine/execution/row_index.h"

#include "engine/function/scalar.h"

namespace orv::engine {

uint64_t HashKey(const Value* key, size_t width) {
  uint64_t hash = 0x9E3779B97F4A7C15ull;
  for (size_t i = 0; i < width; ++i) {
    uint64_t h = key[i].is_null ? 0x51ED27u : HashValue(key[i]);
    hash ^= h + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
  }
  return hash;
}

bool KeysEqual(const Value* a, const Value* b, size_t width) {
  for (size_t i = 0; i < width; ++i) {
    if (a[i].is_null != b[i].is_null) return false;
    if (!a[i].is_null && CompareValues(a[i], b[i]) != 0) return false;
  }
  return true;
}

size_t RowIndex::Probe(const Value* key, uint64_t hash) const {
  size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    if (slots_[i] == kEmpty) return i;
    if (hashes_[i] == hash && KeysEqual(Key(slots_[i]), key, width_)) return i;
  }
}

void RowIndex::Grow() {
  size_t capacity = slots_.empty() ? 16 : slots_.size() * 2;
  std::vector<size_t> old_slots = std::move(slots_);
  std::vector<uint64_t> old_hashes = std::move(hashes_);
  slots_.assign(capacity, kEmpty);
  hashes_.assign(capacity, 0);
  for (size_t i = 0; i < old_slots.size(); ++i) {
    if (old_slots[i] == kEmpty) continue;
    size_t mask = capacity - 1;
    size_t j = old_hashes[i] & mask;
    while (slots_[j] != kEmpty) j = (j + 1) & mask;
    slots_[j] = old_slots[i];
    hashes_[j] = old_hashes[i];
  }
}

size_t RowIndex::FindOrInsert(const Value* key, bool& inserted) {
  if ((count_ + 1) * 2 > slots_.size()) Grow();
  uint64_t hash = HashKey(key, width_);
  size_t slot = Probe(key, hash);
  if (slots_[slot] != kEmpty) {
    inserted = false;
    return slots_[slot];
  }
  keys_.insert(keys_.end(), key, key + width_);
  slots_[slot] = count_;
  hashes_[slot] = hash;
  inserted = true;
  return count_++;
}

int64_t RowIndex::Find(const Value* key) const {
  if (slots_.empty()) return -1;
  size_t slot = Probe(key, HashKey(key, width_));
  return slots_[slot] == kEmpty ? -1 : static_cast<int64_t>(slots_[slot]);
}

}  // namespace orv::engine
