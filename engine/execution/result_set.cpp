// ResultSet: a materialised result that owns the text of its strings, so it
// outlives the statement, the tables and the session that produced it.
#include "engine/common/string_arena.h"
#include "engine/execution/batch_result.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine {

struct ResultSet::Storage {
  StringArena arena;
};

namespace {

// About 8 MiB of values a chunk, a power of two rows (at least one).
unsigned ChunkShift(size_t width) {
  constexpr size_t kChunkValues = size_t{1} << 18;
  unsigned shift = 0;
  while (width > 0 && (size_t{2} << shift) * width <= kChunkValues) ++shift;
  return shift;
}

}  // namespace

ResultSet::ResultSet() : storage_(std::make_unique<Storage>()) {}

ResultSet::ResultSet(std::vector<ColumnInfo> columns)
    : columns_(std::move(columns)), chunk_shift_(ChunkShift(columns_.size())), storage_(std::make_unique<Storage>()) {}

ResultSet::ResultSet(ResultSet&&) noexcept = default;
ResultSet& ResultSet::operator=(ResultSet&&) noexcept = default;
ResultSet::~ResultSet() = default;

ResultSet::ResultSet(const ResultSet& other)
    : columns_(other.columns_), chunk_shift_(other.chunk_shift_), storage_(std::make_unique<Storage>()) {
  for (size_t r = 0; r < other.row_count(); ++r) AppendRow(&other.at(r, 0));
}

ResultSet& ResultSet::operator=(const ResultSet& other) {
  if (this != &other) {
    ResultSet copy(other);
    *this = std::move(copy);
  }
  return *this;
}

void ResultSet::AppendRow(const Value* values) {
  if (!storage_) storage_ = std::make_unique<Storage>();
  const size_t width = columns_.size();
  const size_t chunk_rows = size_t{1} << chunk_shift_;
  if ((rows_ & (chunk_rows - 1)) == 0) {
    chunks_.emplace_back();
    // The first chunk grows as rows come (most results are small); later
    // ones are taken whole, with huge pages.
    if (chunks_.size() > 1) ReserveHugePages(chunks_.back(), chunk_rows * width);
  }
  std::vector<Value>& chunk = chunks_.back();
  chunk.insert(chunk.end(), values, values + width);
  Value* row = chunk.data() + chunk.size() - width;
  for (size_t c = 0; c < width; ++c) {
    if (!row[c].is_null && IsString(row[c].type)) row[c].set_s(storage_->arena.Copy(row[c].s()));
  }
  ++rows_;
}

}  // namespace orv::engine
