// Turns what a report returns into typed rows: the platform's record sets
// and single automation values.
#pragma once

#include <memory>

#include "platform/recordset.h"
#include "results/row_source.h"

namespace orv::results {

// One automation value as a cell: Empty and Null as NULL, an object as "(object)".
Cell FromVariant(const platform::Variant& value);

// The rows of an open record set, read where they lie: reading a row moves
// the record set's position to it.
class RecordsetRows final : public RowSource {
 public:
  explicit RecordsetRows(std::shared_ptr<platform::Recordset> recordset);
  const std::vector<ResultColumn>& columns() const override { return columns_; }
  size_t row_count() const override { return rows_; }
  void Row(size_t r, std::vector<Cell>& cells) const override;

 private:
  std::shared_ptr<platform::Recordset> recordset_;
  std::vector<ResultColumn> columns_;
  size_t rows_ = 0;
};

}  // namespace orv::results
