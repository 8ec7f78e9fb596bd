// Turns what the two layers return into printable rows: the engine's result
// sets (the sql command), the platform's record sets (the report command) and
// single automation values.
#pragma once

#include "cli/result_table.h"
#include "engine/engine.h"
#include "results/recordset_table.h"

namespace orv::cli {

using results::FromVariant;
using results::RecordsetRows;

// The rows of an engine result set, formatted as they are read.
class EngineRows final : public results::RowSource {
 public:
  explicit EngineRows(const engine::ResultSet& result);
  const std::vector<ResultColumn>& columns() const override { return columns_; }
  size_t row_count() const override { return result_.row_count(); }
  void Row(size_t r, std::vector<Cell>& cells) const override;

 private:
  const engine::ResultSet& result_;
  std::vector<ResultColumn> columns_;
};

}  // namespace orv::cli
