// Cells keep the exact text of numbers (decimals with their scale) so that
// the CSV and JSON outputs lose nothing; columns are typed with SQL names,
// like the record set columns of the reports.
#include "cli/table_sources.h"

namespace orv::cli {
namespace {

CellKind KindOf(const engine::Value& value) {
  using engine::TypeId;
  if (value.is_null) return CellKind::Null;
  switch (value.type) {
    case TypeId::Bit:
      return CellKind::Boolean;
    case TypeId::Decimal:
    case TypeId::Money:
      return CellKind::Decimal;
    case TypeId::Float:
      return CellKind::Float;
    default:
      return engine::IsInteger(value.type) ? CellKind::Integer : CellKind::Text;
  }
}

}  // namespace

ResultTable FromResultSet(const engine::ResultSet& result) {
  ResultTable table;
  for (const engine::ColumnInfo& column : result.columns()) {
    table.columns.push_back({column.name, engine::FormatType(column.type)});
  }
  for (size_t r = 0; r < result.row_count(); ++r) {
    std::vector<Cell>& row = table.rows.emplace_back();
    for (size_t c = 0; c < result.column_count(); ++c) {
      const engine::Value& value = result.at(r, c);
      const CellKind kind = KindOf(value);
      row.push_back({kind, kind == CellKind::Null ? "" : engine::FormatValue(value)});
    }
  }
  return table;
}

}  // namespace orv::cli
