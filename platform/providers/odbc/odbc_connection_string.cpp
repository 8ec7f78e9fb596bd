// Translating OLE DB style connection properties to an ODBC connection string.
#include <algorithm>

#include "platform/ascii_text.h"
#include "platform/providers/odbc/odbc_provider.h"

namespace orv::platform::odbc {
namespace {

// ODBC braces a value that holds a separator or starts with a brace; '}' doubles inside.
std::string OdbcValue(std::string_view value) {
  if (value.find_first_of(";{}=") == std::string_view::npos && value == TrimBlanks(value)) return std::string(value);
  std::string out = "{";
  for (const char c : value) {
    out.push_back(c);
    if (c == '}') out.push_back('}');
  }
  out.push_back('}');
  return out;
}

void Append(std::string& out, std::string_view key, std::string_view value) {
  out += std::string(key) + "=" + OdbcValue(value) + ";";
}

bool IsTrue(std::string_view value) {
  const std::string lower = AsciiLower(TrimBlanks(value));
  return lower == "yes" || lower == "true" || lower == "mandatory" || lower == "strict" || lower == "1";
}

}  // namespace

std::string OdbcConnectionString(const ConnectionProperties& properties) {
  std::string out;
  if (properties.Has("driver") || properties.Has("dsn")) {
    for (const auto& [key, value] : properties.pairs()) {
      if (key != "provider") Append(out, key, value);
    }
    if (!properties.Has("clientcharset")) Append(out, "ClientCharset", "UTF-8");
    return out;
  }
  Append(out, "Driver", "FreeTDS");
  // "host,port" or "tcp:host,port"; "host\instance" is left to the driver.
  std::string server = properties.Get({"data source", "server", "address", "addr", "network address"});
  if (AsciiLower(server).starts_with("tcp:")) server.erase(0, 4);
  const size_t comma = server.find(',');
  if (comma != std::string::npos) {
    Append(out, "Server", TrimBlanks(std::string_view(server).substr(0, comma)));
    Append(out, "Port", TrimBlanks(std::string_view(server).substr(comma + 1)));
  } else {
    Append(out, "Server", server);
  }
  const std::string database = properties.Get({"initial catalog", "database"});
  if (!database.empty()) Append(out, "Database", database);
  Append(out, "UID", properties.Get({"user id", "uid", "user"}));
  Append(out, "PWD", properties.Get({"password", "pwd"}));
  const std::string application = properties.Get({"application name", "app"});
  if (!application.empty()) Append(out, "APP", application);
  const std::string workstation = properties.Get({"workstation id", "wsid"});
  if (!workstation.empty()) Append(out, "WSID", workstation);
  if (IsTrue(properties.Get({"encrypt", "use encryption for data"}))) Append(out, "Encryption", "require");
  Append(out, "TDS_Version", "7.4");
  Append(out, "ClientCharset", "UTF-8");
  return out;
}

}  // namespace orv::platform::odbc
