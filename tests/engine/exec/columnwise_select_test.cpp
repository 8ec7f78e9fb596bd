// A SELECT over a chain of joins gives, copied a block at a time, every
// value exactly as a row at a time gives it: type, precision, scale and NULL
// kind too, which the text of a result does not show. TOP keeps a SELECT on
// the row path with the same rows in the same order, whichever order the
// block path copies the columns in.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "tests/engine/exec/result_values.h"

namespace orv::engine {
namespace {

// The digits, whose cross joins number the rows of a large table.
const std::string kDigits =
    "CREATE TABLE #ten (i INT)\n"
    "INSERT INTO #ten VALUES (0), (1), (2), (3), (4), (5), (6), (7), (8), (9)\n";

TEST(ColumnwiseSelect, EveryValueIsTheRowPathsOverSeveralSlices) {
  Session session(std::make_shared<Database>("ERPDB"));
  Select(session, kDigits + R"(
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
  ExpectSameValues(block, rows);
  EXPECT_TRUE(block.at(0, 1).is_null);
  EXPECT_EQ(FormatValue(block.at(14284, 0)), "9999");
  EXPECT_EQ(FormatValue(block.at(14284, 1)), "10");
}

TEST(ColumnwiseSelect, ALargeTableJoinedToASmallOneIsCopiedInItsOwnOrder) {
  // A few rows of #key each meet a third of #big's 100,000 rows, spread over
  // all of it: the block is copied a table at a time in each table's order,
  // every row landing where the join puts it.
  Session session(std::make_shared<Database>("ERPDB"));
  Select(session, kDigits + R"(
CREATE TABLE #big (n INT, grp INT, amt DECIMAL(12,2), name NVARCHAR(10), at DATETIME, f FLOAT, big BIGINT,
 wide DECIMAL(20,2), code NVARCHAR(10))
INSERT INTO #big SELECT n, n % 3, CASE WHEN n % 10 = 0 THEN NULL ELSE n / 4.0 END,
 CASE WHEN n % 4 = 0 THEN NULL ELSE N'n' + CAST(n % 9 AS NVARCHAR(1)) END, DATEADD(day, n % 400, '2020-01-01'),
 CASE WHEN n % 6 = 0 THEN NULL ELSE n / 8.0E0 END, CAST(n AS BIGINT) * -100000, n * 1000000.5,
 CASE WHEN n % 11 = 0 THEN NULL ELSE N'c' + CAST(n AS NVARCHAR(6)) END
 FROM (SELECT a.i + 10 * b.i + 100 * c.i + 1000 * d.i + 10000 * e.i AS n FROM #ten a, #ten b, #ten c, #ten d, #ten e) s
 ORDER BY n
CREATE TABLE #key (k INT, sort INT, total DECIMAL(12,2), label NVARCHAR(10))
INSERT INTO #key VALUES (2, 0, NULL, N'two'), (0, 0, 1.25, NULL), (7, 1, 99, N'none'), (NULL, 1, 5, N'null'),
 (1, 0, 3, N'one')
SELECT 1)");
  const std::string items =
      "k.k, b.n, b.grp, b.amt, b.name, b.at, ISNULL(b.name, N'-'), ISNULL(b.amt, 0), k.label, 'c', "
      "CASE WHEN k.sort > 0 THEN k.total ELSE b.amt END, CASE WHEN b.n < 50000 THEN b.name WHEN k.k = 0 THEN k.label END, "
      "k.total + b.amt, b.f, b.big, CASE WHEN k.sort > 0 THEN b.wide ELSE b.amt END, "
      "CASE WHEN k.sort > 1 THEN k.label ELSE N'x' END, CASE WHEN k.sort >= 1 THEN k.label ELSE N'y' END, b.code "
      "FROM #key k LEFT JOIN #big b ON k.k = b.grp";
  const ResultSet block = Select(session, "SELECT " + items);
  const ResultSet rows = Select(session, "SELECT TOP (200000) " + items);
  // 33,333 rows of group 2, 33,334 of group 0, key 7 and the NULL key alone, 33,333 of group 1.
  ASSERT_EQ(block.row_count(), 100'002u);
  ExpectSameValues(block, rows);
  const auto text = [&](size_t r, size_t c) { return FormatValue(block.at(r, c)); };
  EXPECT_EQ(text(0, 1), "2");
  EXPECT_EQ(text(0, 3), "0.50");
  EXPECT_EQ(text(0, 4), "n2");
  EXPECT_EQ(text(33'332, 1), "99998");
  EXPECT_EQ(text(33'332, 11), "NULL");  // n past 50,000 and the key is not 0
  EXPECT_EQ(text(33'333, 1), "0");      // group 0 starts with n = 0: NULL amount and name
  EXPECT_EQ(text(33'333, 3), "NULL");
  EXPECT_EQ(text(33'333, 6), "-");
  EXPECT_EQ(text(33'333, 7), "0.00");
  EXPECT_EQ(text(66'666, 1), "99999");
  EXPECT_EQ(text(66'666, 5), "2021-02-03 00:00:00.000");  // 99999 % 400 = 399 days on
  EXPECT_EQ(text(66'666, 11), "NULL");                    // the key's label is NULL
  EXPECT_EQ(text(66'667, 0), "7");                        // no row of #big: every column of it NULL
  EXPECT_EQ(text(66'667, 1), "NULL");
  EXPECT_EQ(text(66'667, 7), "0.00");
  EXPECT_EQ(text(66'667, 10), "99.00");
  EXPECT_EQ(text(66'668, 0), "NULL");
  EXPECT_EQ(text(66'668, 10), "5.00");
  EXPECT_EQ(text(100'001, 1), "99997");
  EXPECT_EQ(text(100'001, 10), "24999.25");
  // A sum of two tables' decimals: NULL where either is.
  EXPECT_EQ(text(0, 12), "NULL");
  EXPECT_EQ(text(66'666, 12), "25001.00");
  EXPECT_EQ(text(66'667, 12), "NULL");
  EXPECT_EQ(text(100'001, 12), "25002.25");
  // A float, a BIGINT past INT's range, and a CASE whose arm is widened to the other's precision.
  EXPECT_EQ(text(0, 13), "0.25");  // n = 2
  EXPECT_EQ(text(33'333, 13), "NULL");
  EXPECT_EQ(text(66'666, 14), "-9999900000");
  EXPECT_EQ(text(66'667, 14), "NULL");
  EXPECT_EQ(text(0, 15), "0.50");
  EXPECT_EQ(block.at(0, 15).precision, 20);
  EXPECT_EQ(text(100'001, 15), "24999.25");
  // CASEs asking the same question share their picks; one question apart, they do not.
  EXPECT_EQ(text(0, 16), "x");
  EXPECT_EQ(text(0, 17), "y");
  EXPECT_EQ(text(66'667, 16), "x");
  EXPECT_EQ(text(66'667, 17), "none");
  // Texts that each appear once, kept a row each rather than coded.
  EXPECT_EQ(text(0, 18), "c2");
  EXPECT_EQ(text(33'333, 18), "NULL");
  EXPECT_EQ(text(66'667, 18), "NULL");
  EXPECT_EQ(text(100'001, 18), "c99997");
}

TEST(ColumnwiseSelect, ALongChainJoinsALargeBlockInHalvesKeepingTheRowsInOrder) {
  // Nine joins over blocks of 2,048 rows: each block joins in two halves.
  // Rows whose n % 2048 is under 1024 (the first half of each block) have
  // part 0, the others part 1, so joining #part with one of them empties
  // one half of every block, and #parts keeps both; `m` repeats some rows
  // and `d3` keys on a joined table's column.
  Session session(std::make_shared<Database>("ERPDB"));
  Select(session, kDigits + R"(
CREATE TABLE #big (n INT, part INT, x1 INT, x2 INT, x3 INT, x4 INT)
INSERT INTO #big SELECT n, CASE WHEN n % 2048 < 1024 THEN 0 ELSE 1 END, n % 7, n % 11, n % 5, n % 3
 FROM (SELECT a.i + 10 * b.i + 100 * c.i + 1000 * d.i AS n FROM #ten a, #ten b, #ten c, #ten d) s ORDER BY n
CREATE TABLE #dim (id INT, name NVARCHAR(10))
INSERT INTO #dim VALUES (0, N'zero'), (1, N'one'), (2, N'two'), (3, N'three'), (4, N'four')
CREATE TABLE #multi (id INT, v INT)
INSERT INTO #multi VALUES (0, 10), (0, 20), (2, 30)
CREATE TABLE #part0 (k INT, tag NVARCHAR(10))
INSERT INTO #part0 VALUES (0, N'first')
CREATE TABLE #part1 (k INT, tag NVARCHAR(10))
INSERT INTO #part1 VALUES (1, N'a'), (1, N'b')
CREATE TABLE #parts (k INT, tag NVARCHAR(10))
INSERT INTO #parts VALUES (1, N'second'), (0, N'first')
SELECT 1)");
  const auto items = [](const std::string& part) {
    return "b.n, p.tag, d1.name, d2.name, d3.name, d4.name, m.v, d5.name, d6.id, d7.name FROM #big b "
           "JOIN " + part + " p ON b.part = p.k LEFT JOIN #dim d1 ON b.x1 = d1.id LEFT JOIN #dim d2 ON b.x2 = d2.id "
           "LEFT JOIN #dim d3 ON d1.id = d3.id LEFT JOIN #dim d4 ON b.x3 = d4.id LEFT JOIN #multi m ON b.x4 = m.id "
           "LEFT JOIN #dim d5 ON m.v = d5.id LEFT JOIN #dim d6 ON b.x2 = d6.id JOIN #dim d7 ON b.x3 = d7.id";
  };
  // 5,120 rows of part 0 (n % 2048 under 1024), 4,880 of part 1; a third of
  // them (n % 3 = 0) meet two rows of #multi.
  const std::vector<std::pair<std::string, size_t>> cases = {{"#part0", 6'827}, {"#part1", 13'014}, {"#parts", 13'334}};
  for (const auto& [part, expected] : cases) {
    SCOPED_TRACE(part);
    const ResultSet block = Select(session, "SELECT " + items(part));
    const ResultSet rows = Select(session, "SELECT TOP (100000) " + items(part));
    ASSERT_EQ(block.row_count(), expected);
    ExpectSameValues(block, rows);
  }
  const ResultSet block = Select(session, "SELECT " + items("#part1"));
  const auto text = [&](size_t r, size_t c) { return FormatValue(block.at(r, c)); };
  // n = 1024: 1024 % 3 = 1, no row of #multi; 1024 % 7 = 2, 1024 % 11 = 1, 1024 % 5 = 4.
  const std::vector<std::string> first = {"1024", "a", "two", "one", "two", "four", "NULL"};
  for (size_t c = 0; c < first.size(); ++c) EXPECT_EQ(text(0, c), first[c]) << "column " << c;
  EXPECT_EQ(text(1, 1), "b");
  // n = 1026 (% 3 = 0) meets #multi twice for each row of #part1, in #multi's order.
  EXPECT_EQ(text(4, 0), "1026");
  EXPECT_EQ(text(4, 6), "10");
  EXPECT_EQ(text(5, 6), "20");
  EXPECT_EQ(text(6, 1), "b");
  EXPECT_EQ(text(6, 6), "10");
  // The last row: n = 9999, % 3 = 0, the second row of #part1 and of #multi.
  EXPECT_EQ(text(block.row_count() - 1, 0), "9999");
  EXPECT_EQ(text(block.row_count() - 1, 1), "b");
  EXPECT_EQ(text(block.row_count() - 1, 6), "20");
}

}  // namespace
}  // namespace orv::engine
