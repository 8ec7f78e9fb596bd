// Column storage and tables: values come back with their declared type,
// strings survive updates of other rows, deletes keep order, truncation
// restarts the identity; null bits, narrow integers and shared text hold
// across word boundaries, gathered rows, deletes, undone appends and updates.
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

// Row r: an INT at the edges of its range (NULL every 7th row), a date, a
// text that repeats every 3 rows.
std::vector<Value> EdgeRow(int r) {
  static const std::string kNames[] = {"dept0", "dept1", "dept2"};  // a value views its text
  const int64_t number = r % 2 ? INT32_MIN + r : INT32_MAX - r;
  return {r % 7 == 0 ? Value::Null(TypeId::Int) : Value::Integer(TypeId::Int, number),
          Value::Integer(TypeId::Date, 738000 + r), Value::String(TypeId::NVarChar, kNames[r % 3])};
}

void ExpectEdgeRow(const Table& table, size_t at, int r) {
  const std::vector<Value> want = EdgeRow(r);
  SCOPED_TRACE("row " + std::to_string(r));
  EXPECT_EQ(table.Get(at, 0).is_null, want[0].is_null);
  if (!want[0].is_null) {
    EXPECT_EQ(table.Get(at, 0).i, want[0].i);
  }
  EXPECT_EQ(table.Get(at, 1).type, TypeId::Date);
  EXPECT_EQ(table.Get(at, 1).i, want[1].i);
  EXPECT_EQ(table.Get(at, 2).s(), want[2].s());
}

TEST(Table, NarrowLayoutAcrossWordsDeletesAndUndo) {
  ColumnSchema number{"n", DataType{TypeId::Int}, true, "", std::nullopt, ""};
  ColumnSchema day{"d", DataType{TypeId::Date}, true, "", std::nullopt, ""};
  ColumnSchema name{"s", DataType{TypeId::NVarChar, 0, 0, 20}, true, "", std::nullopt, ""};
  Table table("#t", {number, day, name});
  for (int r = 0; r < 200; ++r) table.AppendRow(EdgeRow(r).data());
  for (int r = 0; r < 200; ++r) ExpectEdgeRow(table, r, r);

  // Undoing appends past a word boundary leaves no stray null bit behind.
  table.TruncateRows(70);
  for (int r = 70; r < 140; ++r) table.AppendRow(EdgeRow(r + 1).data());
  for (int r = 70; r < 140; ++r) ExpectEdgeRow(table, r, r + 1);
  ExpectEdgeRow(table, 63, 63);
  ExpectEdgeRow(table, 64, 64);

  // Deleting every row not divisible by 5 compacts across words, in order.
  std::vector<uint8_t> doomed(table.row_count());
  for (size_t r = 0; r < doomed.size(); ++r) doomed[r] = r % 5 != 0;
  table.DeleteRows(doomed);
  ASSERT_EQ(table.row_count(), 28u);
  ExpectEdgeRow(table, 13, 65);

  // An update sets and clears null bits and keeps the other rows' shared text.
  table.Set(13, 0, Value::Null(TypeId::Int));
  table.Set(14, 0, Value::Integer(TypeId::Int, -1));
  table.Set(14, 2, Value::String(TypeId::NVarChar, "other"));
  EXPECT_TRUE(table.Get(13, 0).is_null);
  EXPECT_EQ(table.Get(14, 0).i, -1);
  EXPECT_EQ(table.Get(14, 2).s(), "other");
  EXPECT_EQ(table.Get(15, 2).s(), EdgeRow(76).back().s());  // position 75 held row 76
}

