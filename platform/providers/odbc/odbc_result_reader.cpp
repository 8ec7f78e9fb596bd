// Column types and values from ODBC. Decimals and money are read as text,
// which keeps every digit; datetimes as timestamp structs rounded to the
// 1/300 s ticks the type holds; text as UTF-8.
#include "platform/providers/odbc/odbc_result_reader.h"

#include <algorithm>
#include <string>
#include <vector>

namespace orv::platform::odbc {
namespace {

constexpr SQLULEN kLongTextSize = 0x3FFFFFFF;

std::string ColumnTypeName(const OdbcHandle& statement, SQLUSMALLINT column) {
  char name[128] = {};
  SQLSMALLINT length = 0;
  SQLColAttribute(statement.get(), column, SQL_DESC_TYPE_NAME, name, sizeof name, &length, nullptr);
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower;
}

engine::DataType TextType(engine::TypeId id, SQLULEN size, bool is_long) {
  engine::DataType type{id, 0, 0, 0};
  type.length = is_long || size == 0 || size >= kLongTextSize ? engine::DataType::kMaxLength : static_cast<int32_t>(size);
  return type;
}

engine::DataType TypeOf(SQLSMALLINT sql_type, SQLULEN size, SQLSMALLINT digits, const std::string& type_name) {
  switch (sql_type) {
    case SQL_BIT:
      return {engine::TypeId::Bit, 0, 0, 0};
    case SQL_TINYINT:
      return {engine::TypeId::TinyInt, 0, 0, 0};
    case SQL_SMALLINT:
      return {engine::TypeId::SmallInt, 0, 0, 0};
    case SQL_INTEGER:
      return {engine::TypeId::Int, 0, 0, 0};
    case SQL_BIGINT:
      return {engine::TypeId::BigInt, 0, 0, 0};
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      if (type_name.find("money") != std::string::npos) return {engine::TypeId::Money, 19, 4, 0};
      return {engine::TypeId::Decimal, static_cast<uint8_t>(std::clamp<SQLULEN>(size, 1, 38)),
              static_cast<uint8_t>(std::clamp<SQLSMALLINT>(digits, 0, 38)), 0};
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return {engine::TypeId::Float, 0, 0, 0};
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATETIME:
      return {engine::TypeId::DateTime, 0, 0, 0};
    case SQL_CHAR:
      return TextType(engine::TypeId::Char, size, false);
    case SQL_VARCHAR:
      return TextType(engine::TypeId::VarChar, size, false);
    case SQL_LONGVARCHAR:
      return TextType(engine::TypeId::VarChar, size, true);
    case SQL_WCHAR:
      return TextType(engine::TypeId::NChar, size, false);
    case SQL_WVARCHAR:
      return TextType(engine::TypeId::NVarChar, size, false);
    case SQL_WLONGVARCHAR:
      return TextType(engine::TypeId::NVarChar, size, true);
    default:
      // Types the engine does not have (binary, date, time, guid) arrive as their text.
      return TextType(engine::TypeId::NVarChar, 0, true);
  }
}

// "-12.3400" at `scale` digits after the point.
engine::Int128 ParseUnscaled(const std::string& text, int scale) {
  engine::Int128 value = 0;
  bool negative = false;
  int fraction_digits = -1;
  for (const char c : text) {
    if (c == '-') {
      negative = true;
    } else if (c == '.') {
      fraction_digits = 0;
    } else if (c >= '0' && c <= '9') {
      if (fraction_digits >= scale) continue;  // beyond the column's scale
      value = value * 10 + (c - '0');
      if (fraction_digits >= 0) ++fraction_digits;
    }
  }
  for (int digits = std::max(fraction_digits, 0); digits < scale; ++digits) value *= 10;
  return negative ? -value : value;
}

int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

int64_t TicksOf(const SQL_TIMESTAMP_STRUCT& stamp) {
  static const int64_t kDays1900 = DaysFromCivil(1900, 1, 1);
  const int64_t days = DaysFromCivil(stamp.year, stamp.month, stamp.day) - kDays1900;
  const int64_t seconds = stamp.hour * 3600 + stamp.minute * 60 + stamp.second;
  const auto fraction_ticks = static_cast<int64_t>((static_cast<uint64_t>(stamp.fraction) * 3 + 5000000) / 10000000);
  return days * engine::kTicksPerDay + seconds * engine::kTicksPerSecond + fraction_ticks;
}

// Fetches the values of one result; every failure carries the driver's first error.
class ResultReader {
 public:
  ResultReader(const OdbcHandle& statement, bool state_field_is_severity)
      : statement_(statement), state_field_is_severity_(state_field_is_severity) {}

