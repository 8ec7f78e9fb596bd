// The embedded engine's result sets as record set rows: SQL types described
// as the SQL Server provider describes them to ADO, values as automation
// values (decimals as Decimal, money as Currency, datetime as Date, NULL as Null).
#pragma once

#include <vector>

#include "engine/engine.h"
#include "platform/row_source.h"

namespace orv::platform {

FieldInfo DescribeColumn(const engine::ColumnInfo& column);
Variant ToVariant(const engine::Value& value);

class EngineRowSource : public RowSource {
 public:
  explicit EngineRowSource(engine::ResultSet result);

  const std::vector<FieldInfo>& Columns() const override { return columns_; }
  size_t RowCount() const override { return result_.row_count(); }
  Variant Value(size_t row, size_t column) const override { return ToVariant(result_.at(row, column)); }

 private:
  engine::ResultSet result_;
  std::vector<FieldInfo> columns_;
};

}  // namespace orv::platform
