// The change journal: changes made and recorded, undone newest first.
#include "engine/catalog/change_journal.h"

#include "engine/catalog/redo_codec.h"
#include "engine/catalog/session_state.h"

namespace orv::engine {

namespace {

bool IsTableVariable(const Table* table) { return table && table->name().starts_with('@'); }

}  // namespace

bool ChangeJournal::Logs(const Table& table) const {
  return log_redo_ && !table.name().starts_with('#') && !IsTableVariable(&table);
}

ChangeJournal::Entry& ChangeJournal::Record(Kind kind, std::shared_ptr<Table> table) {
  Entry& entry = entries_.emplace_back();
  entry.kind = kind;
  entry.table = std::move(table);
  return entry;
}

void ChangeJournal::Append(const std::shared_ptr<Table>& table, const std::vector<Value>& cells) {
  const size_t before = table->row_count();
  table->AppendRows(cells);
  Appended(table, before);
}

void ChangeJournal::Appended(const std::shared_ptr<Table>& table, size_t rows_before) {
  Entry& entry = Record(Kind::Append, table);
  entry.rows_before = rows_before;
  if (Logs(*table)) entry.redo = redo::Append(*table, rows_before);
}

void ChangeJournal::Update(const std::shared_ptr<Table>& table, const std::vector<int64_t>& rows,
                           const std::vector<size_t>& columns, const std::vector<Column>& values) {
  // Everything undoing needs is recorded before the first value changes.
  std::vector<Column> old_columns;
  old_columns.reserve(columns.size());
  for (size_t column : columns) old_columns.push_back(table->StoredValues(column, rows));
  std::vector<int64_t> rows_copy = rows;
  std::vector<size_t> columns_copy = columns;
  Entry& entry = Record(Kind::Update, table);
  entry.old_columns = std::move(old_columns);
  entry.rows = std::move(rows_copy);
  entry.columns = std::move(columns_copy);
  for (size_t a = 0; a < columns.size(); ++a) table->SetRows(columns[a], rows, values[a], false);
  if (Logs(*table)) entry.redo = redo::Update(*table, rows, columns);
}

void ChangeJournal::Delete(const std::shared_ptr<Table>& table, const std::vector<uint8_t>& doomed) {
  Entry& entry = Record(Kind::Delete, table);
  for (size_t r = 0; r < doomed.size(); ++r) {
    if (!doomed[r]) continue;
    for (size_t c = 0; c < table->column_count(); ++c) entry.old_values.push_back(table->Get(r, c));
  }
  if (Logs(*table)) entry.redo = redo::Delete(*table, doomed);
  table->DeleteRows(doomed);
  entry.doomed = doomed;
}

void ChangeJournal::Truncate(const std::shared_ptr<Table>& table) {
  Entry& entry = Record(Kind::Truncate, table);
  entry.contents = std::make_unique<Table::Contents>(table->TakeContents());
  if (Logs(*table)) entry.redo = redo::Truncate(*table);
}

void ChangeJournal::AddTable(Catalog& catalog, SessionState& session, std::shared_ptr<Table> table) {
  if (table->name().starts_with('#')) {
    session.AddTemp(table);
  } else {
    catalog.AddTable(table);
  }
  Entry& entry = Record(Kind::AddTable, table);
  if (Logs(*table)) entry.redo = redo::AddTable(*table);
}

bool ChangeJournal::DropTable(Catalog& catalog, SessionState& session, std::string_view name) {
  const bool temp = name.starts_with('#');
  std::shared_ptr<Table> table = temp ? session.FindTemp(name) : catalog.FindTable(name);
  if (!table) return false;
  if (temp) {
    session.DropTemp(name);
  } else {
    catalog.DropTable(name);
  }
  Entry& entry = Record(Kind::DropTable, table);
  if (Logs(*table)) entry.redo = redo::DropTable(table->name());
  return true;
}

void ChangeJournal::AddView(Catalog& catalog, ViewDefinition view) {
  catalog.AddView(view);
  Entry& entry = Record(Kind::AddView, nullptr);
  if (log_redo_) entry.redo = redo::AddView(view);
  entry.view = std::move(view);
}

bool ChangeJournal::DropView(Catalog& catalog, std::string_view name) {
  const ViewDefinition* view = catalog.FindView(name);
  if (!view) return false;
  Entry& entry = Record(Kind::DropView, nullptr);
  entry.view = *view;
  catalog.DropView(name);
  if (log_redo_) entry.redo = redo::DropView(entry.view.name);
  return true;
}

void ChangeJournal::Undo(Entry& entry, Catalog& catalog, SessionState& session) {
  if (UndoDefinition(entry, catalog)) return;
  Table* table = entry.table.get();
  switch (entry.kind) {
    case Kind::Append:
      table->TruncateRows(entry.rows_before);
      return;
    case Kind::Update:
      for (size_t a = 0; a < entry.columns.size(); ++a) table->SetRows(entry.columns[a], entry.rows, entry.old_columns[a], true);
      return;
    case Kind::Delete:
      table->RestoreDeleted(entry.doomed, entry.old_values);
      return;
    case Kind::Truncate:
      table->RestoreContents(std::move(*entry.contents));
      return;
    case Kind::AddTable:
      if (table->name().starts_with('#')) {
        session.DropTemp(table->name());
      } else {
        catalog.DropTable(table->name());
      }
      return;
    case Kind::DropTable:
      if (table->name().starts_with('#')) {
        session.PutBackTemp(entry.table);
      } else {
        catalog.PutBackTable(entry.table);
      }
      return;
    case Kind::AddView:
      catalog.DropView(entry.view.name);
      return;
    case Kind::DropView:
      catalog.PutBackView(entry.view);
      return;
    default:
      return;
  }
}

void ChangeJournal::UndoTo(size_t mark, Catalog& catalog, SessionState& session, Scope scope) {
  while (entries_.size() > mark) {
    Entry& entry = entries_.back();
    if (scope == Scope::Statement || !IsTableVariable(entry.table.get())) Undo(entry, catalog, session);
    entries_.pop_back();
  }
}

std::vector<std::string> ChangeJournal::TakeRedoRecords() {
  std::vector<std::string> records;
  for (Entry& entry : entries_) {
    if (!entry.redo.empty()) records.push_back(std::move(entry.redo));
  }
  return records;
}

}  // namespace orv::engine
