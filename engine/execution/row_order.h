// The rows of a block in the order of their positions in one table. A join
// hands on the rows of one key at a time, spread over the whole table:
// copying a column in that order waits on memory for nearly every value,
// while reading the table front to back and writing each value where its
// row falls keeps both sides in cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv::engine {

class RowOrder {
 public:
  // The `count` rows of a block by their `positions` in a table of `rows`
  // rows, a missing row (Column::kNoRow) last; the block's own order where
  // that already is it or the table is small enough to stay in cache.
  RowOrder(const uint32_t* positions, size_t count, size_t rows);

  size_t size() const { return count_; }
  // The block row that comes `i`th, and its position.
  size_t Row(size_t i) const { return order_.empty() ? i : order_[i]; }
  uint32_t Position(size_t i) const { return order_.empty() ? positions_[i] : sorted_[i]; }
  // The same as arrays: the rows (null in the block's own order) and the positions.
  const uint32_t* rows() const { return order_.empty() ? nullptr : order_.data(); }
  const uint32_t* positions() const { return order_.empty() ? positions_ : sorted_.data(); }

 private:
  const uint32_t* positions_;
  size_t count_;
  std::vector<uint32_t> order_;   // empty: the block's order
  std::vector<uint32_t> sorted_;  // positions_ in that order
};

}  // namespace orv::engine
