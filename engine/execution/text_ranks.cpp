// Ranking a column's texts under the collation; see text_ranks.h.
#include "engine/execution/text_ranks.h"

#include <algorithm>

#include "engine/common/collation.h"

namespace orv::engine {

bool RankTexts(const Column& column, TextRanks& out) {
  const size_t rows = column.size();
  if (column.storage() != Column::Storage::String || rows > kRankedRows) return false;
  const std::string_view* texts = column.texts();
  std::vector<uint32_t> order;
  for (uint32_t r = 0; r < rows; ++r) {
    if (!column.IsNull(r)) order.push_back(r);
  }
  std::sort(order.begin(), order.end(),
            [&](uint32_t x, uint32_t y) { return collation::Compare(texts[x], texts[y]) < 0; });
  out.ranks.assign(rows, 0);
  out.texts.clear();
  for (size_t i = 0; i < order.size(); ++i) {
    const std::string_view text = texts[order[i]];
    if (i == 0 || collation::Compare(out.texts.back(), text) != 0) {
      out.texts.push_back(text);
    } else if (out.texts.back() != text) {
      return false;
    }
    out.ranks[order[i]] = static_cast<uint32_t>(out.texts.size());
  }
  return true;
}

}  // namespace orv::engine
