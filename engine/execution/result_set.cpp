// ResultSet: a materialised result that owns the text of its strings, so it
// outlives the statement, the tables and the session that produced it.
#include "engine/common/string_arena.h"
#include "engine/execution/batch_result.h"

namespace orv::engine {

struct ResultSet::Storage {
  StringArena arena;
};

ResultSet::ResultSet() : storage_(std::make_unique<Storage>()) {}

ResultSet::ResultSet(std::vector<ColumnInfo> columns)
    : columns_(std::move(columns)), storage_(std::make_unique<Storage>()) {}

ResultSet::ResultSet(ResultSet&&) noexcept = default;
ResultSet& ResultSet::operator=(ResultSet&&) noexcept = default;
ResultSet::~ResultSet() = default;

ResultSet::ResultSet(const ResultSet& other) : columns_(other.columns_), storage_(std::make_unique<Storage>()) {
  cells_.reserve(other.cells_.size());
  for (size_t r = 0; r < other.row_count(); ++r) AppendRow(&other.cells_[r * columns_.size()]);
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
  for (size_t c = 0; c < columns_.size(); ++c) {
    Value value = values[c];
    if (!value.is_null && IsString(value.type)) value.set_s(storage_->arena.Copy(value.s()));
    cells_.push_back(value);
  }
}

}  // namespace orv::engine
