// FormatValue: values as SQL Server's client tools print them.
#include "engine/common/format_value.h"

#include <charconv>
#include <cstdio>

#include "engine/common/datetime.h"
#include "engine/common/decimal.h"

namespace orv::engine {

std::string FormatValue(const Value& value) {
  if (value.is_null) return "NULL";
  switch (value.type) {
    case TypeId::Null:
      return "NULL";
    case TypeId::Char:
    case TypeId::VarChar:
    case TypeId::NChar:
    case TypeId::NVarChar:
      return std::string(value.s());
    case TypeId::Bit:
    case TypeId::TinyInt:
    case TypeId::SmallInt:
    case TypeId::Int:
    case TypeId::BigInt:
      return std::to_string(value.i);
    case TypeId::Money:
    case TypeId::Decimal:
      return decimal::ToString(value.dec, value.scale);
    case TypeId::Float: {
      char buffer[64];
      auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value.f);
      return std::string(buffer, end);
    }
    case TypeId::DateTime: {
      datetime::Parts parts = datetime::ToParts(value.dt);
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", parts.year, parts.month, parts.day,
                    parts.hour, parts.minute, parts.second, parts.millisecond);
      return buffer;
    }
  }
  return "NULL";
}

}  // namespace orv::engine
