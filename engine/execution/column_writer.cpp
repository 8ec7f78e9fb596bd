// Value conversion for table columns; see column_writer.h.
#include "engine/execution/column_writer.h"

#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/function/scalar.h"

namespace orv::engine {
namespace {

std::string QualifiedName(const Table& table, std::string_view database) {
  if (!table.name().empty() && table.name()[0] == '#') return "tempdb.dbo." + table.name();
  return std::string(database) + ".dbo." + table.name();
}

Value StoreText(const Value& value, const DataType& type, StringArena& arena) {
  Value text = IsString(value.type) ? value : CastValue(value, DataType{type.id, 0, 0, DataType::kMaxLength}, arena);
  std::string_view s = text.s();
  if (type.length != DataType::kMaxLength) {
    while (TextLength(type.id, s) > type.length && !s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (TextLength(type.id, s) > type.length) Throw(ErrorCode::kStringTruncated);
    // CHAR and NCHAR hold exactly their length: pad with blanks.
    if (type.id == TypeId::Char || type.id == TypeId::NChar) {
      int64_t missing = type.length - TextLength(type.id, s);
      if (missing > 0) {
        char* buffer = arena.Allocate(s.size() + missing);
        std::copy(s.begin(), s.end(), buffer);
        std::fill(buffer + s.size(), buffer + s.size() + missing, ' ');
        s = std::string_view(buffer, s.size() + missing);
      }
    }
  }
  return Value::String(type.id, s);
}

}  // namespace

Value ConvertColumnValue(const Value& value, const ColumnSchema& column, const Table& table, std::string_view statement,
                         std::string_view database, StringArena& arena) {
  if (value.is_null) {
    if (!column.nullable) {
      Throw(ErrorCode::kCannotInsertNull, {column.name, QualifiedName(table, database), statement});
    }
    return Value::Null(column.type.id);
  }
  const DataType& type = column.type;
  if (IsString(type.id)) {
    // Text no longer in bytes than the column's length fits under any measure.
    bool fits = IsString(value.type) && type.id != TypeId::Char && type.id != TypeId::NChar &&
                (type.length == DataType::kMaxLength || value.s().size() <= static_cast<size_t>(type.length));
    return fits ? Value::String(type.id, value.s()) : StoreText(value, type, arena);
  }
  if (value.type == type.id) {
    // Decimals, TIME and DATETIME2 also need the column's precision and scale.
    bool exact = value.scale == type.scale && value.precision <= type.precision;
    if (exact) return value;
  }
  // Storing is an implicit conversion: a pair none joins is a clash of operands.
  if (!ConversionAllowed({value.type}, type)) {
    Throw(ErrorCode::kOperandTypeClash, {TypeDisplayName(value.type), TypeDisplayName(type.id)});
  }
  return CastValue(value, type, arena);
}

void CheckNewColumnName(const std::vector<ColumnSchema>& schema, std::string_view name, std::string_view table,
                        int line) {
  for (const ColumnSchema& earlier : schema) {
    if (NamesEqual(earlier.name, name)) Throw(ErrorCode::kDuplicateColumnName, {name, table}, line);
  }
}

}  // namespace orv::engine
