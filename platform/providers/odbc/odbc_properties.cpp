// SQLGetInfo's answers as provider properties: texts stay texts, "Y"/"N"
// answers become what each property's readers expect, function masks Longs.
#include "platform/providers/odbc/odbc_properties.h"

#include <optional>
#include <string>

namespace orv::platform::odbc {
namespace {

std::optional<std::string> InfoText(const OdbcHandle& connection, SQLUSMALLINT type) {
  char text[256] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(connection.get(), type, text, sizeof text, &length))) return std::nullopt;
  return std::string(text);
}

std::optional<int32_t> InfoMask(const OdbcHandle& connection, SQLUSMALLINT type) {
  SQLUINTEGER mask = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(connection.get(), type, &mask, sizeof mask, nullptr))) return std::nullopt;
  return static_cast<int32_t>(mask);
}

}  // namespace

std::vector<ProviderProperty> DataSourceProperties(const OdbcHandle& connection) {
  std::vector<ProviderProperty> properties;
  const auto text = [&](const char* name, SQLUSMALLINT type) {
    if (const auto value = InfoText(connection, type)) properties.push_back({name, Variant(*value)});
  };
  const auto mask = [&](const char* name, SQLUSMALLINT type) {
    if (const auto value = InfoMask(connection, type)) properties.push_back({name, Variant(*value)});
  };
  text("DBMS Name", SQL_DBMS_NAME);
  text("DBMS Version", SQL_DBMS_VER);
  text("Data Source Name", SQL_SERVER_NAME);
  if (const auto several = InfoText(connection, SQL_MULT_RESULT_SETS)) {
    constexpr int32_t kMultipleResultsSupported = 1;
    properties.push_back({"Multiple Results", Variant(*several == "Y" ? kMultipleResultsSupported : 0)});
  }
  text("Like Escape Clause", SQL_LIKE_ESCAPE_CLAUSE);
  if (const auto integrity = InfoText(connection, SQL_INTEGRITY)) {
    properties.push_back({"Integrity Enhancement Facility", Variant(*integrity == "Y")});
  }
  mask("Numeric Functions", SQL_NUMERIC_FUNCTIONS);
  mask("String Functions", SQL_STRING_FUNCTIONS);
  mask("System Functions", SQL_SYSTEM_FUNCTIONS);
  mask("Time/Date Functions", SQL_TIMEDATE_FUNCTIONS);
  return properties;
}

}  // namespace orv::platform::odbc
