// Converts values for storing into a table column as INSERT, UPDATE and
// SELECT INTO do: to the column's type, refusing NULL in a NOT NULL column
// (515), text longer than the column (8152; trailing blanks are cut
// silently) and numbers the column cannot hold (8115, from CastValue).
#pragma once

#include <string_view>
#include <vector>

#include "engine/common/decimal.h"
#include "engine/common/string_arena.h"
#include "engine/storage/table.h"

namespace orv::engine {

// `statement` is "INSERT" or "UPDATE" for the 515 message; `database` names
// base tables in it as SQL Server does ("db.dbo.t"; temporary: "tempdb.dbo.#t").
Value ConvertColumnValue(const Value& value, const ColumnSchema& column, const Table& table, std::string_view statement,
                         std::string_view database, StringArena& arena);

// Whether a value already of a column's exact type and within its size,
// `value`, is stored as it is (a narrower decimal of its scale taking the
// column's precision): the common case, decided without a call. Sets `out`.
inline bool ConvertsUnchanged(const Value& value, const DataType& type, Value& out) {
  if (value.is_null || value.type != type.id) return false;
  switch (type.id) {
    case TypeId::Decimal:
      if (value.scale != type.scale) return false;
      if (value.precision <= type.precision) break;
      // Narrower, of its scale: the same number when it has the digits room.
      if (!decimal::Fits(value.dec, type.precision)) return false;
      out = Value::Decimal(value.dec, type.precision, type.scale);
      return true;
    case TypeId::VarChar:
    case TypeId::NVarChar:
      if (type.length != DataType::kMaxLength && value.length > static_cast<uint32_t>(type.length)) return false;
      break;
    case TypeId::Char:
    case TypeId::NChar:
      return false;
    case TypeId::Time:
    case TypeId::DateTime2:
      if (value.scale != type.scale) return false;
      break;
    default:
      break;
  }
  out = value;
  return true;
}

inline Value ConvertForColumn(const Value& value, const ColumnSchema& column, const Table& table,
                              std::string_view statement, std::string_view database, StringArena& arena) {
  Value out;
  if (ConvertsUnchanged(value, column.type, out)) return out;
  return ConvertColumnValue(value, column, table, statement, database, arena);
}

// Raises 2705 when `schema` already has a column called `name` (any case).
void CheckNewColumnName(const std::vector<ColumnSchema>& schema, std::string_view name, std::string_view table,
                        int line);

}  // namespace orv::engine