TEST(Table, RepeatedTextIsKeptOnceDistinctTextCopied) {
  ColumnSchema name{"s", DataType{TypeId::VarChar, 0, 0, 40}, true, "", std::nullopt, ""};
  Table repeated("#r", {name});
  Table distinct("#d", {name});
  const std::string padding(30, 'x');
  for (int r = 0; r < 100'000; ++r) {
    const std::string same_text = padding + std::to_string(r % 200);
    const std::string unique_text = padding + std::to_string(r);
    const Value same = Value::String(TypeId::VarChar, same_text);
    const Value unique = Value::String(TypeId::VarChar, unique_text);
    repeated.AppendRow(&same);
    distinct.AppendRow(&unique);
  }
  EXPECT_EQ(repeated.Get(99'999, 0).s(), padding + "199");
  EXPECT_EQ(distinct.Get(99'999, 0).s(), padding + "99999");
  // 100,000 views of 16 bytes and 200 copies, against 3.2 MB more of distinct text.
  EXPECT_LT(repeated.MemoryBytes(), 3'000'000u);
  EXPECT_GT(distinct.MemoryBytes(), 4'500'000u);
}

// Gathered rows go in with their null flags 64 at a time: after three rows
// appended one by one, 130 gathered rows cross three words unaligned. A
// source NULL and a missing row (kNoRow) stay NULL, or take the replacement;
// texts are the source's own views.
TEST(Column, GatheredRowsKeepTheirNullsAcrossWords) {
  StringArena arena;
  Column source(DataType{TypeId::NVarChar, 0, 0, 20}, &arena);
  Column numbers(DataType{TypeId::Int}, &arena);
  for (int r = 0; r < 10; ++r) {
    source.Append(r % 3 == 0 ? Value::Null(TypeId::NVarChar) : Value::String(TypeId::NVarChar, std::to_string(r)));
    numbers.Append(r % 3 == 0 ? Value::Null(TypeId::Int) : Value::Integer(TypeId::Int, r));
  }
  std::vector<uint32_t> rows(130);
  for (size_t k = 0; k < rows.size(); ++k) rows[k] = k % 11 == 10 ? Column::kNoRow : static_cast<uint32_t>(k % 11);
  // The row a gathered row k reads, or -1 where it is NULL in the source or missing.
  auto read = [&](size_t k) { return rows[k] == Column::kNoRow || rows[k] % 3 == 0 ? -1 : static_cast<int>(rows[k]); };

  Column texts(DataType{TypeId::NVarChar, 0, 0, 20}, &arena);
  Column ints(DataType{TypeId::Int}, &arena);
  for (int r = 0; r < 3; ++r) {
    texts.Append(Value::String(TypeId::NVarChar, "head"));
    ints.Append(Value::Null(TypeId::Int));
  }
  texts.AppendGathered(source, rows.data(), rows.size(), Value::String(TypeId::NVarChar, "-"));
  ints.AppendGathered(numbers, rows.data(), rows.size(), Value::Null(TypeId::Int));
  ASSERT_EQ(texts.size(), 133u);
  ASSERT_EQ(ints.size(), 133u);
  for (size_t k = 0; k < rows.size(); ++k) {
    const int r = read(k);
    SCOPED_TRACE(k);
    EXPECT_FALSE(texts.IsNull(3 + k));
    EXPECT_EQ(texts.Get(3 + k).s(), r < 0 ? "-" : std::to_string(r));
    EXPECT_EQ(ints.IsNull(3 + k), r < 0);
    if (r < 0) continue;
    EXPECT_EQ(texts.Text(3 + k).data(), source.Text(rows[k]).data());
    EXPECT_EQ(ints.Get(3 + k).i, r);
  }
  EXPECT_TRUE(ints.IsNull(2));

  // Undone past a word boundary, the flags gathered again are the new ones.
  ints.Truncate(70);
  std::vector<uint32_t> present(60, 1);
  ints.AppendGathered(numbers, present.data(), present.size(), Value::Null(TypeId::Int));
  ASSERT_EQ(ints.size(), 130u);
  for (size_t row = 70; row < 130; ++row) EXPECT_FALSE(ints.IsNull(row)) << row;
  EXPECT_EQ(ints.IsNull(69), read(66) < 0);
}

// An UPDATE's values stored a column at a time: each row reads back its own
// new value (a NULL, an empty text, a repeat kept once, a distinct text
// copied), and the old values taken before put every row back as it was.
TEST(Table, RowsSetFromAColumnApartAndPutBack) {
  ColumnSchema name{"s", DataType{TypeId::VarChar, 0, 0, 40}, true, "", std::nullopt, ""};
  Table table("#u", {name});
  const std::string padding(30, 'x');
  auto old_text = [&](int r) { return r % 3 == 0 ? Value::Null(TypeId::VarChar) : Value::String(TypeId::VarChar, "old"); };
  for (int r = 0; r < 100'003; ++r) {
    const Value value = old_text(r);
    table.AppendRow(&value);
  }
  std::vector<int64_t> rows;
  std::vector<std::string> texts;  // the new values' texts live here, apart from the table
  for (int64_t r = 100'002; r >= 0; r -= 2) rows.push_back(r);
  for (size_t k = 0; k < rows.size(); ++k) texts.push_back(k < 1000 ? padding + std::to_string(k) : padding + std::to_string(k % 200));
  Column values(name.type, nullptr);
  for (size_t k = 0; k < rows.size(); ++k) {
    values.Append(k % 7 == 0 ? Value::Null(TypeId::VarChar)
                             : Value::String(TypeId::VarChar, k % 7 == 1 ? std::string_view() : texts[k]));
  }
  const Column old = table.StoredValues(0, rows);
  const size_t bytes_before = table.MemoryBytes();
  table.SetRows(0, rows, values, false);
  texts.assign(texts.size(), std::string(40, '?'));  // the table holds copies
  auto text = [&](int64_t row) {
    const Value value = table.Get(static_cast<size_t>(row), 0);
    return value.is_null ? std::string("NULL") : std::string(value.s());
  };
  EXPECT_EQ(text(100'002), "NULL");                   // k = 0
  EXPECT_EQ(text(100'000), "");                       // k = 1
  EXPECT_EQ(text(99'998), padding + "2");             // k = 2
  EXPECT_EQ(text(97'996), padding + "3");             // k = 1003, a repeat of 1003 % 200
  EXPECT_EQ(text(1), "old");                          // odd rows are not set
  EXPECT_EQ(text(3), "NULL");
  // About 1,000 distinct texts kept, not some 40,000 copies of 31 bytes or more.
  EXPECT_LT(table.MemoryBytes() - bytes_before, 1'000'000u);
  table.SetRows(0, rows, old, true);
  for (int r : {0, 1, 2, 3, 99'999, 100'000, 100'002}) {
    const Value expected = old_text(r);
    EXPECT_EQ(text(r), expected.is_null ? "NULL" : std::string(expected.s())) << "row " << r;
  }
}

}  // namespace
}  // namespace orv::engine
