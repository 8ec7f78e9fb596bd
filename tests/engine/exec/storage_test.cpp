// Column storage and tables: values come back with their declared type,
// strings survive updates of other rows, deletes keep order, truncation
// restarts the identity.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/storage/table.h"

namespace orv::engine {
namespace {

std::vector<ColumnSchema> Schema() {
  ColumnSchema id{"id", DataType{TypeId::Int}, false, "", Identity{100, 5}, ""};
  ColumnSchema name{"name", DataType{TypeId::NVarChar, 0, 0, 20}, true, "", std::nullopt, ""};
  ColumnSchema qty{"qty", DataType{TypeId::Decimal, 10, 2}, true, "", std::nullopt, ""};
  return {id, name, qty};
}

// Rows in a run of the same text share one copy of it: each must still read
// back its own value when the caller's buffer is reused, a NULL or an empty
// string breaks the run, one row of the run is updated, or rows are undone.
TEST(Column, RunsOfEqualTextReadBackAsAppended) {
  StringArena arena;
  Column column(DataType{TypeId::NVarChar, 0, 0, 20}, &arena);
  std::string buffer;
  auto append = [&](const char* text) {
    if (text == nullptr) return column.Append(Value::Null(TypeId::NVarChar));
    buffer = text;
    column.Append(Value::String(TypeId::NVarChar, buffer));
    buffer = "overwritten";
  };
  for (const char* text : std::vector<const char*>{"a", "a", nullptr, "a", "", "b", "a"}) append(text);
  column.Set(1, Value::String(TypeId::NVarChar, "z"));
  auto text = [&](size_t row) {
    const Value value = column.Get(row);
    return value.is_null ? std::string("NULL") : std::string(value.s());
  };
  const std::vector<std::string> expected = {"a", "z", "NULL", "a", "", "b", "a"};
  for (size_t r = 0; r < expected.size(); ++r) EXPECT_EQ(text(r), expected[r]) << "row " << r;
  column.Truncate(5);
  append("b");
  append("c");
  EXPECT_EQ(text(4), "");
  EXPECT_EQ(text(5), "b");
  EXPECT_EQ(text(6), "c");
  column.Clear();
  append("c");
  ASSERT_EQ(column.size(), 1u);
  EXPECT_EQ(text(0), "c");
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
