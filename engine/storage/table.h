// A table of the engine: its schema (column types, nullability, defaults,
// identity) and its column storage. Base tables and temporary tables are the
// same class; who may see a table is the catalog's and the session's concern,
// and locking is the statement runner's.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/common/memory_budget.h"
#include "engine/common/string_arena.h"
#include "engine/common/types.h"
#include "engine/storage/column.h"
#include "engine/storage/column_loader.h"

namespace orv::engine {

struct Identity {
  int64_t seed = 1;
  int64_t increment = 1;
};

struct ColumnSchema {
  std::string name;
  DataType type;
  bool nullable = true;
  // The DEFAULT expression as written (empty: none), parsed and bound again
  // at every insert, so GETDATE() gives each statement its own time.
  std::string default_text;
  std::optional<Identity> identity;
  std::string collation;  // kept as written; every column compares under the database collation
};

// A PRIMARY KEY or UNIQUE constraint: no two rows have equal values in its
// columns, NULLs counting as equal (so UNIQUE allows one NULL).
struct KeyConstraint {
  std::string name;
  bool primary = false;
  std::vector<size_t> columns;  // positions in the schema
};

class RowIndex;

class Table {
 public:
  // `display_name` is the name used in messages ("#t" or "t_Item").
  Table(std::string display_name, std::vector<ColumnSchema> schema, std::vector<KeyConstraint> keys = {});
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  const std::string& name() const { return name_; }
  const std::vector<ColumnSchema>& schema() const { return schema_; }
  size_t column_count() const { return schema_.size(); }
  size_t row_count() const { return row_count_; }
  int64_t object_id() const { return object_id_; }
  // When the table was made and last changed in shape (DATETIME ticks), for the catalog views.
  int64_t create_date() const { return create_date_; }
  int64_t modify_date() const { return modify_date_; }
  void set_object_id(int64_t id) { object_id_ = id; }
  // Index of the identity column, or -1.
  int identity_column() const { return identity_column_; }

  Value Get(size_t row, size_t column) const { return this->column(column).Get(row); }
  // A column still on file is decoded here, by the first reader (824 when its bytes are damaged).
  const Column& column(size_t index) const {
    if (pending_ && pending_->waiting[index].load(std::memory_order_acquire)) LoadColumn(index);
    return columns_[index];
  }

  const std::vector<KeyConstraint>& keys() const { return keys_; }
  // The hash index of the stored values of key `k`. Appends keep it up to
  // date; after any other change it is built again on first use.
  const RowIndex& KeyIndex(size_t k);

  // Appends rows given row-major, `column_count()` values each, already of the
  // column types and checked against the schema and the keys.
  void AppendRows(const std::vector<Value>& cells);
  // Appends one row of `column_count()` values, as AppendRows.
  void AppendRow(const Value* values);
  // Appends one row not checked against the keys yet and adds it to every
  // key's index (built first when missing, with room for `rows` keys in all):
  // the first key whose index already held the row's values, or -1. After a
  // repeat only TruncateRows puts the table right.
  int AppendRowUniquely(const Value* values, size_t rows);
  // Appends `rows` rows a column at a time: `fill(c, column)` appends exactly
  // `rows` values, already of the column's type and checked against the
  // schema, to column c.
  template <typename Fill>
  void AppendColumns(size_t rows, Fill&& fill) {
    AppendColumnsSplit(
        rows,
        [&](auto&& fill_one) {
          for (size_t c = 0; c < columns_.size(); ++c) fill_one(c);
        },
        fill);
  }
  // The same with every column given room for the rows first, and
  // `split(fill_one)` calling fill_one(c) once for each column c, in any
  // order or on several threads at once (see Column for what may run so).
  template <typename Split, typename Fill>
  void AppendColumnsSplit(size_t rows, Split&& split, Fill&& fill) {
    LoadAll();
    const UnrefusedAllocations whole;  // every column grows, or the table is torn
    for (Column& column : columns_) column.Reserve(row_count_ + rows);
    split([&](size_t c) { fill(c, columns_[c]); });
    row_count_ += rows;
    IndexRows(row_count_ - rows);
  }
  // Room for `rows` rows in all.
  void Reserve(size_t rows) {
    for (Column& column : columns_) column.Reserve(rows);
  }
  void Set(size_t row, size_t column, const Value& value) {
    LoadAll();
    const UnrefusedAllocations whole;  // an UPDATE applies all its values or fails before the first
    columns_[column].Set(row, value);
    if (!keys_.empty()) DropKeyIndexes();
  }
  // Column `column` of rows `rows` takes `values` (see Column::SetRows), all or none.
  void SetRows(size_t column, const std::vector<int64_t>& rows, const Column& values, bool in_arena) {
    LoadAll();
    const UnrefusedAllocations whole;
    columns_[column].SetRows(rows.data(), values, in_arena);
    if (!keys_.empty()) DropKeyIndexes();
  }
  // A column apart from the table holding column `column`'s values at `rows`, texts as views into the table's arena.
  Column StoredValues(size_t column, const std::vector<int64_t>& rows) const {
    Column values(schema_[column].type, nullptr);
    values.AppendStored(this->column(column), rows.data(), rows.size());
    return values;
  }
  void DeleteRows(const std::vector<uint8_t>& doomed);
  // Empties the table and restarts its identity at the seed.
  void Truncate();

