// Output parameters on the way back: the row of the closing SELECT that an
// RPC call's text ends with is taken out of the results and sent as
// RETURNVALUE tokens instead.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "tds/rpc_sql.h"
#include "tds/tokens.h"

namespace orv::tds {

// The output row when the batch ended with it (one row, one column per output
// named after its variable, no error after it); removed from `result` with
// its row count. Nothing when the batch failed before it.
std::optional<engine::ResultSet> TakeOutputRow(engine::BatchResult& result, const std::vector<OutputParam>& outputs);

void PutReturnValues(std::string& out, const TokenFormat& format, const std::vector<OutputParam>& outputs,
                     const engine::ResultSet& row);

// The handle sp_prepare and sp_prepexec give back, an int output parameter.
void PutReturnHandle(std::string& out, const TokenFormat& format, uint16_t ordinal, const std::string& name,
                     int32_t handle);

}  // namespace orv::tds
