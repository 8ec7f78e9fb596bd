// Table rows: appends, in-place updates, deletes by mask, identity values and
// the hash indexes of the keys.
#include "engine/storage/table.h"

#include "engine/storage/row_index.h"

namespace orv::engine {

Table::Table(std::string display_name, std::vector<ColumnSchema> schema, std::vector<KeyConstraint> keys)
    : name_(std::move(display_name)),
      schema_(std::move(schema)),
      arena_(std::make_unique<StringArena>()),
      keys_(std::move(keys)),
      key_indexes_(keys_.size()) {
  columns_.reserve(schema_.size());
  for (size_t i = 0; i < schema_.size(); ++i) {
    columns_.emplace_back(schema_[i].type, arena_.get());
    if (schema_[i].identity && identity_column_ < 0) identity_column_ = static_cast<int>(i);
  }
}

Table::~Table() = default;

namespace {

// Adds the keys of rows [first, last) of `columns` to `index`. Stored strings
// live in the table's arena, so the index may point at them.
void AddKeys(RowIndex& index, const KeyConstraint& key, const std::vector<Column>& columns, size_t first,
             size_t last) {
  std::vector<Value> values(key.columns.size());
  bool inserted = false;
  for (size_t r = first; r < last; ++r) {
    for (size_t i = 0; i < values.size(); ++i) values[i] = columns[key.columns[i]].Get(r);
    index.FindOrInsert(values.data(), inserted);
  }
}

}  // namespace

const RowIndex& Table::KeyIndex(size_t k) {
  if (!key_indexes_[k]) {
    key_indexes_[k] = std::make_unique<RowIndex>(keys_[k].columns.size());
    AddKeys(*key_indexes_[k], keys_[k], columns_, 0, row_count_);
  }
  return *key_indexes_[k];
}

void Table::IndexRows(size_t first) {
  for (size_t k = 0; k < keys_.size(); ++k) {
    if (key_indexes_[k]) AddKeys(*key_indexes_[k], keys_[k], columns_, first, row_count_);
  }
}

void Table::DropKeyIndexes() {
  for (auto& index : key_indexes_) index.reset();
}

void Table::AppendRows(const std::vector<Value>& cells) {
  size_t width = columns_.size();
  if (width == 0) return;
  size_t rows = cells.size() / width;
  for (size_t c = 0; c < width; ++c) {
    Column& column = columns_[c];
    column.Reserve(row_count_ + rows);
    for (size_t r = 0; r < rows; ++r) column.Append(cells[r * width + c]);
  }
  row_count_ += rows;
  IndexRows(row_count_ - rows);
}

void Table::DeleteRows(const std::vector<uint8_t>& doomed) {
  std::vector<uint8_t> keep(doomed.size());
  size_t kept = 0;
  for (size_t i = 0; i < doomed.size(); ++i) {
    keep[i] = doomed[i] ? 0 : 1;
    kept += keep[i];
  }
  for (Column& column : columns_) column.Compact(keep);
  row_count_ = kept;
  DropKeyIndexes();
}

void Table::Truncate() {
  for (Column& column : columns_) column.Clear();
  row_count_ = 0;
  last_identity_.reset();
  DropKeyIndexes();
  // Old strings are unreachable now; a fresh arena returns their memory.
  auto fresh = std::make_unique<StringArena>();
  columns_.clear();
  for (const ColumnSchema& schema : schema_) columns_.emplace_back(schema.type, fresh.get());
  arena_ = std::move(fresh);
}

int64_t Table::NextIdentity() {
  const Identity& identity = *schema_[identity_column_].identity;
  int64_t next = last_identity_ ? *last_identity_ + identity.increment : identity.seed;
  last_identity_ = next;
  return next;
}

void Table::SeedIdentityAfter(int64_t last) { last_identity_ = last; }

size_t Table::MemoryBytes() const {
  size_t bytes = arena_->MemoryBytes();
  for (const Column& column : columns_) bytes += column.MemoryBytes();
  return bytes;
}

}  // namespace orv::engine
