// Table rows: appends, in-place updates, deletes by mask, identity values and
// the hash indexes of the keys.
#include "engine/storage/table.h"

#include <algorithm>

#include "engine/common/datetime.h"
#include "engine/common/errors.h"
#include "engine/function/scalar.h"
#include "engine/storage/row_index.h"

namespace orv::engine {
namespace {

bool IdentityFits(const DataType& type, int64_t x) {
  switch (type.id) {
    case TypeId::TinyInt:
      return x >= 0 && x <= 255;
    case TypeId::SmallInt:
      return x >= INT16_MIN && x <= INT16_MAX;
    case TypeId::Int:
      return x >= INT32_MIN && x <= INT32_MAX;
    case TypeId::Decimal: {
      if (type.precision >= 19) return true;
      int64_t limit = 1;
      for (int d = 0; d < type.precision; ++d) limit *= 10;
      return x > -limit && x < limit;
    }
    default:
      return true;
  }
}

}  // namespace

Table::Table(std::string display_name, std::vector<ColumnSchema> schema, std::vector<KeyConstraint> keys)
    : name_(std::move(display_name)),
      schema_(std::move(schema)),
      arena_(std::make_shared<StringArena>()),
      keys_(std::move(keys)),
      key_indexes_(keys_.size()) {
  create_date_ = modify_date_ = datetime::Now();
  columns_.reserve(schema_.size());
  for (size_t i = 0; i < schema_.size(); ++i) {
    columns_.emplace_back(schema_[i].type, arena_.get());
    if (schema_[i].identity && identity_column_ < 0) identity_column_ = static_cast<int>(i);
  }
}

Table::~Table() = default;

namespace {

// Adds the keys of rows [first, last) of `columns` to `index`; false when one
// was there already. Stored strings live in the table's arena, so the index
// may point at them.
bool AddKeys(RowIndex& index, const KeyConstraint& key, const std::vector<Column>& columns, size_t first,
             size_t last) {
  std::vector<Value> values(key.columns.size());
  bool all_new = true;
  bool inserted = false;
  index.Reserve(index.size() + (last - first));
  for (size_t r = first; r < last; ++r) {
    for (size_t i = 0; i < values.size(); ++i) values[i] = columns[key.columns[i]].Get(r);
    index.FindOrInsert(values.data(), inserted);
    all_new = all_new && inserted;
  }
  return all_new;
}

}  // namespace

const RowIndex& Table::KeyIndex(size_t k) {
  if (!key_indexes_[k]) {
    for (size_t c : keys_[k].columns) column(c);
    key_indexes_[k] = std::make_unique<RowIndex>(keys_[k].columns.size());
    AddKeys(*key_indexes_[k], keys_[k], columns_, 0, row_count_);
  }
  return *key_indexes_[k];
}

int Table::IndexRows(size_t first) {
  int repeated = -1;
  for (size_t k = 0; k < keys_.size(); ++k) {
    if (key_indexes_[k] && !AddKeys(*key_indexes_[k], keys_[k], columns_, first, row_count_) && repeated < 0) {
      repeated = static_cast<int>(k);
    }
  }
  return repeated;
}

void Table::DropKeyIndexes() {
  for (auto& index : key_indexes_) index.reset();
}

void Table::LoadLater(std::unique_ptr<const ColumnLoader> loader, size_t rows) {
  pending_ = std::make_unique<PendingColumns>(std::move(loader), columns_.size());
  row_count_ = rows;
  DropKeyIndexes();
}

void Table::LoadColumn(size_t index) const {
  const std::lock_guard<std::mutex> lock(pending_->mutex);
  if (!pending_->waiting[index].load(std::memory_order_relaxed)) return;  // another reader decoded it meanwhile
  // Decoding changes no value a reader can see: the rows were the table's from the start.
  auto& column = const_cast<Column&>(columns_[index]);
  // The column belongs to the table, not to the statement whose batch read it first.
  const UnrefusedAllocations whole;
  try {
    column.Reserve(row_count_);
    pending_->loader->Load(index, column);
  } catch (...) {
    column.Clear();
    throw;
  }
  pending_->waiting[index].store(false, std::memory_order_release);
}

void Table::LoadAll() {
  if (!pending_) return;
  for (size_t c = 0; c < columns_.size(); ++c) column(c);
  pending_.reset();
}

void Table::AppendRows(const std::vector<Value>& cells) {
  LoadAll();
  const UnrefusedAllocations whole;  // every column grows, or the table is torn
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

void Table::PushRow(const Value* values) {
  LoadAll();
  for (size_t c = 0; c < columns_.size(); ++c) {
    columns_[c].Reserve(row_count_ + 1);
    columns_[c].Append(values[c]);
  }
  ++row_count_;
}

void Table::AppendRow(const Value* values) {
  PushRow(values);
  IndexRows(row_count_ - 1);
}

int Table::AppendRowUniquely(const Value* values, size_t rows) {
  for (size_t k = 0; k < keys_.size(); ++k) {
    if (!key_indexes_[k]) KeyIndex(k);
    key_indexes_[k]->Reserve(rows);
  }
  PushRow(values);
  return IndexRows(row_count_ - 1);
}

void Table::DeleteRows(const std::vector<uint8_t>& doomed) {
  LoadAll();
  const UnrefusedAllocations whole;
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
  // Old strings are unreachable now; a fresh arena returns their memory.
  TakeContents();
}

Table::Contents Table::TakeContents() {
  LoadAll();
  Contents old{std::move(arena_), std::move(shared_), std::move(columns_), row_count_, last_identity_};
  shared_.clear();
  row_count_ = 0;
  last_identity_.reset();
  DropKeyIndexes();
  arena_ = std::make_shared<StringArena>();
  columns_.clear();
  for (const ColumnSchema& schema : schema_) columns_.emplace_back(schema.type, arena_.get());
  return old;
}

void Table::RestoreContents(Contents contents) {
  LoadAll();
  arena_ = std::move(contents.arena);
  shared_ = std::move(contents.shared);
  columns_ = std::move(contents.columns);
  row_count_ = contents.row_count;
  last_identity_ = contents.last_identity;
  DropKeyIndexes();
}

void Table::TruncateRows(size_t rows) {
  LoadAll();
  if (rows > row_count_) return;
  // Columns past row_count_ hold part of a row whose append was refused memory halfway.
  for (Column& column : columns_) column.Truncate(rows);
  if (rows == row_count_) return;
  row_count_ = rows;
  DropKeyIndexes();
}

void Table::RestoreDeleted(const std::vector<uint8_t>& doomed, const std::vector<Value>& removed) {
  LoadAll();
  const size_t width = columns_.size();
  std::vector<Value> merged(doomed.size());
  for (size_t c = 0; c < width; ++c) {
    size_t kept = 0;
    size_t gone = 0;
    for (size_t r = 0; r < doomed.size(); ++r) {
      merged[r] = doomed[r] ? removed[gone++ * width + c] : columns_[c].Get(kept++);
    }
    // Strings of both sources live in this table's arena, which Clear keeps.
    columns_[c].Clear();
    columns_[c].Reserve(merged.size());
    for (const Value& value : merged) columns_[c].Append(value);
  }
  row_count_ = doomed.size();
  DropKeyIndexes();
}

int64_t Table::NextIdentity() {
  const ColumnSchema& column = schema_[identity_column_];
  const Identity& identity = *column.identity;
  int64_t next = identity.seed;
  bool overflow = last_identity_ && __builtin_add_overflow(*last_identity_, identity.increment, &next);
  // Past the column type's range the insert fails and the counter stays where
  // it was, so nothing out of range is ever stored.
  if (overflow || !IdentityFits(column.type, next)) {
    Throw(ErrorCode::kArithmeticOverflow, {"IDENTITY", TypeDisplayName(column.type.id)});
  }
  last_identity_ = next;
  return next;
}

void Table::AddColumn(ColumnSchema schema, const std::vector<Value>& values) {
  LoadAll();
  modify_date_ = datetime::Now();
  schema_.push_back(std::move(schema));
  columns_.emplace_back(schema_.back().type, arena_.get());
  columns_.back().Reserve(values.size());
  for (const Value& value : values) columns_.back().Append(value);
  if (schema_.back().identity && identity_column_ < 0) identity_column_ = static_cast<int>(schema_.size() - 1);
}

void Table::DropColumn(size_t position) {
  LoadAll();
  modify_date_ = datetime::Now();
  schema_.erase(schema_.begin() + static_cast<std::ptrdiff_t>(position));
  columns_.erase(columns_.begin() + static_cast<std::ptrdiff_t>(position));
  for (KeyConstraint& key : keys_) {
    for (size_t& c : key.columns) c -= c > position ? 1 : 0;
  }
  const int dropped = static_cast<int>(position);
  if (identity_column_ == dropped) last_identity_.reset();
  identity_column_ = identity_column_ == dropped ? -1 : identity_column_ - (identity_column_ > dropped ? 1 : 0);
}

void Table::ReplaceColumn(size_t position, ColumnSchema schema, const std::vector<Value>& values) {
  LoadAll();
  modify_date_ = datetime::Now();
  Column replacement(schema.type, arena_.get());
  replacement.Reserve(values.size());
  for (const Value& value : values) replacement.Append(value);
  columns_[position] = std::move(replacement);
  schema_[position] = std::move(schema);
  DropKeyIndexes();
}

void Table::InsertColumn(size_t position, ColumnSchema schema, const std::vector<Value>& values) {
  LoadAll();
  modify_date_ = datetime::Now();
  Column inserted(schema.type, arena_.get());
  inserted.Reserve(values.size());
  for (const Value& value : values) inserted.Append(value);
  const auto at = static_cast<std::ptrdiff_t>(position);
  columns_.insert(columns_.begin() + at, std::move(inserted));
  schema_.insert(schema_.begin() + at, std::move(schema));
  for (KeyConstraint& key : keys_) {
    for (size_t& c : key.columns) c += c >= position ? 1 : 0;
  }
  identity_column_ = -1;
  for (size_t i = 0; i < schema_.size() && identity_column_ < 0; ++i) {
    if (schema_[i].identity) identity_column_ = static_cast<int>(i);
  }
  DropKeyIndexes();
}

std::vector<std::shared_ptr<const StringArena>> Table::text_storage() const {
  std::vector<std::shared_ptr<const StringArena>> storage{arena_};
  storage.insert(storage.end(), shared_.begin(), shared_.end());
  return storage;
}

void Table::ShareText(std::shared_ptr<const StringArena> storage) {
  if (storage == arena_ || std::find(shared_.begin(), shared_.end(), storage) != shared_.end()) return;
  shared_.push_back(std::move(storage));
}

void Table::SeedIdentityAfter(int64_t last) { last_identity_ = last; }

size_t Table::MemoryBytes() const {
  size_t bytes = arena_->MemoryBytes();
  for (const Column& column : columns_) bytes += column.MemoryBytes();
  return bytes;
}

}  // namespace orv::engine
