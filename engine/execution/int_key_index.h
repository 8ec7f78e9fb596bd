// A hash map from single integer keys (every integer type keeps its value
// in Value::i) to a number of the caller's: the common case of joins on ID
// columns, with no general value comparison or hashing per probe. Keys
// known to lie in a narrow range (IDs) go in a plain array indexed by the
// key instead, which a probe reads with one load.
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
    if (!direct_.empty()) {
      size_t& number = direct_[Offset(key)];
      if (number == kMissing) number = kNew;
      return number;
    }
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Slot& slot = slots_[Position(key)];
    if (slot.number == kMissing) {
      slot = Slot{key, kNew};
      ++count_;
    }
    return slot.number;
  }
  // Before the first Entry: room for `count` keys, every one in [low, high]
  // (low > high: none). A range at most a few times the count is an array.
  void Reserve(size_t count, int64_t low, int64_t high) {
    if (low > high) return;
    const uint64_t range = static_cast<uint64_t>(high) - static_cast<uint64_t>(low) + 1;
    if (range != 0 && range <= 4 * count + 64) {
      low_ = low;
      direct_.assign(range, kMissing);
      return;
    }
    size_t slots = 16;
    while (slots < 2 * (count + 1)) slots *= 2;
    slots_.assign(slots, Slot{0, kMissing});
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
