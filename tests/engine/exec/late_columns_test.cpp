// A SELECT over a join reads the plain columns of its right-side table once
// the joined rows are known. Whatever the join (LEFT with padded rows, RIGHT,
// a residual condition, several matches a row, a chain, no rows at all), each
// value must be the one the join itself would hand on: same type, NULL flag,
// precision, scale and text, in the same row. The same query under TOP, which
// stores the joined rows as they come, is the reference.
#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"
#include "tests/engine/exec/describe_value.h"

namespace orv::engine {
namespace {

const ResultSet& Rows(const BatchResult& result) {
  if (result.first_error()) ADD_FAILURE() << result.first_error()->what();
  return result.result_sets.back();
}

// Runs `select_list_and_rest` as "SELECT ..." and as "SELECT TOP 1000 ...".
void ExpectSameAsJoined(Session& session, const std::string& select_list_and_rest, size_t expected_rows) {
  const BatchResult late = session.Execute("SELECT " + select_list_and_rest);
  const BatchResult joined = session.Execute("SELECT TOP 1000 " + select_list_and_rest);
  const ResultSet& a = Rows(late);
  const ResultSet& b = Rows(joined);
  ASSERT_EQ(a.row_count(), expected_rows) << select_list_and_rest;
  ASSERT_EQ(b.row_count(), expected_rows) << select_list_and_rest;
  for (size_t r = 0; r < a.row_count(); ++r) {
    for (size_t c = 0; c < a.column_count(); ++c) {
      EXPECT_EQ(Describe(a.at(r, c)), Describe(b.at(r, c))) << select_list_and_rest << ": row " << r << " column " << c;
    }
  }
}

class LateJoinColumns : public ::testing::Test {
 protected:
  void SetUp() override {
    const BatchResult setup = session_.Execute(
        "CREATE TABLE #h (id INT, dept INT, name NVARCHAR(10))\n"
        "CREATE TABLE #e (id INT, qty DECIMAL(9,3), tag VARCHAR(6), note NVARCHAR(20), at DATETIME, keep INT)\n"
        "CREATE TABLE #n (k INT, label NVARCHAR(8))\n"
        "CREATE TABLE #none (id INT, tag VARCHAR(6))\n"
        "INSERT INTO #h VALUES (1, 10, N'一'), (2, 20, NULL), (3, 10, N'three'), (4, 30, N'four'), (NULL, 40, N'n')\n"
        "INSERT INTO #e VALUES (1, 1.500, 'a', N'ä', '2024-01-02', 1), (3, NULL, 'b', NULL, NULL, 0),\n"
        "  (1, -0.125, '', N'same', '2024-03-04 05:06:07', 1), (3, 2.000, NULL, N'same', '2024-05-06', 1),\n"
        "  (NULL, 9.999, 'n', N'nokey', '2024-07-08', 1), (2, 0.000, 'c', N'', '1900-01-01', 0)\n"
        "INSERT INTO #n VALUES (1, N'one'), (0, NULL), (1, N'uno')");
    ASSERT_EQ(setup.first_error(), nullptr) << setup.first_error()->what();
  }
  Session session_{std::make_shared<Database>("ERPDB")};
};

TEST_F(LateJoinColumns, LeftJoinPadsTheHeadersWithoutLinesWithTheJoinsOwnNulls) {
  // Headers 1 and 3 find two lines each, 2 one; 4 and the NULL key none: 5 + 2 padded rows.
  ExpectSameAsJoined(session_, "h.id, e.qty, e.tag, h.name, e.note, e.at FROM #h h LEFT JOIN #e e ON h.id = e.id",
                     7);
  // The same table column twice, and the key column itself, which the join reads.
  ExpectSameAsJoined(session_, "e.note, e.id, e.note, e.keep FROM #h h LEFT JOIN #e e ON h.id = e.id", 7);
}

TEST_F(LateJoinColumns, ColumnsAlsoReadByAConditionOrAnExpressionStillComeThrough) {
  // keep is read by the residual, qty by an expression; tag and note are read late.
  ExpectSameAsJoined(session_,
                     "e.tag, h.id, e.qty, e.qty * 2, e.note, e.keep FROM #h h LEFT JOIN #e e "
                     "ON h.id = e.id AND e.keep = 1",
                     6);
  // A filter on the right side runs before the join; RIGHT pads the lines no header took.
  ExpectSameAsJoined(session_, "h.name, e.tag, e.at FROM #h h RIGHT JOIN #e e ON h.id = e.id WHERE e.keep = 1", 4);
  ExpectSameAsJoined(session_, "h.id, e.tag, e.note FROM #h h JOIN #e e ON h.id = e.id WHERE e.note <> N'same'", 2);
  ExpectSameAsJoined(session_, "h.id, e.tag FROM #h h CROSS JOIN #e e", 30);
}

TEST_F(LateJoinColumns, TheTopJoinOfAChainReadsItsTableLate) {
  // Lines with keep 1 meet both labels of k 1, those with keep 0 k 0's NULL
  // label, padded headers a padded label: 2 + 2 + 1 + 1 + 2 + 1 + 1 rows.
  ExpectSameAsJoined(session_,
                     "h.id, e.tag, n.label, n.k FROM #h h LEFT JOIN #e e ON h.id = e.id "
                     "LEFT JOIN #n n ON e.keep = n.k",
                     10);
  // Three joins run as one chain; #none pads every header.
  ExpectSameAsJoined(session_,
                     "h.id, z.tag, e.tag, n.label FROM #h h LEFT JOIN #none z ON z.id = h.id "
                     "LEFT JOIN #e e ON h.id = e.id LEFT JOIN #n n ON e.keep = n.k",
                     10);
}

TEST_F(LateJoinColumns, NoRowsOrOnlyPaddedRows) {
  ExpectSameAsJoined(session_, "h.id, z.tag FROM #h h JOIN #none z ON h.id = z.id", 0);
  ExpectSameAsJoined(session_, "h.id, z.tag FROM #h h LEFT JOIN #none z ON h.id = z.id", 5);
  ExpectSameAsJoined(session_, "h.id, e.tag FROM #h h JOIN #e e ON h.id = e.id WHERE h.id > 100", 0);
}

}  // namespace
}  // namespace orv::engine