  // What undoing a change needs (see the change journal). Everything a table
  // holds besides its schema, so a TRUNCATE can be taken back whole.
  struct Contents {
    std::shared_ptr<StringArena> arena;
    std::vector<std::shared_ptr<const StringArena>> shared;
    std::vector<Column> columns;
    size_t row_count = 0;
    std::optional<int64_t> last_identity;
  };
  // Empties the table as Truncate does and hands back what it held.
  Contents TakeContents();
  void RestoreContents(Contents contents);
  // Drops rows [rows, row_count()): undoes appends.
  void TruncateRows(size_t rows);
  // Puts back the rows a DeleteRows(`doomed`) removed; `removed` holds their
  // values row-major, in row order.
  void RestoreDeleted(const std::vector<uint8_t>& doomed, const std::vector<Value>& removed);
  std::optional<int64_t> last_identity() const { return last_identity_; }
  // A table read from a file: `rows` rows (the table is empty) whose columns
  // `loader` decodes when each is first read. Every change decodes them all first.
  void LoadLater(std::unique_ptr<const ColumnLoader> loader, size_t rows);
  // The loader of column `index` while the column is still as the file stores
  // it, else null: a checkpoint copies such a column's bytes instead of encoding it again.
  const ColumnLoader* StillOnFile(size_t index) const {
    return pending_ && pending_->waiting[index].load(std::memory_order_acquire) ? pending_->loader.get() : nullptr;
  }
  void set_last_identity(std::optional<int64_t> last) { last_identity_ = last; }
  // Bytes the table's values take in memory: every column's vectors and the
  // text arena (a column still on file takes none).
  size_t MemoryBytes() const;
  // Where the texts of the table's values live: its arena and what it shares.
  // Holding them keeps the texts valid after the table is dropped, emptied
  // or changed (an arena only grows).
  std::vector<std::shared_ptr<const StringArena>> text_storage() const;
  // Keeps `storage` (another table's text storage, say) as long as the rows:
  // texts appended as they are, without a copy, may live there.
  void ShareText(std::shared_ptr<const StringArena> storage);
  // How many storages the table shares texts of: a table many statements fed
  // from tables dropped since would keep them all.
  size_t shared_text_count() const { return shared_.size(); }
  // The arena the table's own texts live in: a text copied there may be appended as it is.
  StringArena& text_arena() { return *arena_; }

  // ALTER TABLE: a column added at the end holding `values` (one a row,
  // already of its type); a column dropped (keys over later columns follow
  // it; the caller refuses to drop a key column); a column's schema and every
  // value replaced.
  void AddColumn(ColumnSchema schema, const std::vector<Value>& values);
  void DropColumn(size_t position);
  void ReplaceColumn(size_t position, ColumnSchema schema, const std::vector<Value>& values);
  // Undoing DropColumn: the column back at `position`, keys over later columns following it.
  void InsertColumn(size_t position, ColumnSchema schema, const std::vector<Value>& values);

  // The next identity value; each call consumes one.
  int64_t NextIdentity();
  // After explicit identity values are copied in (SELECT INTO): continue after `last`.
  void SeedIdentityAfter(int64_t last);

 private:
  std::string name_;
  std::vector<ColumnSchema> schema_;
  // Shared: a result set may keep views of its texts after the table is dropped or emptied.
  std::shared_ptr<StringArena> arena_;
  std::vector<std::shared_ptr<const StringArena>> shared_;  // see ShareText
  std::vector<Column> columns_;
  size_t row_count_ = 0;
  int64_t object_id_ = 0;
  int64_t create_date_ = 0;
  int64_t modify_date_ = 0;
  int identity_column_ = -1;
  std::optional<int64_t> last_identity_;
  std::vector<KeyConstraint> keys_;
  std::vector<std::unique_ptr<RowIndex>> key_indexes_;  // one per key; null until built
  std::unique_ptr<PendingColumns> pending_;  // null once every column is decoded

  void DropKeyIndexes();
  void LoadColumn(size_t index) const;
  // Decodes the columns still on file: before any change, which may move or replace columns.
  void LoadAll();
  // Adds rows [first, row_count()) to the key indexes that are built; the
  // first key whose index already held one of them, or -1.
  int IndexRows(size_t first);
  void PushRow(const Value* values);
};

}  // namespace orv::engine
