// Column storage and tables: values come back with their declared type,
// strings survive updates of other rows, deletes keep order, truncation
// restarts the identity.
#include <gtest/gtest.h>

#include "engine/storage/table.h"

namespace orv::engine {
namespace {

std::vector<ColumnSchema> Schema() {
  ColumnSchema id{"id", DataType{TypeId::Int}, false, "", Identity{100, 5}, ""};
  ColumnSchema name{"name", DataType{TypeId::NVarChar, 0, 0, 20}, true, "", std::nullopt, ""};
  ColumnSchema qty{"qty", DataType{TypeId::Decimal, 10, 2}, true, "", std::nullopt, ""};
  return {id, name, qty};
}

TEST(Table, AppendGetUpdateDelete) {
  Table table("#t", Schema());
  std::vector<Value> cells;
  for (int i = 0; i < 3; ++i) {
    std::string text = "row" + std::to_string(i);
    cells.push_back(Value::Integer(TypeId::Int, table.NextIdentity()));
    cells.push_back(i == 1 ? Value::Null(TypeId::NVarChar) : Value::String(TypeId::NVarChar, text));
    cells.push_back(Value::Decimal(150 * i, 10, 2));
    table.AppendRows(cells);  // the table copies the text: `text` dies here
    cells.clear();
  }
  ASSERT_EQ(table.row_count(), 3u);
  EXPECT_EQ(table.Get(2, 0).i, 110);
  EXPECT_TRUE(table.Get(1, 1).is_null);
  EXPECT_EQ(table.Get(2, 1).s(), "row2");
  EXPECT_EQ(table.Get(2, 2).dec, 300);
  EXPECT_EQ(table.Get(2, 2).scale, 2);
  table.Set(0, 1, Value::String(TypeId::NVarChar, "中文"));
  table.DeleteRows({0, 1, 0});
  ASSERT_EQ(table.row_count(), 2u);
  EXPECT_EQ(table.Get(0, 1).s(), "中文");
  EXPECT_EQ(table.Get(1, 0).i, 110);
  table.Truncate();
  EXPECT_EQ(table.row_count(), 0u);
  EXPECT_EQ(table.NextIdentity(), 100);
}

}  // namespace
}  // namespace orv::engine
