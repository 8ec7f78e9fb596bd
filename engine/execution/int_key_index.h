// A hash map from single integer keys (every integer type keeps its value
// in Value::i) to a number of the caller's: the common case of joins on ID
// columns, with no general value comparison or hashing per probe. Once
// filled, keys spread thinly over a narrow range (IDs) may move to a plain
// array indexed by the key, which a probe reads with one load.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv::engine {

class IntKeyIndex {
 public:
  static constexpr size_t kMissing = static_cast<size_t>(-1);

  // The number stored for `key`; kNew when the key is new, and the caller
  // then stores a number (never kMissing, which marks empty slots).
  static constexpr size_t kNew = kMissing - 1;
  size_t& Entry(int64_t key) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Slot& slot = slots_[Position(key)];
    if (slot.number == kMissing) {
      slot = Slot{key, kNew};
      ++count_;
    }
    return slot.number;
  }
  // Starts loading the slot of `key`, for a Find soon after.
  void Prefetch(int64_t key) const {
    if (!direct_.empty()) {
      const uint64_t at = Offset(key);
      if (at < direct_.size()) __builtin_prefetch(direct_.data() + at);
      return;
    }
    if (!slots_.empty()) __builtin_prefetch(&slots_[Hash(key) & (slots_.size() - 1)]);
  }
  // The number stored for `key`, or kMissing.
  size_t Find(int64_t key) const {
    if (!direct_.empty()) {
      const uint64_t at = Offset(key);
      return at < direct_.size() ? direct_[at] : kMissing;
    }
    return slots_.empty() ? kMissing : slots_[Position(key)].number;
  }
  // After the last Entry: moves the keys to an array indexed by key when
  // their range is at most a few times their count, no bigger than the slots.
  void Settle() {
    if (count_ == 0) return;
    int64_t high = INT64_MIN;
    low_ = INT64_MAX;
    for (const Slot& slot : slots_) {
      if (slot.number == kMissing) continue;
      low_ = std::min(low_, slot.key);
      high = std::max(high, slot.key);
    }
    const uint64_t range = static_cast<uint64_t>(high) - static_cast<uint64_t>(low_) + 1;
    if (range == 0 || range > 4 * count_ + 64 || range > 2 * slots_.size()) return;
    direct_.assign(range, kMissing);
    for (const Slot& slot : slots_) {
      if (slot.number != kMissing) direct_[Offset(slot.key)] = slot.number;
    }
    slots_ = {};
  }

 private:
  struct Slot {
    int64_t key;
    size_t number;
  };

  uint64_t Offset(int64_t key) const { return static_cast<uint64_t>(key) - static_cast<uint64_t>(low_); }
  static uint64_t Hash(int64_t key) {
    uint64_t x = static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull;
    return x ^ (x >> 29);
  }
  // The slot holding `key`, or the empty slot where it belongs.
  size_t Position(int64_t key) const {
    size_t mask = slots_.size() - 1;
    size_t i = Hash(key) & mask;
    while (slots_[i].number != kMissing && slots_[i].key != key) i = (i + 1) & mask;
    return i;
  }
  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{0, kMissing});
    for (const Slot& slot : old) {
      if (slot.number != kMissing) slots_[Position(slot.key)] = slot;
    }
  }

  size_t count_ = 0;
  std::vector<Slot> slots_;
  int64_t low_ = 0;             // the smallest key, with direct_
  std::vector<size_t> direct_;  // per key from low_ on, its number (kMissing: none)
};

}  // namespace orv::engine
