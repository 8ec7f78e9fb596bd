// Turns an RPC call into the T-SQL text the engine runs: sp_executesql with
// parameters becomes "EXEC sp_executesql N'...', N'@p1 int', @p1 = 5", the
// prepared-statement procedures keep their statements per connection and run
// them the same way, and any other procedure becomes "EXEC name args".
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tds/rpc_request.h"

namespace orv::tds {

struct PreparedStatement {
  std::string declarations;  // "@p1 int, @p2 nvarchar(10)", may be empty
  std::string statement;
};

// The statements a connection prepared, by handle.
class PreparedStatements {
 public:
  static constexpr size_t kMaxPrepared = 4096;
  // Throws RequestError when the connection holds kMaxPrepared already.
  int32_t Add(PreparedStatement statement);
  const PreparedStatement* Find(int32_t handle) const;
  bool Remove(int32_t handle);
  void Clear() { statements_.clear(); }

 private:
  void Advance();
  std::map<int32_t, PreparedStatement> statements_;
  int32_t next_handle_ = 1;
};

// An output parameter: the text declares `variable`, passes it OUTPUT and
// ends with "SELECT variable AS [variable], ..." whose row carries the values back.
struct OutputParam {
  uint16_t ordinal = 0;  // in the call
  std::string name;      // as the client named it
  std::string variable;
};

struct RpcPlan {
  std::string sql;  // the text to run; empty when the call runs nothing
  // The handle sp_prepare or sp_prepexec hands back in its first parameter.
  std::optional<int32_t> handle;
  std::string handle_name;
  std::vector<OutputParam> outputs;
};

// Throws RequestError for a call whose parameters do not fit the procedure
// (201, 214) or an unknown handle (8179).
RpcPlan PlanRpcCall(const RpcCall& call, PreparedStatements& prepared);

// The statement alone when there is nothing to bind, else the sp_executesql
// call. `first_ordinal`: the call's position of values[0]; output parameters
// are added to `outputs`.
std::string ExecuteSqlText(std::string_view statement, std::string_view declarations,
                           std::span<const RpcParam> values, uint16_t first_ordinal, std::vector<OutputParam>& outputs);

}  // namespace orv::tds
