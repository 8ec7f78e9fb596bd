// Ranking a column's texts under the collation; see text_ranks.h.
#include "engine/execution/text_ranks.h"

#include <algorithm>

#include "engine/common/collation.h"

namespace orv::engine {

bool RankTexts(const Column& column, TextRanks& out) {
  const size_t rows = column.size();
  if (column.storage() != Column::Storage::String || rows > kRankedRows) return false;
  // What gets sorted: a coded column's codes in use, each once; else the rows.
  const bool coded = column.coded();
  auto key_of = [&](uint32_t row) { return coded ? column.codes()[row] : row; };
  auto text_of = [&](uint32_t key) { return coded ? column.dictionary()[key] : column.Text(key); };
  std::vector<uint32_t> rank_of(coded ? column.dictionary().size() : rows, 0);  // per key, 1 once seen
  std::vector<uint32_t> order;
  for (uint32_t r = 0; r < rows; ++r) {
    if (column.IsNull(r) || rank_of[key_of(r)] != 0) continue;
    rank_of[key_of(r)] = 1;
    order.push_back(key_of(r));
  }
  std::sort(order.begin(), order.end(),
            [&](uint32_t x, uint32_t y) { return collation::Compare(text_of(x), text_of(y)) < 0; });
  out.texts.clear();
  for (size_t i = 0; i < order.size(); ++i) {
    const std::string_view text = text_of(order[i]);
    if (i == 0 || collation::Compare(out.texts.back(), text) != 0) {
      out.texts.push_back(text);
    } else if (out.texts.back() != text) {
      return false;
    }
    rank_of[order[i]] = static_cast<uint32_t>(out.texts.size());
  }
  out.ranks.resize(rows);
  for (uint32_t r = 0; r < rows; ++r) out.ranks[r] = column.IsNull(r) ? 0 : rank_of[key_of(r)];
  return true;
}

}  // namespace orv::engine
