// Hashing and equality of keys; the RowIndex built on them.
#include "engine/storage/row_index.h"

#include <algorithm>

#include "engine/common/types.h"
#include "engine/function/scalar.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine {

uint64_t HashKey(const Value* key, size_t width) {
  // Integers hash exactly as HashValue hashes them (so as a decimal of the
  // same value), its round over the sign word worked out once.
  static const uint64_t kSignRound[2] = {MixBits(0), MixBits(~0ull)};
  uint64_t hash = 0x9E3779B97F4A7C15ull;
  for (size_t i = 0; i < width; ++i) {
    const Value& v = key[i];
    uint64_t h = v.is_null            ? 0x51ED27u
                 : IsInteger(v.type) ? MixBits(static_cast<uint64_t>(v.i) ^ kSignRound[v.i < 0])
                                     : HashValue(v);
    hash ^= h + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
  }
  return hash;
}

bool KeysEqual(const Value* a, const Value* b, size_t width) {
  for (size_t i = 0; i < width; ++i) {
    if (a[i].is_null != b[i].is_null) return false;
    if (a[i].is_null) continue;
    // Keys of one column share a type; integers need no general comparison.
    if (a[i].type == b[i].type && IsInteger(a[i].type)) {
      if (a[i].i != b[i].i) return false;
    } else if (CompareValues(a[i], b[i]) != 0) {
      return false;
    }
  }
  return true;
}

size_t RowIndex::Probe(const Value* key, uint64_t hash) const {
  size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.number == kEmpty) return i;
    if (slot.hash == hash && KeysEqual(Key(slot.number), key, width_)) return i;
  }
}

void RowIndex::Reserve(size_t keys) {
  size_t capacity = slots_.empty() ? 16 : slots_.size();
  while (capacity < keys * 2) capacity *= 2;
  if (capacity > slots_.size()) Rehash(capacity);
  if (keys * width_ > keys_.capacity()) ReserveHugePages(keys_, keys * width_);
}

void RowIndex::Rehash(size_t capacity) {
  std::vector<Slot> old_slots = std::move(slots_);
  slots_ = {};
  ReserveHugePages(slots_, capacity);
  slots_.assign(capacity, Slot{0, kEmpty});
  size_t mask = capacity - 1;
  for (const Slot& slot : old_slots) {
    if (slot.number == kEmpty) continue;
    size_t j = slot.hash & mask;
    while (slots_[j].number != kEmpty) j = (j + 1) & mask;
    slots_[j] = slot;
  }
  keys_.reserve(std::max(keys_.capacity(), capacity / 2 * width_));
}

size_t RowIndex::FindOrInsert(const Value* key, uint64_t hash, bool& inserted) {
  if ((count_ + 1) * 2 > slots_.size()) Grow();
  size_t slot = Probe(key, hash);
  if (slots_[slot].number != kEmpty) {
    inserted = false;
    return slots_[slot].number;
  }
  keys_.insert(keys_.end(), key, key + width_);
  slots_[slot] = Slot{hash, count_};
  inserted = true;
  return count_++;
}

int64_t RowIndex::Find(const Value* key, uint64_t hash) const {
  if (slots_.empty()) return -1;
  size_t number = slots_[Probe(key, hash)].number;
  return number == kEmpty ? -1 : static_cast<int64_t>(number);
}

}  // namespace orv::engine
