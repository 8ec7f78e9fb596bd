// A small table's text column as integers that sort and group as its texts
// do under the collation: each row's rank among the column's distinct texts,
// so text group keys pack into one integer like numbers do.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/storage/column.h"

namespace orv::engine {

struct TextRanks {
  std::vector<uint32_t> ranks;          // per row: 1 for the first text in order (NULL rows: 0)
  std::vector<std::string_view> texts;  // per rank - 1: its text
};

// Texts of at most this many rows are ranked; a larger column's sort would cost more than it saves.
inline constexpr size_t kRankedRows = size_t{1} << 14;

// The ranks of `column`'s texts, or false when two of them differ only in
// what the collation ignores ("a", "A "): a group of both then shows the
// text of its first row, which ranks cannot tell.
bool RankTexts(const Column& column, TextRanks& out);

}  // namespace orv::engine
