// The change journal: every change a session makes to tables and to the
// catalog, made through it and recorded with what undoing it needs. One record
// serves three masters: a failing statement is undone back to its mark, a
// ROLLBACK back to the transaction's start or a savepoint, and at COMMIT the
// redo records of a database kept in a file go to its write-ahead log.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/catalog/catalog.h"
#include "engine/storage/table.h"

namespace orv::engine {

class SessionState;

class ChangeJournal {
 public:
  // A position to undo back to.
  size_t mark() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

  // Each makes the change and records it. `session` is where temporary tables
  // live; redo records are kept only when `log_redo` and the object is a base
  // one (neither a temporary table nor a table variable).
  void Append(const std::shared_ptr<Table>& table, const std::vector<Value>& cells);
  // Records the rows from `rows_before` on, which the caller appended itself
  // (an INSERT ... SELECT storing its rows as they stream).
  void Appended(const std::shared_ptr<Table>& table, size_t rows_before);
  // Column columns[a] of rows `rows` takes values[a] (a column without an
  // arena, one value a row); the old values are kept a column at a time, texts
  // as views into the table's arena, which only grows.
  void Update(const std::shared_ptr<Table>& table, const std::vector<int64_t>& rows,
              const std::vector<size_t>& columns, const std::vector<Column>& values);
  void Delete(const std::shared_ptr<Table>& table, const std::vector<uint8_t>& doomed);
  void Truncate(const std::shared_ptr<Table>& table);
  void AddTable(Catalog& catalog, SessionState& session, std::shared_ptr<Table> table);
  // False when there is no such table (nothing recorded).
  bool DropTable(Catalog& catalog, SessionState& session, std::string_view name);
  void AddView(Catalog& catalog, ViewDefinition view);
  bool DropView(Catalog& catalog, std::string_view name);
  // ALTER TABLE, one column at a time (see Table::AddColumn and its kin).
  void AddColumn(const std::shared_ptr<Table>& table, ColumnSchema column, const std::vector<Value>& values);
  void DropColumn(const std::shared_ptr<Table>& table, size_t position);
  void ReplaceColumn(const std::shared_ptr<Table>& table, size_t position, ColumnSchema column,
                     const std::vector<Value>& values);
  // CREATE or ALTER PROCEDURE, and DROP PROCEDURE (false: no such procedure).
  void PutProcedure(Catalog& catalog, ProcedureDefinition procedure);
  bool DropProcedure(Catalog& catalog, std::string_view name);
  // ALTER DATABASE SCOPED CONFIGURATION SET MAXDOP.
  void SetMaxDop(Catalog& catalog, int threads);

  // A failed statement takes back all it changed; a ROLLBACK (to a savepoint
  // or of everything) leaves the rows of table variables as they are, as SQL
  // Server does.
  enum class Scope : uint8_t { Statement, Transaction };
  // Undoes the changes after `mark`, newest first, and forgets them.
  void UndoTo(size_t mark, Catalog& catalog, SessionState& session, Scope scope);
  // The redo records of every change kept (for the write-ahead log), in order,
  // moved out: the journal is cleared or rolled back next.
  std::vector<std::string> TakeRedoRecords();
  // Forgets every change: they are committed.
  void Clear() { entries_.clear(); }

  void set_log_redo(bool on) { log_redo_ = on; }

 private:
  enum class Kind : uint8_t {
    Append, Update, Delete, Truncate, AddTable, DropTable, AddView, DropView,
    AddColumn, DropColumn, ReplaceColumn, PutProcedure, DropProcedure, SetMaxDop
  };
  struct Entry {
    Kind kind;
    std::shared_ptr<Table> table;       // strong, so an undo never meets a freed table
    size_t rows_before = 0;             // Append
    std::vector<int64_t> rows;          // Update
    std::vector<size_t> columns;        // Update
    std::vector<Value> old_values;      // Delete (removed rows), a dropped or replaced column
    std::vector<Column> old_columns;    // Update: one a column of `columns`
    std::vector<uint8_t> doomed;        // Delete
    std::unique_ptr<Table::Contents> contents;  // Truncate
    ViewDefinition view;                // AddView / DropView
    size_t position = 0;                // DropColumn / ReplaceColumn; SetMaxDop: the setting before
    ColumnSchema column;                // the column dropped or replaced
    std::optional<int64_t> last_identity;  // DropColumn
    std::optional<ProcedureDefinition> procedure;  // the one replaced or dropped
    std::string procedure_name;         // PutProcedure
    std::string redo;                   // empty: nothing for the log
  };

  Entry& Record(Kind kind, std::shared_ptr<Table> table);
  bool Logs(const Table& table) const;
  void Undo(Entry& entry, Catalog& catalog, SessionState& session);
  // Undoes the schema and procedure kinds; false for any other.
  static bool UndoDefinition(Entry& entry, Catalog& catalog);
  static std::vector<Value> ColumnValues(const Table& table, size_t column);

  std::vector<Entry> entries_;
  bool log_redo_ = false;
};

}  // namespace orv::engine
