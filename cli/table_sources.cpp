// Cells keep the exact text of numbers (decimals with their scale) so that
// the CSV and JSON outputs lose nothing.
#include "cli/table_sources.h"

#include "platform/field.h"

namespace orv::cli {

Cell FromVariant(const platform::Variant& value) {
  using platform::VarType;
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
      return {CellKind::Null, "NULL"};
    case VarType::Boolean:
      return {CellKind::Boolean, value.ToString()};
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Decimal:
      return {CellKind::Number, value.ToString()};
    case VarType::Object:
      return {CellKind::Text, "(object)"};
    case VarType::Date:
    case VarType::String:
      break;
  }
  return {CellKind::Text, value.ToString()};
}

ResultTable FromResultSet(const engine::ResultSet& result) {
  ResultTable table;
  for (const engine::ColumnInfo& column : result.columns()) table.columns.push_back(column.name);
  for (size_t r = 0; r < result.row_count(); ++r) {
    std::vector<Cell>& row = table.rows.emplace_back();
    for (size_t c = 0; c < result.column_count(); ++c) {
      const engine::Value& value = result.at(r, c);
      const CellKind kind = value.is_null                     ? CellKind::Null
                            : engine::IsNumeric(value.type) ? CellKind::Number
                                                              : CellKind::Text;
      row.push_back({kind, engine::FormatValue(value)});
    }
  }
  return table;
}

ResultTable FromRecordset(platform::Recordset& recordset) {
  ResultTable table;
  const platform::Fields& fields = recordset.Fields();
  for (int32_t c = 0; c < fields.Count(); ++c) table.columns.push_back(fields.Item(c).Name());
  if (recordset.RecordCount() == 0) return table;
  for (recordset.MoveFirst(); !recordset.Eof(); recordset.MoveNext()) {
    std::vector<Cell>& row = table.rows.emplace_back();
    for (int32_t c = 0; c < fields.Count(); ++c) row.push_back(FromVariant(fields.Item(c).Value()));
  }
  return table;
}

}  // namespace orv::cli
