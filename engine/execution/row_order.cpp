// The rows of a block sorted by position; see row_order.h.
#include "engine/execution/row_order.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "engine/execution/key_packing.h"
#include "engine/storage/column.h"

namespace orv::engine {
namespace {

// A table this small stays in cache however it is read.
constexpr size_t kCachedRows = size_t{1} << 16;

bool Ascending(const uint32_t* positions, size_t count) {
  for (size_t k = 1; k < count; ++k) {
    if (positions[k] < positions[k - 1]) return false;
  }
  return true;
}

}  // namespace

RowOrder::RowOrder(const uint32_t* positions, size_t count, size_t rows) : positions_(positions), count_(count) {
  if (rows <= kCachedRows || Ascending(positions, count)) return;
  // A missing row sorts as one past the table's last.
  std::vector<uint64_t> keys(positions, positions + count);
  for (uint64_t& key : keys) key = std::min<uint64_t>(key, rows);
  order_.resize(count);
  std::iota(order_.begin(), order_.end(), 0u);
  RadixSort(keys, order_, std::bit_width(rows));
  sorted_.resize(count);
  for (size_t i = 0; i < count; ++i) sorted_[i] = keys[i] == rows ? Column::kNoRow : static_cast<uint32_t>(keys[i]);
}

}  // namespace orv::engine
