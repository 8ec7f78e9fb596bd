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

EngineRows::EngineRows(const engine::ResultSet& result) : result_(result) {
  for (const engine::ColumnInfo& column : result.columns()) {
    columns_.push_back({column.name, engine::FormatType(column.type)});
  }
}

void EngineRows::Row(size_t r, std::vector<Cell>& cells) const {
  cells.resize(columns_.size());
  for (size_t c = 0; c < columns_.size(); ++c) {
    const engine::Value value = result_.at(r, c);
    cells[c].kind = KindOf(value);
    if (cells[c].kind == CellKind::Null) {
      cells[c].text.clear();
    } else {
      cells[c].text = engine::FormatValue(value);
    }
  }
}

}  // namespace orv::cli
