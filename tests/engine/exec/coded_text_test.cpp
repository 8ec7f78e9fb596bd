// Text columns kept as codes into a dictionary of their distinct texts: every
// row reads back its own bytes (NULL apart from the empty text, texts equal
// only under the collation apart from each other) through appends, updates
// and their undo, deletes, undone appends and gathered copies, and a column
// whose texts prove mostly distinct goes over to a view a row on its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/storage/table.h"

namespace orv::engine {
namespace {

const DataType kText{TypeId::NVarChar, 0, 0, 40};

Value Text(std::string_view text) { return Value::String(TypeId::NVarChar, text); }
Value Null() { return Value::Null(TypeId::NVarChar); }

// A row's text as a test reads it: "NULL" for NULL, the bytes otherwise.
std::string Row(const Column& column, size_t row) {
  const Value value = column.Get(row);
  return value.is_null ? "NULL" : std::string(value.s());
}

std::vector<std::string> Rows(const Column& column) {
  std::vector<std::string> rows;
  for (size_t r = 0; r < column.size(); ++r) rows.push_back(Row(column, r));
  return rows;
}

Table OneTextColumn() { return Table("#t", {ColumnSchema{"s", kText, true, "", std::nullopt, ""}}); }

void AppendAll(Table& table, const std::vector<Value>& values) {
  for (const Value& value : values) table.AppendRow(&value);
}

// 'abc', 'ABC' and 'abc ' compare equal under the case-insensitive
// collation, as do 'ÄÖ' and 'äö': each keeps an entry and its bytes.
TEST(CodedText, NullEmptyAndCollationEqualTextsKeepTheirOwnBytes) {
  Table table = OneTextColumn();
  AppendAll(table, {Null(), Text(""), Text("abc"), Text("ABC"), Text("abc "), Text("ÄÖ"), Text("äö"), Null(),
                    Text(""), Text("ABC"), Text("abc")});
  const Column& column = table.column(0);
  EXPECT_TRUE(column.coded());
  EXPECT_EQ(Rows(column), (std::vector<std::string>{"NULL", "", "abc", "ABC", "abc ", "ÄÖ", "äö", "NULL", "", "ABC",
                                                    "abc"}));
  EXPECT_TRUE(column.IsNull(7));
  EXPECT_FALSE(column.IsNull(8));
  // The empty text and five others.
  EXPECT_EQ(column.dictionary().size(), 6u);
  EXPECT_EQ(column.codes()[2], column.codes()[10]);
  EXPECT_NE(column.codes()[2], column.codes()[3]);
}

// A text over three rows in a row (a document number over its lines) is
// coded too seldom to pay for coding it: the column goes over to views. One
// over five rows stays coded.
TEST(CodedText, TextsOfAFewRowsEachGoOverToViewsThoseOfMoreStayCoded) {
  Table threes = OneTextColumn();
  Table fives = OneTextColumn();
  for (int r = 0; r < 70'000; ++r) {
    AppendAll(threes, {Text("BILL" + std::to_string(r / 3))});
    AppendAll(fives, {Text("BILL" + std::to_string(r / 5))});
  }
  EXPECT_FALSE(threes.column(0).coded());
  EXPECT_TRUE(fives.column(0).coded());
  for (int r : {0, 2, 3, 65'535, 65'536, 69'999}) {
    EXPECT_EQ(Row(threes.column(0), r), "BILL" + std::to_string(r / 3));
    EXPECT_EQ(Row(fives.column(0), r), "BILL" + std::to_string(r / 5));
  }
}

// 100,000 rows of 200 texts take a code a row; 100,000 distinct texts go over
// to a view a row once enough rows went by, and rows from before and after
// that read back the same.
TEST(CodedText, RepeatedTextsTakeACodeARowDistinctOnesAViewARow) {
  Table repeated = OneTextColumn();
  Table distinct = OneTextColumn();
  const std::string padding(30, 'x');
  for (int r = 0; r < 100'000; ++r) {
    AppendAll(repeated, {Text(padding + std::to_string(r % 200))});
    AppendAll(distinct, {Text(padding + std::to_string(r))});
    if (r == 999) {
      EXPECT_TRUE(distinct.column(0).coded());
    }
  }
  EXPECT_TRUE(repeated.column(0).coded());
  EXPECT_FALSE(distinct.column(0).coded());
  for (int r : {0, 199, 200, 65'535, 65'536, 99'999}) {
    EXPECT_EQ(Row(repeated.column(0), r), padding + std::to_string(r % 200));
    EXPECT_EQ(Row(distinct.column(0), r), padding + std::to_string(r));
  }
  // 131,072 codes of 4 bytes reserved, the null bits, 200 entries and their
  // slots and one arena block, against 16 bytes a row for views.
  EXPECT_LT(repeated.MemoryBytes(), 700'000u);
  EXPECT_GT(distinct.MemoryBytes(), 1'600'000u + 3'000'000u);
}

// An UPDATE's values and the old ones its undo puts back, a single Set,
// deletes and undone appends: each row holds its own bytes after each.
TEST(CodedText, UpdatesUndoDeletesAndUndoneAppendsKeepEachRowsBytes) {
  Table table = OneTextColumn();
  for (int r = 0; r < 10; ++r) AppendAll(table, {r % 4 == 3 ? Null() : Text("unit" + std::to_string(r % 3))});
  const std::vector<std::string> before = Rows(table.column(0));
  ASSERT_EQ(before, (std::vector<std::string>{"unit0", "unit1", "unit2", "NULL", "unit1", "unit2", "unit0", "NULL",
                                              "unit2", "unit0"}));
  const std::vector<int64_t> rows = {9, 0, 3, 4, 5};
  std::vector<std::string> texts = {"UNIT0", "unit0 ", "", "unit1"};  // apart from the table, as a statement's are
  Column values(kText, nullptr);
  for (const std::string& text : texts) values.Append(Text(text));
  values.Append(Null());
  const Column old = table.StoredValues(0, rows);
  table.SetRows(0, rows, values, false);
  texts.assign(texts.size(), "????");  // the table keeps copies
  table.Set(1, 0, Text("unit2"));
  EXPECT_EQ(Rows(table.column(0)), (std::vector<std::string>{"unit0 ", "unit2", "unit2", "", "unit1", "NULL", "unit0",
                                                             "NULL", "unit2", "UNIT0"}));
  table.Set(1, 0, Text("unit1"));
  table.SetRows(0, rows, old, true);
  EXPECT_EQ(Rows(table.column(0)), before);

  // Rows 0, 3, 6 and 9 deleted; two appended and undone; one more appended.
  table.DeleteRows({1, 0, 0, 1, 0, 0, 1, 0, 0, 1});
  AppendAll(table, {Text("gone"), Text("unit1")});
  table.TruncateRows(6);
  AppendAll(table, {Text("UNIT1")});
  EXPECT_EQ(Rows(table.column(0)), (std::vector<std::string>{"unit1", "unit2", "unit1", "unit2", "NULL", "unit2",
                                                             "UNIT1"}));
}

// Rows gathered from a coded column are their source texts' very views. The
// source's codes map through a table filled as they first come, which
// follows the source as its dictionary grows and forgets it when the source
// is cleared and fills again with other texts under the same codes.
TEST(CodedText, GatheredCodesFollowTheSourceDictionary) {
  StringArena arena;
  Column source(kText, &arena);
  Column target(kText, &arena);
  for (const Value& value : {Text("a"), Text("b"), Null(), Text("")}) source.Append(value);
  auto gather = [&](std::vector<uint32_t> rows, const Value& if_null) {
    target.AppendGathered(source, rows.data(), rows.size(), if_null);
  };
  gather({1, 0, 2, 3, Column::kNoRow}, Text("-"));
  source.Append(Text("c"));
  source.Append(Text("a"));
  gather({4, 5, 0, 2}, Null());
  EXPECT_EQ(Rows(target), (std::vector<std::string>{"b", "a", "-", "", "-", "c", "a", "a", "NULL"}));
  EXPECT_EQ(target.Text(0).data(), source.Text(1).data());
  EXPECT_EQ(target.Text(5).data(), source.Text(4).data());

  source.Clear();
  for (const char* text : {"z", "y", "x"}) source.Append(Text(text));
  gather({2, 1, 0}, Null());
  EXPECT_EQ(Row(target, 9), "x");
  EXPECT_EQ(Row(target, 10), "y");
  EXPECT_EQ(Row(target, 11), "z");
  EXPECT_TRUE(target.coded());
}

// A source gone over to views gathers into a coded column, its rows each
// looked up once while they stay as they were, and a coded source into a
// column gone over to views.
TEST(CodedText, GatheringBetweenCodesAndViews) {
  StringArena arena;
  Column distinct(kText, &arena);
  Column repeated(kText, &arena);
  for (int r = 0; r < 70'000; ++r) {
    distinct.Append(Text("d" + std::to_string(r)));
    repeated.Append(r % 5 == 0 ? Null() : Text("r" + std::to_string(r % 3)));
  }
  ASSERT_FALSE(distinct.coded());
  ASSERT_TRUE(repeated.coded());

  Column coded(kText, &arena);
  const std::vector<uint32_t> rows = {69'999, 0, 12'345, 69'999};
  coded.AppendGathered(distinct, rows.data(), rows.size(), Null());
  EXPECT_TRUE(coded.coded());
  EXPECT_EQ(Rows(coded), (std::vector<std::string>{"d69999", "d0", "d12345", "d69999"}));
  EXPECT_EQ(coded.dictionary().size(), 4u);

  Column views(kText, &arena);
  views.AppendGathered(distinct, rows.data(), rows.size(), Null());
  for (int r = 0; r < 70'000; ++r) views.Append(Text("v" + std::to_string(r)));
  ASSERT_FALSE(views.coded());
  const std::vector<uint32_t> from_repeated = {5, 7, 11, 12};
  views.AppendGathered(repeated, from_repeated.data(), from_repeated.size(), Text("none"));
  EXPECT_EQ(Row(views, 0), "d69999");
  EXPECT_EQ(Row(views, 70'003), "v69999");
  EXPECT_EQ(Row(views, 70'004), "none");
  EXPECT_EQ(Row(views, 70'005), "r1");
  EXPECT_EQ(Row(views, 70'006), "r2");
  EXPECT_EQ(Row(views, 70'007), "r0");

  // The source's rows changed in place and appended again after an undo
  // are gathered as they are now.
  distinct.Set(0, Text("changed"));
  distinct.Truncate(69'999);
  distinct.Append(Text("appended"));
  coded.AppendGathered(distinct, rows.data(), rows.size(), Null());
  EXPECT_EQ(Rows(coded), (std::vector<std::string>{"d69999", "d0", "d12345", "d69999", "appended", "changed", "d12345",
                                                   "appended"}));
}

}  // namespace
}  // namespace orv::engine
