// ResultSet: a materialised result that owns the text of its strings (or
// shares their storage), so it outlives the statement, the tables and the
// session that produced it.
#include "engine/common/string_arena.h"
#include "engine/execution/batch_result.h"
#include "engine/execution/column_split.h"

namespace orv::engine {

struct ResultSet::Storage {
  StringArena arena;
  std::vector<std::shared_ptr<const StringArena>> shared;  // texts appended where they are live here
};

ResultSet::ResultSet() : storage_(std::make_unique<Storage>()) {}

ResultSet::ResultSet(std::vector<ColumnInfo> columns)
    : columns_(std::move(columns)), values_(columns_.size()), storage_(std::make_unique<Storage>()) {}

ResultSet::ResultSet(ResultSet&&) noexcept = default;
ResultSet& ResultSet::operator=(ResultSet&&) noexcept = default;
ResultSet::~ResultSet() = default;

ResultSet::ResultSet(const ResultSet& other)
    : columns_(other.columns_), values_(columns_.size()), storage_(std::make_unique<Storage>()) {
  std::vector<Value> row(columns_.size());
  for (size_t r = 0; r < other.row_count(); ++r) {
    for (size_t c = 0; c < row.size(); ++c) row[c] = other.at(r, c);
    AppendRow(row.data());
  }
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
  for (size_t c = 0; c < values_.size(); ++c) values_[c].Append(values[c], &storage_->arena);
  ++rows_;
}

void ResultSet::AppendColumns(
    size_t count, const std::function<void(size_t column, ResultColumn& values, StringArena& arena)>& fill) {
  AppendColumns(count, fill, ColumnSplit());
}

void ResultSet::AppendColumns(
    size_t count, const std::function<void(size_t column, ResultColumn& values, StringArena& arena)>& fill,
    const ColumnSplit& split) {
  if (!storage_) storage_ = std::make_unique<Storage>();
  split.Run(values_.size(), count, [&](size_t c) { fill(c, values_[c], storage_->arena); });
  rows_ += count;
}

void ResultSet::ShareText(std::shared_ptr<const StringArena> storage) {
  if (!storage_) storage_ = std::make_unique<Storage>();
  for (const auto& held : storage_->shared) {
    if (held == storage) return;
  }
  storage_->shared.push_back(std::move(storage));
}

}  // namespace orv::engine
