// Redo records: one change to a base table or the catalog as bytes, written
// to the write-ahead log at COMMIT and applied again, in order, when the
// database is opened after a crash. Rows are named by position, which replay
// reproduces exactly because it starts from the state the change was made on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog/catalog.h"

namespace orv::engine::redo {

std::string Append(const Table& table, size_t first_row);
std::string Update(const Table& table, const std::vector<int64_t>& rows, const std::vector<size_t>& columns);
std::string Delete(const Table& table, const std::vector<uint8_t>& doomed);
std::string Truncate(const Table& table);
std::string AddTable(const Table& table);  // its schema and every row it holds
std::string DropTable(std::string_view name);
std::string AddView(const ViewDefinition& view);
std::string DropView(std::string_view name);
// ALTER TABLE: the table's last column (just added), a column dropped, a column's new schema and values.
std::string AddColumn(const Table& table);
std::string DropColumn(const Table& table, size_t position);
std::string ReplaceColumn(const Table& table, size_t position);
std::string PutProcedure(const ProcedureDefinition& procedure);
std::string DropProcedure(std::string_view name);
std::string SetMaxDop(int threads);

// Applies one record; throws FileDamaged when it does not fit the catalog.
void Apply(std::string_view record, Catalog& catalog);

}  // namespace orv::engine::redo
