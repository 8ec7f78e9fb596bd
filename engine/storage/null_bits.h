// The null flags of a column, one bit a row: a byte a row was an eighth of a
// wide table's memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/storage/huge_pages.h"

namespace orv::engine {

class NullBits {
 public:
  size_t size() const { return size_; }
  bool operator[](size_t row) const { return (words_[row >> 6] >> (row & 63)) & 1; }

  void push_back(bool null) {
    if ((size_ & 63) == 0) words_.push_back(0);
    words_.back() |= static_cast<uint64_t>(null) << (size_ & 63);
    ++size_;
  }
  // Appends `count` (at most 64) flags at once: bit i of `bits` the i-th, every bit from `count` on clear.
  void Append(uint64_t bits, size_t count) {
    const size_t shift = size_ & 63;
    if (shift == 0) {
      words_.push_back(bits);
    } else {
      words_.back() |= bits << shift;
      if (shift + count > 64) words_.push_back(bits >> (64 - shift));
    }
    size_ += count;
  }
  void Set(size_t row, bool null) {
    const uint64_t bit = uint64_t{1} << (row & 63);
    words_[row >> 6] = null ? words_[row >> 6] | bit : words_[row >> 6] & ~bit;
  }
  // Keeps the first `rows` flags; the bits past them are cleared, as push_back expects.
  void Truncate(size_t rows) {
    if (rows >= size_) return;
    size_ = rows;
    words_.resize((rows + 63) / 64);
    if (rows & 63) words_.back() &= (uint64_t{1} << (rows & 63)) - 1;
  }
  // Keeps the flags whose entry in `keep` is set, in order.
  void Compact(const std::vector<uint8_t>& keep) {
    NullBits kept;
    kept.words_.reserve(words_.size());
    for (size_t row = 0; row < size_; ++row) {
      if (keep[row]) kept.push_back((*this)[row]);
    }
    *this = std::move(kept);
  }
  void Reserve(size_t rows) { ReserveHugePages(words_, (rows + 63) / 64); }
  size_t capacity() const { return words_.capacity() * 64; }
  void Clear() {
    words_.clear();
    size_ = 0;
  }
  const void* WordOf(size_t row) const { return words_.data() + (row >> 6); }
  size_t MemoryBytes() const { return words_.capacity() * sizeof(uint64_t); }

 private:
  std::vector<uint64_t> words_;
  size_t size_ = 0;
};

}  // namespace orv::engine
