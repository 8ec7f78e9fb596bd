// A SELECT over a chain of joins gives, copied a block at a time, every
// value exactly as a row at a time gives it: type, precision, scale and NULL
// kind too, which the text of a result does not show. TOP keeps a SELECT on
// the row path with the same rows in the same order.
#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"

namespace orv::engine {
namespace {

std::string Describe(const Value& v) {
  std::string out = std::to_string(static_cast<int>(v.type)) + (v.is_null ? " null" : " value") + " p" +
                    std::to_string(v.precision) + " s" + std::to_string(v.scale);
  return v.is_null ? out : out + " " + FormatValue(v);
}

ResultSet Select(Session& session, const std::string& sql) {
  BatchResult result = session.Execute(sql);
  if (result.first_error()) throw *result.first_error();
  return std::move(result.result_sets.back());
}

TEST(ColumnwiseSelect, EveryValueIsTheRowPathsOverSeveralSlices) {
  Session session(std::make_shared<Database>("ERPDB"));
  Select(session, R"(
CREATE TABLE #ten (i INT)
INSERT INTO #ten VALUES (0), (1), (2), (3), (4), (5), (6), (7), (8), (9)
CREATE TABLE #big (n INT, parity INT, amt DECIMAL(12,2), name NVARCHAR(10))
INSERT INTO #big SELECT n, CASE WHEN n % 7 = 0 THEN NULL ELSE n % 2 END, CASE WHEN n % 3 = 0 THEN NULL ELSE n / 4.0 END, CASE WHEN n % 5 = 0 THEN NULL ELSE N'n' END
 FROM (SELECT a.i + 10 * b.i + 100 * c.i + 1000 * d.i AS n FROM #ten a, #ten b, #ten c, #ten d) s ORDER BY n
CREATE TABLE #pair (k INT, v INT, label NVARCHAR(10), amount DECIMAL(20,2))
INSERT INTO #pair VALUES (0, 1, N'even', 1.5), (0, 2, NULL, NULL), (1, 10, N'odd', 2.25)
SELECT 1)");
  const std::string items =
      "b.n, p.v, b.amt, b.name, ISNULL(p.label, N'-'), ISNULL(b.amt, 0), p.label, 'c', "
      "CASE WHEN b.parity > 0 THEN p.amount ELSE b.amt END, CASE WHEN p.v >= 2 THEN p.label END, b.n + p.v "
      "FROM #big b LEFT JOIN #pair p ON b.parity = p.k";
  const ResultSet block = Select(session, "SELECT " + items);
  const ResultSet rows = Select(session, "SELECT TOP (100000) " + items);
  // Even numbers meet two rows, odd ones one, and the 1429 multiples of 7 (a NULL key) none.
  ASSERT_EQ(block.row_count(), 14285u);
  ASSERT_EQ(rows.row_count(), block.row_count());
  for (size_t r = 0; r < rows.row_count(); ++r) {
    for (size_t c = 0; c < rows.column_count(); ++c) {
      ASSERT_EQ(Describe(block.at(r, c)), Describe(rows.at(r, c))) << "row " << r << ", column " << c;
    }
  }
  EXPECT_TRUE(block.at(0, 1).is_null);
  EXPECT_EQ(FormatValue(block.at(14284, 0)), "9999");
  EXPECT_EQ(FormatValue(block.at(14284, 1)), "10");
}

}  // namespace
}  // namespace orv::engine
