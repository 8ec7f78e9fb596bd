// Blocks copied a column at a time, and join builds indexed, on two threads
// (OPTION (MAXDOP 2)) give what one thread gives: the same rows, in the same
// order, with the same values, stored or returned; and a statement that
// fails raises the same first error and leaves the same rows behind.
#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"
#include "tests/engine/exec/result_values.h"

namespace orv::engine {
namespace {

// #big: n from 0 to 99,999 in order, its group n % 3, a quarter of it (NULL
// every tenth), a name from n % 9 (NULL every fourth); #key names the groups
// in the order 2, 0, 1. Joined, each key's 33,333 or 33,334 rows make one
// block of 100,000: far more values than one thread copies alone.
void MakeTables(Session& session) {
  Select(session, R"(
CREATE TABLE #ten (i INT)
INSERT INTO #ten VALUES (0), (1), (2), (3), (4), (5), (6), (7), (8), (9)
CREATE TABLE #big (n INT, grp INT, amt DECIMAL(12,2), name NVARCHAR(10))
INSERT INTO #big SELECT n, n % 3, CASE WHEN n % 10 = 0 THEN NULL ELSE n / 4.0 END,
 CASE WHEN n % 4 = 0 THEN NULL ELSE N'n' + CAST(n % 9 AS NVARCHAR(1)) END
 FROM (SELECT a.i + 10 * b.i + 100 * c.i + 1000 * d.i + 10000 * e.i AS n FROM #ten a, #ten b, #ten c, #ten d, #ten e) s
 ORDER BY n
CREATE TABLE #key (k INT, label NVARCHAR(10))
INSERT INTO #key VALUES (2, N'two'), (0, N'zero'), (1, N'one')
SELECT 1)");
}

const char* kJoin = " FROM #key k JOIN #big b ON b.grp = k.k";

// Copied columns, a CASE among them, and a constant: the whole block at once.
const char* kCopied =
    "k.k, b.n, b.amt, b.name, k.label, ISNULL(b.name, N'-'), ISNULL(b.amt, 0), "
    "CASE WHEN b.grp = 1 THEN k.label ELSE b.name END, 'c'";
// Beside them, values worked out row by row (a text among them, copied into
// the result's own storage): a slice at a time, wide enough to split.
const char* kEvaluated =
    "k.k, b.n, b.amt, b.name, k.label, ISNULL(b.name, N'-'), ISNULL(b.amt, 0), "
    "CASE WHEN b.grp = 1 THEN k.label ELSE b.name END, 'c', b.n * 2, k.label + N'!', b.amt * 2, "
    "b.grp, b.name, b.amt, k.label, b.n + 1, k.k";

class ColumnwiseThreads : public ::testing::Test {
 protected:
  void SetUp() override { MakeTables(session_); }

  // The same statement on one thread and on two.
  ResultSet SelectOn(const std::string& items, int threads) {
    return Select(session_, "SELECT " + items + kJoin + " OPTION (MAXDOP " + std::to_string(threads) + ")");
  }

  Session session_{std::make_shared<Database>("ERPDB")};
};

TEST_F(ColumnwiseThreads, ASelectReturnsTheSameValuesOnTwoThreads) {
  for (const char* items : {kCopied, kEvaluated}) {
    const ResultSet two = SelectOn(items, 2);
    ASSERT_EQ(two.row_count(), 100'000u);
    ExpectSameValues(two, SelectOn(items, 1));
    const auto text = [&](size_t r, size_t c) { return FormatValue(two.at(r, c)); };
    // Key 2 first: n = 2, 5, ... 99,998.
    EXPECT_EQ(text(0, 1), "2");
    EXPECT_EQ(text(0, 2), "0.50");
    EXPECT_EQ(text(0, 3), "n2");
    EXPECT_EQ(text(0, 7), "n2");
    EXPECT_EQ(text(33'332, 1), "99998");
    // Key 0 from n = 0: a NULL amount and name.
    EXPECT_EQ(text(33'333, 1), "0");
    EXPECT_EQ(text(33'333, 2), "NULL");
    EXPECT_EQ(text(33'333, 5), "-");
    EXPECT_EQ(text(33'333, 6), "0.00");
    // Key 1 last: n = 99,997, 99,997 % 9 = 7; the CASE takes the label.
    EXPECT_EQ(text(99'999, 1), "99997");
    EXPECT_EQ(text(99'999, 2), "24999.25");
    EXPECT_EQ(text(99'999, 3), "n7");
    EXPECT_EQ(text(99'999, 7), "one");
    EXPECT_EQ(text(99'999, 8), "c");
  }
  const ResultSet evaluated = SelectOn(kEvaluated, 2);
  EXPECT_EQ(FormatValue(evaluated.at(99'999, 9)), "199994");
  EXPECT_EQ(FormatValue(evaluated.at(99'999, 10)), "one!");
  EXPECT_EQ(FormatValue(evaluated.at(33'333, 10)), "zero!");
}

TEST_F(ColumnwiseThreads, AnInsertStoresTheSameRowsOnTwoThreads) {
  Select(session_, R"(
CREATE TABLE #copied (k INT, n INT, amt DECIMAL(12,2), name NVARCHAR(10), label NVARCHAR(10), named NVARCHAR(10),
 amount DECIMAL(12,2), picked NVARCHAR(10), c VARCHAR(1))
CREATE TABLE #evaluated (k INT, n INT, amt DECIMAL(12,2), name NVARCHAR(10), label NVARCHAR(10), named NVARCHAR(10),
 amount DECIMAL(12,2), picked NVARCHAR(10), c VARCHAR(1), twice INT, shout NVARCHAR(11), amt2 DECIMAL(14,2),
 grp INT, name2 NVARCHAR(10), amt3 DECIMAL(12,2), label2 NVARCHAR(10), next INT, k2 INT)
SELECT 1)");
  for (const char* table : {"#copied", "#evaluated"}) {
    const std::string items = std::string(table) == "#copied" ? kCopied : kEvaluated;
    ResultSet stored[2];
    for (int threads : {1, 2}) {
      Select(session_, "TRUNCATE TABLE " + std::string(table) + " INSERT INTO " + table + " SELECT " + items +
                           kJoin + " OPTION (MAXDOP " + std::to_string(threads) + ") SELECT 1");
      stored[threads - 1] = Select(session_, std::string("SELECT * FROM ") + table);
    }
    ASSERT_EQ(stored[1].row_count(), 100'000u);
    ExpectSameValues(stored[1], stored[0]);
    // Every n once: 0 + 1 + ... + 99,999; the amounts a quarter of the n not a multiple of ten.
    const ResultSet sums = Select(
        session_, std::string("SELECT COUNT(*), SUM(CAST(n AS BIGINT)), SUM(amt), COUNT(name), MAX(picked) FROM ") +
                      table);
    EXPECT_EQ(FormatValue(sums.at(0, 0)), "100000");
    EXPECT_EQ(FormatValue(sums.at(0, 1)), "4999950000");
    // (4,999,950,000 - 10 * (0 + 1 + ... + 9,999)) / 4 = (4,999,950,000 - 499,950,000) / 4.
    EXPECT_EQ(FormatValue(sums.at(0, 2)), "1125000000.00");
    EXPECT_EQ(FormatValue(sums.at(0, 3)), "75000");  // a quarter of the names are NULL
    EXPECT_EQ(FormatValue(sums.at(0, 4)), "one");    // 'one' sorts after every 'n' + digit
  }
}

// From one table's rows, blocks of copied columns are gathered until there
// are enough rows to split; a block the row path must store (a text with
// trailing blanks past the column's length, which are cut without an error)
// comes after the blocks before it all the same: row k holds n = k.
TEST_F(ColumnwiseThreads, RowsFromOneTableKeepTheirOrderAroundABlockStoredRowByRow) {
  Select(session_, "SELECT n, CASE WHEN n = 50000 THEN N'n5    ' ELSE name END AS name, amt INTO #src FROM #big "
                   "CREATE TABLE #narrow (n INT, name NVARCHAR(2), amt DECIMAL(12,2)) SELECT 1");
  ResultSet stored[2];
  for (int threads : {1, 2}) {
    const std::string hint = " OPTION (MAXDOP " + std::to_string(threads) + ")";
    Select(session_, "TRUNCATE TABLE #narrow INSERT INTO #narrow SELECT n, name, amt FROM #src" + hint +
                         " IF OBJECT_ID('tempdb..#into') IS NOT NULL DROP TABLE #into"
                         " SELECT n, name, amt INTO #into FROM #src WHERE n >= 10" + hint + " SELECT 1");
    stored[threads - 1] = Select(session_, "SELECT * FROM #narrow");
    const ResultSet into = Select(session_, "SELECT COUNT(*), MIN(n), SUM(CAST(n AS BIGINT)) FROM #into");
    EXPECT_EQ(FormatValue(into.at(0, 0)), "99990");
    EXPECT_EQ(FormatValue(into.at(0, 1)), "10");
    EXPECT_EQ(FormatValue(into.at(0, 2)), "4999949955");  // 4,999,950,000 - (0 + 1 + ... + 9)
  }
  ASSERT_EQ(stored[1].row_count(), 100'000u);
  ExpectSameValues(stored[1], stored[0]);
  for (size_t k : {0, 32'767, 32'768, 49'999, 50'000, 50'001, 99'999}) {
    EXPECT_EQ(FormatValue(stored[1].at(k, 0)), std::to_string(k));
  }
  EXPECT_EQ(FormatValue(stored[1].at(50'000, 1)), "n5");
}

// Row n = 70,000 (of key 1, which comes last) cannot be converted: the row
// path's error, and the table as it was before the statement.
TEST_F(ColumnwiseThreads, AFailingInsertRaisesTheSameErrorAndKeepsNoRow) {
  Select(session_, "CREATE TABLE #out (n INT, name NVARCHAR(10), amt DECIMAL(12,2), k INT) "
                   "INSERT INTO #out VALUES (-1, N'kept', 1, 0) SELECT 1");
  for (int threads : {1, 2}) {
    const BatchResult failed = session_.Execute(
        "INSERT INTO #out SELECT b.n, b.name, b.amt, CAST(CASE WHEN b.n = 70000 THEN 'x' ELSE '1' END AS INT)" +
        std::string(kJoin) + " OPTION (MAXDOP " + std::to_string(threads) + ")");
    ASSERT_TRUE(failed.first_error()) << threads;
    EXPECT_EQ(failed.first_error()->number(), 245);
    EXPECT_EQ(failed.first_error()->message(), "Conversion failed when converting the varchar value 'x' to data type int.");
    const ResultSet left = Select(session_, "SELECT COUNT(*), MIN(n), MAX(name) FROM #out");
    EXPECT_EQ(FormatValue(left.at(0, 0)), "1");
    EXPECT_EQ(FormatValue(left.at(0, 1)), "-1");
    EXPECT_EQ(FormatValue(left.at(0, 2)), "kept");
  }
}

// A NULL amount (n = 20, the seventh row) for a NOT NULL column: 515 either way.
TEST_F(ColumnwiseThreads, ANullForANotNullColumnFailsTheSameWay) {
  Select(session_, "CREATE TABLE #strict (n INT, amt DECIMAL(12,2) NOT NULL) SELECT 1");
  for (int threads : {1, 2}) {
    const BatchResult failed = session_.Execute("INSERT INTO #strict SELECT b.n, b.amt" + std::string(kJoin) +
                                                " OPTION (MAXDOP " + std::to_string(threads) + ")");
    ASSERT_TRUE(failed.first_error()) << threads;
    EXPECT_EQ(failed.first_error()->number(), 515);
    EXPECT_EQ(FormatValue(Select(session_, "SELECT COUNT(*) FROM #strict").at(0, 0)), "0");
  }
}

TEST_F(ColumnwiseThreads, AFailingSelectRaisesTheSameError) {
  for (int threads : {1, 2}) {
    const BatchResult failed = session_.Execute(std::string("SELECT ") + kEvaluated + ", 1 / (b.n - 70000)" + kJoin +
                                                " OPTION (MAXDOP " + std::to_string(threads) + ")");
    ASSERT_TRUE(failed.first_error()) << threads;
    EXPECT_EQ(failed.first_error()->number(), 8134);
    EXPECT_EQ(failed.first_error()->message(), "Divide by zero error encountered.");
  }
}

// #big is the build side, on two keys (no integer index): 100,000 rows are
// hashed by two threads, NULL names matching nothing. Each key's rows come
// in #big's order: n = 2 + 9m (m = 0 .. 11,110) but for every fourth m from
// m = 2, whose n is a multiple of four (a NULL name): 8,333 rows a key.
TEST_F(ColumnwiseThreads, AJoinBuiltOnTwoThreadsMatchesTheSameRowsInTheSameOrder) {
  Select(session_, "CREATE TABLE #pairs (k INT, name NVARCHAR(10)) "
                   "INSERT INTO #pairs VALUES (2, N'n2'), (1, N'n7'), (0, NULL), (0, N'n3') SELECT 1");
  const std::string join = "SELECT p.k, p.name, b.n, b.amt FROM #pairs p JOIN #big b ON b.grp = p.k AND b.name = p.name";
  const ResultSet two = Select(session_, join + " OPTION (MAXDOP 2)");
  ASSERT_EQ(two.row_count(), 24'999u);
  ExpectSameValues(two, Select(session_, join + " OPTION (MAXDOP 1)"));
  const auto n = [&](size_t r) { return FormatValue(two.at(r, 2)); };
  EXPECT_EQ(n(0), "2");
  EXPECT_EQ(n(1), "11");
  EXPECT_EQ(n(2), "29");  // 20 is a multiple of four
  EXPECT_EQ(n(8'332), "99983");  // 99,992 is a multiple of four
  EXPECT_EQ(n(8'333), "7");
  EXPECT_EQ(FormatValue(two.at(8'333, 1)), "n7");
  EXPECT_EQ(n(24'998), "99993");
  EXPECT_EQ(FormatValue(two.at(24'998, 3)), "24998.25");
}

}  // namespace
}  // namespace orv::engine
