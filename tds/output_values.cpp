// Taking the output row apart.
#include "tds/output_values.h"

#include "tds/column_codec.h"

namespace orv::tds {

std::optional<engine::ResultSet> TakeOutputRow(engine::BatchResult& result, const std::vector<OutputParam>& outputs) {
  if (outputs.empty() || result.result_sets.empty()) return std::nullopt;
  const engine::ResultSet& last = result.result_sets.back();
  if (last.row_count() != 1 || last.column_count() != outputs.size()) return std::nullopt;
  for (size_t i = 0; i < outputs.size(); ++i) {
    if (last.columns()[i].name != outputs[i].variable) return std::nullopt;
  }
  for (const engine::BatchError& error : result.errors) {
    if (error.result_sets_before == result.result_sets.size()) return std::nullopt;
  }
  engine::ResultSet row = std::move(result.result_sets.back());
  result.result_sets.pop_back();
  const bool error_after_count = !result.errors.empty() && result.errors.back().messages_before == result.messages.size();
  if (!result.messages.empty() && result.messages.back() == "(1 row affected)" && !error_after_count) {
    result.messages.pop_back();
  }
  return row;
}

void PutReturnValues(std::string& out, const TokenFormat& format, const std::vector<OutputParam>& outputs,
                     const engine::ResultSet& row) {
  const std::vector<ColumnEncoder> encoders = EncodersFor(row);
  for (size_t i = 0; i < outputs.size(); ++i) {
    PutReturnValue(out, format, outputs[i].ordinal, outputs[i].name, encoders[i], row.at(0, i));
  }
}

void PutReturnHandle(std::string& out, const TokenFormat& format, uint16_t ordinal, const std::string& name,
                     int32_t handle) {
  const ColumnEncoder encoder(engine::DataType{engine::TypeId::Int, 0, 0, 0}, 0);
  PutReturnValue(out, format, ordinal, name, encoder, engine::Value::Integer(engine::TypeId::Int, handle));
}

}  // namespace orv::tds
