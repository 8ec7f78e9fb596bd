// The change journal's schema changes: ALTER TABLE column by column,
// procedures created, altered and dropped, and the database's settings. Undo needs what was there before:
// a dropped or replaced column's schema and values, a replaced procedure.
#include "engine/catalog/change_journal.h"
#include "engine/catalog/redo_codec.h"

namespace orv::engine {

std::vector<Value> ChangeJournal::ColumnValues(const Table& table, size_t column) {
  std::vector<Value> values;
  values.reserve(table.row_count());
  for (size_t r = 0; r < table.row_count(); ++r) values.push_back(table.Get(r, column));
  return values;
}

void ChangeJournal::AddColumn(const std::shared_ptr<Table>& table, ColumnSchema column,
                              const std::vector<Value>& values) {
  table->AddColumn(std::move(column), values);
  Entry& entry = Record(Kind::AddColumn, table);
  if (Logs(*table)) entry.redo = redo::AddColumn(*table);
}

void ChangeJournal::DropColumn(const std::shared_ptr<Table>& table, size_t position) {
  // The values are copied before the column goes: strings stay in the table's
  // arena, which outlives the column.
  std::vector<Value> values = ColumnValues(*table, position);
  ColumnSchema column = table->schema()[position];
  const std::optional<int64_t> last_identity = table->last_identity();
  table->DropColumn(position);
  Entry& entry = Record(Kind::DropColumn, table);
  entry.position = position;
  entry.column = std::move(column);
  entry.old_values = std::move(values);
  entry.last_identity = last_identity;
  if (Logs(*table)) entry.redo = redo::DropColumn(*table, position);
}

void ChangeJournal::ReplaceColumn(const std::shared_ptr<Table>& table, size_t position, ColumnSchema column,
                                  const std::vector<Value>& values) {
  std::vector<Value> old_values = ColumnValues(*table, position);
  ColumnSchema old_column = table->schema()[position];
  table->ReplaceColumn(position, std::move(column), values);
  Entry& entry = Record(Kind::ReplaceColumn, table);
  entry.position = position;
  entry.column = std::move(old_column);
  entry.old_values = std::move(old_values);
  if (Logs(*table)) entry.redo = redo::ReplaceColumn(*table, position);
}

void ChangeJournal::PutProcedure(Catalog& catalog, ProcedureDefinition procedure) {
  Entry& entry = Record(Kind::PutProcedure, nullptr);
  if (const ProcedureDefinition* old = catalog.routines().Find(procedure.name)) entry.procedure = *old;
  entry.procedure_name = procedure.name;
  if (log_redo_) entry.redo = redo::PutProcedure(procedure);
  catalog.routines().Put(std::move(procedure));
}

bool ChangeJournal::DropProcedure(Catalog& catalog, std::string_view name) {
  const ProcedureDefinition* old = catalog.routines().Find(name);
  if (!old) return false;
  Entry& entry = Record(Kind::DropProcedure, nullptr);
  entry.procedure = *old;
  catalog.routines().Drop(name);
  if (log_redo_) entry.redo = redo::DropProcedure(entry.procedure->name);
  return true;
}

void ChangeJournal::SetMaxDop(Catalog& catalog, int threads) {
  Entry& entry = Record(Kind::SetMaxDop, nullptr);
  entry.position = static_cast<size_t>(catalog.max_dop());
  catalog.set_max_dop(threads);
  if (log_redo_) entry.redo = redo::SetMaxDop(threads);
}

bool ChangeJournal::UndoDefinition(Entry& entry, Catalog& catalog) {
  Table* table = entry.table.get();
  switch (entry.kind) {
    case Kind::AddColumn:
      table->DropColumn(table->column_count() - 1);
      return true;
    case Kind::DropColumn:
      table->InsertColumn(entry.position, entry.column, entry.old_values);
      table->set_last_identity(entry.last_identity);
      return true;
    case Kind::ReplaceColumn:
      table->ReplaceColumn(entry.position, entry.column, entry.old_values);
      return true;
    case Kind::PutProcedure:
      if (entry.procedure) {
        catalog.routines().Put(*entry.procedure);
      } else {
        catalog.routines().Drop(entry.procedure_name);
      }
      return true;
    case Kind::DropProcedure:
      catalog.routines().Put(*entry.procedure);
      return true;
    case Kind::SetMaxDop:
      catalog.set_max_dop(static_cast<int>(entry.position));
      return true;
    default:
      return false;
  }
}

}  // namespace orv::engine