  engine::ResultSet Read(SQLSMALLINT column_count) {
    std::vector<engine::ColumnInfo> columns;
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(column_count); ++i) columns.push_back(Describe(i));
    engine::ResultSet result(columns);
    std::vector<engine::Value> row(columns.size());
    std::vector<std::string> texts(columns.size());
    for (;;) {
      const SQLRETURN rc = SQLFetch(statement_.get());
      if (rc == SQL_NO_DATA) break;
      Check(rc);
      for (size_t i = 0; i < columns.size(); ++i) {
        row[i] = ReadValue(static_cast<SQLUSMALLINT>(i + 1), columns[i].type, texts[i]);
      }
      result.AppendRow(row.data());
    }
    return result;
  }

 private:
  void Check(SQLRETURN rc) const {
    if (!SQL_SUCCEEDED(rc)) throw ProviderFailure{FirstError(ReadDiagnostics(statement_, state_field_is_severity_))};
  }

  engine::ColumnInfo Describe(SQLUSMALLINT column) const {
    char name[512] = {};
    SQLSMALLINT name_length = 0;
    SQLSMALLINT sql_type = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
    Check(SQLDescribeCol(statement_.get(), column, reinterpret_cast<SQLCHAR*>(name), sizeof name, &name_length, &sql_type,
                         &size, &digits, &nullable));
    return engine::ColumnInfo{name, TypeOf(sql_type, size, digits, ColumnTypeName(statement_, column)),
                              nullable != SQL_NO_NULLS};
  }

  // The whole text of a column, read in pieces; false when NULL.
  bool GetText(SQLUSMALLINT column, std::string& text) const {
    text.clear();
    char buffer[8192];
    for (;;) {
      SQLLEN indicator = 0;
      const SQLRETURN rc = SQLGetData(statement_.get(), column, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
      if (rc == SQL_NO_DATA) return true;
      Check(rc);
      if (indicator == SQL_NULL_DATA) return false;
      const size_t available = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer)
                                   ? sizeof buffer - 1
                                   : static_cast<size_t>(indicator);
      text.append(buffer, available);
      if (rc == SQL_SUCCESS) return true;
    }
  }

  // One value of `type`; strings go into `text`, which must outlive the value.
  engine::Value ReadValue(SQLUSMALLINT column, const engine::DataType& type, std::string& text) const {
    SQLLEN indicator = 0;
    switch (type.id) {
      case engine::TypeId::Bit:
      case engine::TypeId::TinyInt:
      case engine::TypeId::SmallInt:
      case engine::TypeId::Int:
      case engine::TypeId::BigInt: {
        SQLBIGINT number = 0;
        Check(SQLGetData(statement_.get(), column, SQL_C_SBIGINT, &number, 0, &indicator));
        return indicator == SQL_NULL_DATA ? engine::Value::Null(type.id) : engine::Value::Integer(type.id, number);
      }
      case engine::TypeId::Float: {
        double number = 0;
        Check(SQLGetData(statement_.get(), column, SQL_C_DOUBLE, &number, 0, &indicator));
        return indicator == SQL_NULL_DATA ? engine::Value::Null(type.id) : engine::Value::Double(number);
      }
      case engine::TypeId::DateTime: {
        SQL_TIMESTAMP_STRUCT stamp{};
        Check(SQLGetData(statement_.get(), column, SQL_C_TYPE_TIMESTAMP, &stamp, sizeof stamp, &indicator));
        return indicator == SQL_NULL_DATA ? engine::Value::Null(type.id) : engine::Value::DateTime(TicksOf(stamp));
      }
      case engine::TypeId::Decimal:
      case engine::TypeId::Money:
        if (!GetText(column, text)) return engine::Value::Null(type.id);
        return engine::Value::Decimal(ParseUnscaled(text, type.scale), type.precision, type.scale, type.id);
      case engine::TypeId::Null:
      case engine::TypeId::Char:
      case engine::TypeId::VarChar:
      case engine::TypeId::NChar:
      case engine::TypeId::NVarChar:
        break;
      case engine::TypeId::Date:  // TypeOf reads these as text: never here
      case engine::TypeId::Time:
      case engine::TypeId::DateTime2:
        return engine::Value::Null(engine::TypeId::NVarChar);
    }
    if (!GetText(column, text)) return engine::Value::Null(type.id);
    return engine::Value::String(type.id, text);
  }

  const OdbcHandle& statement_;
  bool state_field_is_severity_;
};

}  // namespace

engine::ResultSet ReadResultSet(const OdbcHandle& statement, SQLSMALLINT column_count, bool state_field_is_severity) {
  return ResultReader(statement, state_field_is_severity).Read(column_count);
}

}  // namespace orv::platform::odbc
