// The embedded engine's capabilities in the terms of the provider interface.
// A function is offered only when the engine runs its Transact-SQL
// counterpart; functions the engine lacks (BIT_LENGTH, ...) stay out of the
// masks.
#include "platform/embedded_properties.h"

#include <array>
#include <string>

namespace orv::platform {
namespace {

constexpr std::string_view kNumeric = "Numeric Functions";
constexpr std::string_view kString = "String Functions";
constexpr std::string_view kSystem = "System Functions";
constexpr std::string_view kTimeDate = "Time/Date Functions";

constexpr std::array<OfferedFunction, 65> kOffered = {{
    {kNumeric, 0x00000001, "ABS", "ABS(-2.5)"},
    {kNumeric, 0x00000002, "ACOS", "ACOS(1)"},
    {kNumeric, 0x00000004, "ASIN", "ASIN(1)"},
    {kNumeric, 0x00000008, "ATAN", "ATAN(1)"},
    {kNumeric, 0x00000010, "ATAN2", "ATN2(1, 1)"},
    {kNumeric, 0x00000020, "CEILING", "CEILING(2.1)"},
    {kNumeric, 0x00000040, "COS", "COS(0)"},
    {kNumeric, 0x00000080, "COT", "COT(1)"},
    {kNumeric, 0x00000100, "EXP", "EXP(1)"},
    {kNumeric, 0x00000200, "FLOOR", "FLOOR(2.9)"},
    {kNumeric, 0x00000400, "LOG", "LOG(10)"},
    {kNumeric, 0x00000800, "MOD", "7 % 3"},
    {kNumeric, 0x00001000, "SIGN", "SIGN(-4)"},
    {kNumeric, 0x00002000, "SIN", "SIN(0)"},
    {kNumeric, 0x00004000, "SQRT", "SQRT(16.0)"},
    {kNumeric, 0x00008000, "TAN", "TAN(0)"},
    {kNumeric, 0x00010000, "PI", "PI()"},
    {kNumeric, 0x00020000, "RAND", "RAND()"},
    {kNumeric, 0x00040000, "DEGREES", "DEGREES(1.0)"},
    {kNumeric, 0x00080000, "LOG10", "LOG10(100)"},
    {kNumeric, 0x00100000, "POWER", "POWER(2, 10)"},
    {kNumeric, 0x00200000, "RADIANS", "RADIANS(180.0)"},
    {kNumeric, 0x00400000, "ROUND", "ROUND(2.345, 2)"},
    {kNumeric, 0x00800000, "TRUNCATE", "ROUND(2.345, 2, 1)"},
    {kString, 0x00000001, "CONCAT", "CONCAT('ab', 'cd')"},
    {kString, 0x00000002, "INSERT", "STUFF('abcdef', 2, 3, 'XY')"},
    {kString, 0x00000004, "LEFT", "LEFT('abc', 2)"},
    {kString, 0x00000008, "LTRIM", "LTRIM('  a')"},
    {kString, 0x00000010, "LENGTH", "LEN('abc  ')"},
    {kString, 0x00000020, "LOCATE", "CHARINDEX('b', 'abc')"},
    {kString, 0x00000040, "LCASE", "LOWER('ABC')"},
    {kString, 0x00000080, "REPEAT", "REPLICATE('ab', 3)"},
    {kString, 0x00000100, "REPLACE", "REPLACE('abc', 'b', 'x')"},
    {kString, 0x00000200, "RIGHT", "RIGHT('abc', 2)"},
    {kString, 0x00000400, "RTRIM", "RTRIM('a  ')"},
    {kString, 0x00000800, "SUBSTRING", "SUBSTRING('abcd', 2, 2)"},
    {kString, 0x00001000, "UCASE", "UPPER('abc')"},
    {kString, 0x00002000, "ASCII", "ASCII('A')"},
    {kString, 0x00004000, "CHAR", "CHAR(65)"},
    {kString, 0x00008000, "DIFFERENCE", "DIFFERENCE('Smith', 'Smythe')"},
    {kString, 0x00010000, "LOCATE_2", "CHARINDEX('b', 'abcb', 3)"},
    {kString, 0x00020000, "SOUNDEX", "SOUNDEX('Smith')"},
    {kString, 0x00040000, "SPACE", "SPACE(3)"},
    {kString, 0x00400000, "OCTET_LENGTH", "DATALENGTH('abc')"},
    {kSystem, 0x00000001, "USERNAME", "USER_NAME()"},
    {kSystem, 0x00000002, "DBNAME", "DB_NAME()"},
    {kSystem, 0x00000004, "IFNULL", "ISNULL(NULL, 1)"},
    {kTimeDate, 0x00000001, "NOW", "GETDATE()"},
    {kTimeDate, 0x00000002, "CURDATE", "CAST(GETDATE() AS date)"},
    {kTimeDate, 0x00000004, "DAYOFMONTH", "DAY('2024-03-05')"},
    {kTimeDate, 0x00000008, "DAYOFWEEK", "DATEPART(dw, '2024-03-05')"},
    {kTimeDate, 0x00000010, "DAYOFYEAR", "DATEPART(dy, '2024-03-05')"},
    {kTimeDate, 0x00000020, "MONTH", "MONTH('2024-03-05')"},
    {kTimeDate, 0x00000040, "QUARTER", "DATEPART(qq, '2024-03-05')"},
    {kTimeDate, 0x00000080, "WEEK", "DATEPART(wk, '2024-03-05')"},
    {kTimeDate, 0x00000100, "YEAR", "YEAR('2024-03-05')"},
    {kTimeDate, 0x00000200, "CURTIME", "CAST(GETDATE() AS time)"},
    {kTimeDate, 0x00000400, "HOUR", "DATEPART(hh, '2024-03-05 13:14:15')"},
    {kTimeDate, 0x00000800, "MINUTE", "DATEPART(mi, '2024-03-05 13:14:15')"},
    {kTimeDate, 0x00001000, "SECOND", "DATEPART(ss, '2024-03-05 13:14:15')"},
    {kTimeDate, 0x00002000, "TIMESTAMPADD", "DATEADD(dd, 1, '2024-03-05')"},
    {kTimeDate, 0x00004000, "TIMESTAMPDIFF", "DATEDIFF(dd, '2024-03-05', '2024-03-09')"},
    {kTimeDate, 0x00008000, "DAYNAME", "DATENAME(dw, '2024-03-05')"},
    {kTimeDate, 0x00010000, "MONTHNAME", "DATENAME(mm, '2024-03-05')"},
    {kTimeDate, 0x00080000, "CURRENT_TIMESTAMP", "CURRENT_TIMESTAMP"},
}};

int32_t MaskOf(std::string_view property) {
  int32_t mask = 0;
  for (const OfferedFunction& function : kOffered) {
    if (function.property == property) mask |= function.bit;
  }
  return mask;
}

}  // namespace

std::span<const OfferedFunction> EmbeddedOfferedFunctions() { return kOffered; }

std::vector<ProviderProperty> EmbeddedDataSourceProperties(std::string_view data_source) {
  constexpr int32_t kMultipleResultsSupported = 1;  // several row sets per batch, read one after another
  return {
      {"DBMS Name", Variant(kEmbeddedDbmsName)},
      {"DBMS Version", Variant(kEmbeddedDbmsVersion)},
      {"Data Source Name", Variant(data_source)},
      {"Multiple Results", Variant(kMultipleResultsSupported)},
      {"Like Escape Clause", Variant("Y")},
      // PRIMARY KEY and UNIQUE are enforced, FOREIGN KEY and CHECK are refused.
      {"Integrity Enhancement Facility", Variant(false)},
      {std::string(kNumeric), Variant(MaskOf(kNumeric))},
      {std::string(kString), Variant(MaskOf(kString))},
      {std::string(kSystem), Variant(MaskOf(kSystem))},
      {std::string(kTimeDate), Variant(MaskOf(kTimeDate))},
  };
}

}  // namespace orv::platform
