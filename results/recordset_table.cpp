// Cells keep the exact text of numbers (decimals with their scale) so that
// exports lose nothing. Record set fields are typed with the SQL names of
// their ADO types, as the engine's own result sets are.
#include "results/recordset_table.h"

#include <algorithm>

#include "platform/field.h"

namespace orv::results {
namespace {

using platform::DataTypeEnum;

std::string SqlTypeName(const platform::Field& field) {
  const std::string size = "(" + std::to_string(field.DefinedSize()) + ")";
  switch (field.Type()) {
    case DataTypeEnum::adSmallInt:
      return "smallint";
    case DataTypeEnum::adInteger:
      return "int";
    case DataTypeEnum::adBigInt:
      return "bigint";
    case DataTypeEnum::adUnsignedTinyInt:
      return "tinyint";
    case DataTypeEnum::adBoolean:
      return "bit";
    case DataTypeEnum::adDouble:
      return "float";
    case DataTypeEnum::adCurrency:
      return "money";
    case DataTypeEnum::adNumeric:
      return "decimal(" + std::to_string(field.Precision()) + "," + std::to_string(field.NumericScale()) + ")";
    case DataTypeEnum::adDBTimeStamp:
      // DATETIME has precision 23; DATETIME2 more, with its fraction as the scale.
      if (field.Precision() == 23) return "datetime";
      return "datetime2(" + std::to_string(field.NumericScale()) + ")";
    case DataTypeEnum::adDBDate:
      return "date";
    case DataTypeEnum::adDBTime:
      return "time(" + std::to_string(field.NumericScale()) + ")";
    case DataTypeEnum::adChar:
      return "char" + size;
    case DataTypeEnum::adVarChar:
    case DataTypeEnum::adLongVarChar:
      return "varchar" + size;
    case DataTypeEnum::adWChar:
      return "nchar" + size;
    case DataTypeEnum::adVarWChar:
    case DataTypeEnum::adLongVarWChar:
      return "nvarchar" + size;
    case DataTypeEnum::adEmpty:
      break;
  }
  return "";
}

}  // namespace

namespace {

// Into `cell`, whose text keeps the room it had.
void ReadCell(const platform::Variant& value, Cell& cell) {
  using platform::VarType;
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
      cell.kind = CellKind::Null;
      cell.text.clear();
      return;
    case VarType::Boolean:
      cell.kind = CellKind::Boolean;
      break;
    case VarType::Integer:
    case VarType::Long:
      cell.kind = CellKind::Integer;
      break;
    case VarType::Double:
      cell.kind = CellKind::Float;
      break;
    case VarType::Currency:
    case VarType::Decimal:
      cell.kind = CellKind::Decimal;
      break;
    case VarType::Object:
      cell.kind = CellKind::Text;
      cell.text = "(object)";
      return;
    case VarType::String:
      cell.kind = CellKind::Text;
      cell.text.assign(value.text());
      return;
    case VarType::Date:
      cell.kind = CellKind::Text;
      break;
  }
  cell.text = value.ToString();
}

}  // namespace

Cell FromVariant(const platform::Variant& value) {
  Cell cell;
  ReadCell(value, cell);
  return cell;
}

RecordsetRows::RecordsetRows(std::shared_ptr<platform::Recordset> recordset) : recordset_(std::move(recordset)) {
  const platform::Fields& fields = recordset_->Fields();
  for (int32_t c = 0; c < fields.Count(); ++c) {
    columns_.push_back({fields.Item(c).Name(), SqlTypeName(fields.Item(c))});
  }
  rows_ = static_cast<size_t>(std::max(recordset_->RecordCount(), 0));
}

void RecordsetRows::Row(size_t r, std::vector<Cell>& cells) const {
  recordset_->SetAbsolutePosition(static_cast<int32_t>(r + 1));
  const platform::Fields& fields = recordset_->Fields();
  cells.resize(columns_.size());
  for (size_t c = 0; c < columns_.size(); ++c) ReadCell(fields.Item(static_cast<int32_t>(c)).Value(), cells[c]);
}

}  // namespace orv::results
