// Result sets keep each column as narrow as its values allow: values read
// back exactly as appended (type, precision, scale, NULL, text), whether a
// column stays narrow, turns whole part way, starts with NULLs or spans
// several chunks; text is the result set's own copy.
#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"

namespace orv::engine {
namespace {

std::string Describe(const Value& v) {
  std::string out = std::to_string(static_cast<int>(v.type)) + (v.is_null ? " null" : " value") + " p" +
                    std::to_string(v.precision) + " s" + std::to_string(v.scale);
  if (v.is_null) return out;
  if (IsString(v.type)) return out + " '" + std::string(v.s()) + "'";
  return out + " " + FormatValue(v);
}

ResultSet OneColumn(const std::vector<Value>& values) {
  ResultSet rows({ColumnInfo{"c", DataType{TypeId::Int, 0, 0, 0}, true}});
  for (const Value& v : values) rows.AppendRow(&v);
  return rows;
}

void ExpectSame(const ResultSet& rows, const std::vector<Value>& values) {
  ASSERT_EQ(rows.row_count(), values.size());
  for (size_t r = 0; r < values.size(); ++r) EXPECT_EQ(Describe(rows.at(r, 0)), Describe(values[r])) << "row " << r;
}

TEST(ResultSetColumns, ValuesReadBackExactlyWhenTheyShareAHeader) {
  const std::vector<Value> ints = {Value::Integer(TypeId::Int, 7), Value::Null(TypeId::Int),
                                   Value::Integer(TypeId::Int, -3)};
  ExpectSame(OneColumn(ints), ints);
  EXPECT_EQ(OneColumn(ints).at(2, 0).i, -3);
  const std::vector<Value> decimals = {Value::Decimal(12345, 10, 2), Value::Decimal(-1, 10, 2),
                                       Value::Decimal(Int128(1) << 100, 38, 2)};
  ExpectSame(OneColumn(decimals), decimals);
  EXPECT_EQ(FormatValue(OneColumn(decimals).at(0, 0)), "123.45");
  const std::vector<Value> dates = {Value::DateTime(kTicksPerDay), Value::Temporal(TypeId::DateTime2, 5, 7)};
  EXPECT_EQ(FormatValue(OneColumn(dates).at(0, 0)), "1900-01-02 00:00:00.000");
  ExpectSame(OneColumn(dates), dates);  // the second type turns the column whole
  ExpectSame(OneColumn({Value::Double(0.25), Value::Double(-2)}), {Value::Double(0.25), Value::Double(-2)});
}

TEST(ResultSetColumns, AValueOfAnotherTypeOrScaleTurnsTheColumnWhole) {
  // An integer column meets a decimal, then decimals of two scales and a NULL decimal.
  const std::vector<Value> mixed = {Value::Integer(TypeId::Int, 1), Value::Null(TypeId::Int),
                                    Value::Decimal(15, 3, 1), Value::Decimal(15, 4, 2),
                                    Value::Null(TypeId::Decimal), Value::String(TypeId::VarChar, "x")};
  const ResultSet rows = OneColumn(mixed);
  ExpectSame(rows, mixed);
  EXPECT_EQ(FormatValue(rows.at(2, 0)), "1.5");
  EXPECT_EQ(FormatValue(rows.at(3, 0)), "0.15");
  // NULLs of two types keep each their own.
  ExpectSame(OneColumn({Value::Null(TypeId::Int), Value::Null(TypeId::NVarChar)}),
             {Value::Null(TypeId::Int), Value::Null(TypeId::NVarChar)});
}

TEST(ResultSetColumns, LeadingNullsKeepTheirHeaderBeforeTheFirstValue) {
  Value typed_null = Value::Decimal(0, 18, 4);
  typed_null.is_null = true;  // as a decimal column reads a NULL cell
  const std::vector<Value> values = {Value::Null(), Value::Null(), Value::String(TypeId::NVarChar, "甲"),
                                     Value::Null(), Value::String(TypeId::NVarChar, "")};
  ExpectSame(OneColumn(values), values);
  ExpectSame(OneColumn({typed_null, Value::Decimal(5, 18, 4), typed_null}),
             {typed_null, Value::Decimal(5, 18, 4), typed_null});
}

TEST(ResultSetColumns, TextIsCopiedAndRepeatsShareOneCopy) {
  std::string source = "部门A";
  ResultSet rows({ColumnInfo{"name", DataType{TypeId::NVarChar, 0, 0, 20}, true}});
  for (int i = 0; i < 3; ++i) {
    const Value v = Value::String(TypeId::NVarChar, source);
    rows.AppendRow(&v);
  }
  source = "changed";
  const Value other = Value::String(TypeId::NVarChar, source);
  rows.AppendRow(&other);
  source[0] = 'X';
  EXPECT_EQ(rows.at(0, 0).s(), "部门A");
  EXPECT_EQ(rows.at(2, 0).s(), "部门A");
  EXPECT_EQ(rows.at(0, 0).chars, rows.at(2, 0).chars);
  EXPECT_EQ(rows.at(3, 0).s(), "changed");
  const ResultSet copy = rows;
  EXPECT_NE(copy.at(0, 0).chars, rows.at(0, 0).chars);
  EXPECT_EQ(copy.at(3, 0).s(), "changed");
}

TEST(ResultSetColumns, ALargeResultSpansChunksAndMayTurnWholeLate) {
  // Row r: the integer r, the decimal r/4 (scale 2), the text "t" + r % 7;
  // the last row's integer column holds a BIGINT, turning that column whole.
  constexpr size_t kRows = 1'200'000;
  ResultSet rows({ColumnInfo{"i", DataType{TypeId::Int, 0, 0, 0}, true},
                  ColumnInfo{"d", DataType{TypeId::Decimal, 10, 2, 0}, true},
                  ColumnInfo{"t", DataType{TypeId::VarChar, 0, 0, 2}, true}});
  const std::string texts[] = {"t0", "t1", "t2", "t3", "t4", "t5", "t6"};
  for (size_t r = 0; r < kRows; ++r) {
    const auto n = static_cast<int64_t>(r);
    const Value row[] = {r + 1 == kRows ? Value::Integer(TypeId::BigInt, n) : Value::Integer(TypeId::Int, n),
                         Value::Decimal(n * 25, 10, 2), Value::String(TypeId::VarChar, texts[r % 7])};
    rows.AppendRow(row);
  }
  ASSERT_EQ(rows.row_count(), kRows);
  for (size_t r : {size_t{0}, size_t{524'287}, size_t{524'288}, size_t{1'048'576}, kRows - 2}) {
    EXPECT_EQ(rows.at(r, 0).type, TypeId::Int);
    EXPECT_EQ(rows.at(r, 0).i, static_cast<int64_t>(r));
    EXPECT_EQ(rows.at(r, 2).s(), texts[r % 7]);
  }
  EXPECT_EQ(FormatValue(rows.at(524'289, 1)), "131072.25");
  EXPECT_EQ(rows.at(kRows - 1, 0).type, TypeId::BigInt);
  EXPECT_EQ(rows.at(kRows - 1, 0).i, 1'199'999);
}

TEST(ResultSetColumns, RowsPlacedInAnyOrderReadBackAsAppended) {
  // Rows given their values last to first, across a chunk boundary; a value
  // of another scale part way turns the column whole, keeping those placed.
  constexpr size_t kRows = 600'000;
  const auto value = [](size_t r) {
    if (r % 5 == 0) return Value::Null(TypeId::Decimal);
    return Value::Decimal(static_cast<Int128>(r), 12, r == 3 ? 3 : 2);
  };
  for (const size_t first : {size_t{0}, size_t{1}}) {
    ResultSet rows({ColumnInfo{"d", DataType{TypeId::Decimal, 12, 2, 0}, true}});
    if (first == 1) {
      const Value lead = value(0);
      rows.AppendRow(&lead);  // one row appended the usual way, before the placed ones
    }
    const size_t placed = kRows - first;
    rows.AppendColumns(placed, [&](size_t, ResultColumn& column, StringArena&) {
      column.Extend(placed);
      for (size_t k = placed; k-- > 0;) column.Place(first + k, value(first + k));
    });
    ASSERT_EQ(rows.row_count(), kRows);
    for (size_t r : {size_t{0}, size_t{1}, size_t{3}, size_t{4}, size_t{524'287}, size_t{524'289}, kRows - 1}) {
      EXPECT_EQ(Describe(rows.at(r, 0)), Describe(value(r))) << "row " << r << " after " << first;
    }
  }
  // Texts stay where they are, placed first into a column that had none.
  const std::string texts[] = {"b", "a"};
  ResultSet rows({ColumnInfo{"t", DataType{TypeId::VarChar, 0, 0, 1}, true}});
  rows.AppendColumns(3, [&](size_t, ResultColumn& column, StringArena&) {
    column.Extend(3);
    column.Place(2, Value::String(TypeId::VarChar, texts[0]));
    column.Place(0, Value::String(TypeId::VarChar, texts[1]));
    column.Place(1, Value::Null(TypeId::VarChar));
  });
  EXPECT_EQ(rows.at(0, 0).s(), "a");
  EXPECT_EQ(rows.at(0, 0).chars, texts[1].data());
  EXPECT_TRUE(rows.at(1, 0).is_null);
  EXPECT_EQ(rows.at(2, 0).s(), "b");
}

TEST(ResultSetColumns, SelectResultsWithNullsAndTextThroughASession) {
  Session session(std::make_shared<Database>("ERPDB"));
  BatchResult result = session.Execute(
      "CREATE TABLE #d (FID INT, FName NVARCHAR(10), FQty DECIMAL(10,2))\n"
      "INSERT INTO #d VALUES (1, N'甲', 1.50), (2, NULL, NULL), (NULL, N'甲', 2)\n"
      "SELECT FID, FName, FQty, CASE WHEN FID = 1 THEN FQty END AS q FROM #d ORDER BY FQty");
  ASSERT_FALSE(result.first_error()) << result.first_error()->message();
  const ResultSet& rows = result.result_sets.at(0);
  ASSERT_EQ(rows.row_count(), 3u);
  // NULL sorts first.
  EXPECT_EQ(rows.at(0, 0).i, 2);
  EXPECT_TRUE(rows.at(0, 1).is_null);
  EXPECT_TRUE(rows.at(0, 2).is_null);
  EXPECT_EQ(FormatValue(rows.at(1, 2)), "1.50");
  EXPECT_EQ(FormatValue(rows.at(1, 3)), "1.50");
  EXPECT_TRUE(rows.at(2, 0).is_null);
  EXPECT_EQ(rows.at(2, 1).s(), "甲");
  EXPECT_EQ(FormatValue(rows.at(2, 2)), "2.00");
  EXPECT_TRUE(rows.at(2, 3).is_null);
}

}  // namespace
}  // namespace orv::engine
