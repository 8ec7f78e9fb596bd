// A counting sort of a block's rows by position; see row_order.h.
#include "engine/execution/row_order.h"

#include <algorithm>

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
  // One bucket a position, the missing rows' after the table's last.
  std::vector<uint32_t> starts(rows + 2, 0);
  for (size_t k = 0; k < count; ++k) ++starts[std::min<size_t>(positions[k], rows) + 1];
  for (size_t p = 1; p < starts.size(); ++p) starts[p] += starts[p - 1];
  order_.resize(count);
  sorted_.resize(count);
  for (size_t k = 0; k < count; ++k) {
    const uint32_t at = starts[std::min<size_t>(positions[k], rows)]++;
    order_[at] = static_cast<uint32_t>(k);
    sorted_[at] = positions[k];
  }
}

}  // namespace orv::engine
