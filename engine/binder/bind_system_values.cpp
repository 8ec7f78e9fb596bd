// The connection's system functions and @@ values a client reads on connect
// or in a script: DB_NAME, DB_ID, USER_NAME, SUSER_SNAME, HOST_NAME ... and
// @@SERVERNAME, @@LANGUAGE, @@MAX_PRECISION, @@DATEFIRST ... . The embedded
// engine has one user (dbo, the sa login) and its database beside the system
// ones SQL Server numbers 1 to 4, so each is a constant of the statement.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string>

#include "engine/binder/binder.h"
#include "engine/binder/database_ids.h"
#include "engine/binder/statement_value.h"
#include "engine/catalog/names.h"
#include "engine/common/ascii.h"

namespace orv::engine {
namespace {

const DataType kSysname{TypeId::NVarChar, 0, 0, 128};

BoundExprPtr Text(std::string_view text, int line, StringArena& arena, const DataType& type = kSysname) {
  return MakeExpr<bound::Constant>(type, false, line, Value::String(type.id, arena.Copy(text)));
}

BoundExprPtr Number(TypeId type, int64_t value, int line) {
  return MakeExpr<bound::Constant>(DataType{type}, false, line, Value::Integer(type, value));
}

BoundExprPtr Null(const DataType& type, int line) {
  return MakeExpr<bound::Constant>(type, true, line, Value::Null(type.id));
}

std::string MachineName() {
  std::array<char, 256> name{};
  if (gethostname(name.data(), name.size() - 1) != 0) return "localhost";
  return AsciiUpper(name.data());
}

// The system databases by id, then the session's own.
constexpr std::array<std::string_view, 4> kSystemDatabases = {"master", "tempdb", "model", "msdb"};

std::optional<int64_t> DatabaseId(std::string_view name, const std::string& own) {
  for (size_t i = 0; i < kSystemDatabases.size(); ++i) {
    if (NamesEqual(name, kSystemDatabases[i])) return static_cast<int64_t>(i + 1);
  }
  if (NamesEqual(name, own)) return kOwnDatabaseId;
  return std::nullopt;
}

std::optional<std::string> DatabaseName(int64_t id, const std::string& own) {
  if (id >= 1 && id <= static_cast<int64_t>(kSystemDatabases.size())) {
    return std::string(kSystemDatabases[static_cast<size_t>(id - 1)]);
  }
  if (id == kOwnDatabaseId) return own;
  return std::nullopt;
}

}  // namespace

BoundExprPtr Binder::BindSystemFunction(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context) {
  static constexpr std::array<std::string_view, 12> kNames = {
      "DB_NAME",   "DB_ID",     "USER_NAME",  "USER_ID",        "SUSER_NAME",  "SUSER_SNAME",
      "HOST_NAME", "APP_NAME",  "SCHEMA_NAME", "ORIGINAL_LOGIN", "SCHEMA_ID",   "SUSER_ID"};
  if (std::find(kNames.begin(), kNames.end(), expr.name) == kNames.end()) return nullptr;
  const std::string lower = AsciiLower(expr.name);
  const bool takes_argument = expr.name != "HOST_NAME" && expr.name != "APP_NAME" && expr.name != "ORIGINAL_LOGIN";
  if (takes_argument && expr.args.size() > 1) Throw(ErrorCode::kFunctionArgumentRange, {lower, "0", "1"}, expr.line);
  if (!takes_argument && !expr.args.empty()) Throw(ErrorCode::kWrongArgumentCount, {lower, "0"}, expr.line);
  // The argument is read once for the statement: a name or an id, never a column.
  std::optional<Value> argument;
  if (!expr.args.empty()) {
    BoundExprPtr bound = BindExpr(*expr.args[0], scope, context);
    argument = AtLine(expr.line, [&] { return StatementValue(*bound, context_.arena); });
    if (!argument) Throw(ErrorCode::kNotSupported, {"A " + lower + " argument that reads a column"}, expr.line);
    if (argument->is_null) {
      const bool names = expr.name.ends_with("_NAME") || expr.name == "SUSER_SNAME";
      return Null(names ? kSysname : DataType{expr.name == "DB_ID" ? TypeId::SmallInt : TypeId::Int}, expr.line);
    }
  }
  const int line = expr.line;
  StringArena& arena = context_.arena;
  const std::string& own = context_.session.database_name;
  auto number = [&] { return CastValue(*argument, DataType{TypeId::BigInt}, arena).i; };
  auto text = [&] { return std::string(CastValue(*argument, kSysname, arena).s()); };
  if (expr.name == "DB_NAME") {
    std::optional<std::string> name = argument ? DatabaseName(number(), own) : own;
    return name ? Text(*name, line, arena) : Null(kSysname, line);
  }
  if (expr.name == "DB_ID") {
    std::optional<int64_t> id = argument ? DatabaseId(text(), own) : kOwnDatabaseId;
    return id ? Number(TypeId::SmallInt, *id, line) : Null(DataType{TypeId::SmallInt}, line);
  }
  // One user, dbo (id 1), logged in as sa (id 1); one schema, dbo (id 1).
  if (expr.name == "USER_NAME" || expr.name == "SCHEMA_NAME") {
    return !argument || number() == 1 ? Text("dbo", line, arena) : Null(kSysname, line);
  }
  if (expr.name == "SUSER_NAME" || expr.name == "SUSER_SNAME") {
    const bool ours = !argument || (expr.name == "SUSER_NAME" ? number() == 1 : true);
    return ours ? Text("sa", line, arena) : Null(kSysname, line);
  }
  if (expr.name == "USER_ID" || expr.name == "SCHEMA_ID" || expr.name == "SUSER_ID") {
    return !argument || NamesEqual(text(), expr.name == "SUSER_ID" ? "sa" : "dbo") ? Number(TypeId::Int, 1, line)
                                                                                    : Null(DataType{TypeId::Int}, line);
  }
  if (expr.name == "HOST_NAME") return Text(MachineName(), line, arena);
  if (expr.name == "ORIGINAL_LOGIN") return Text("sa", line, arena);
  return Text("", line, arena);  // APP_NAME: the client named no application
}

BoundExprPtr Binder::BindSystemVariable(std::string_view upper_name, int line) {
  if (upper_name == "@@SERVERNAME") return Text(MachineName(), line, context_.arena);
  if (upper_name == "@@LANGUAGE") return Text("us_english", line, context_.arena);
  if (upper_name == "@@LANGID") return Number(TypeId::SmallInt, 0, line);
  if (upper_name == "@@MAX_PRECISION") return Number(TypeId::TinyInt, 38, line);
  if (upper_name == "@@DATEFIRST") return Number(TypeId::TinyInt, 7, line);
  if (upper_name == "@@LOCK_TIMEOUT") return Number(TypeId::Int, -1, line);
  if (upper_name == "@@TEXTSIZE") return Number(TypeId::Int, 2147483647, line);
  if (upper_name == "@@MAX_CONNECTIONS") return Number(TypeId::Int, 32767, line);
  if (upper_name == "@@OPTIONS") {
    // The options the engine always has on: ANSI_WARNINGS 8, ANSI_PADDING 16,
    // ANSI_NULLS 32, ARITHABORT 64, QUOTED_IDENTIFIER 256, ANSI_NULL_DFLT_ON
    // 1024, CONCAT_NULL_YIELDS_NULL 4096; then NOCOUNT 512 and XACT_ABORT 16384.
    int64_t options = 8 | 16 | 32 | 64 | 256 | 1024 | 4096;
    if (context_.session.nocount) options |= 512;
    if (context_.session.transaction.xact_abort) options |= 16384;
    return Number(TypeId::Int, options, line);
  }
  return nullptr;
}

}  // namespace orv::engine
