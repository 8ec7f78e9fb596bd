// The service's parts without a server: the shown result's texts and order,
// the exports' escaping, and the bounds of the kept runs and logins.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "http/finished_runs.h"
#include "http/login_sessions.h"
#include "http/result_export.h"
#include "http/shown_result.h"

namespace orv::http {
namespace {

using results::Cell;
using results::CellKind;
using results::RowClass;
using results::RowKind;

Cell Number(const std::string& text) { return {CellKind::Decimal, text}; }
Cell Text(const std::string& text) { return {CellKind::Text, text}; }

// Two suppliers' lines, each closed by a subtotal, then the total.
ShownResult TwoGroups() {
  ShownResult result{"2010002",
                     "t",
                     "en",
                     {{"FName", "Name", "nvarchar(80)", false}, {"FAmount", "Amount", "decimal(23,10)", true}},
                     {}};
  const auto row = [&](RowKind kind, int level, Cell name, Cell amount) {
    result.rows.push_back({RowClass{kind, level}, {std::move(name), std::move(amount)}});
  };
  row(RowKind::Detail, 0, Text("b"), Number("10.5"));
  row(RowKind::Detail, 0, Text("a"), Number("2"));
  row(RowKind::Detail, 0, Text("c"), Cell{});
  row(RowKind::Subtotal, 1, Text("(Subtotal)"), Number("12.5"));
  row(RowKind::Detail, 0, Text("=1+1"), Number("-3"));
  row(RowKind::Detail, 0, Text("x,\"y\""), Number("100"));
  row(RowKind::Subtotal, 1, Text("(Subtotal)"), Number("97"));
  row(RowKind::Total, 0, Text("(Total)"), Number("109.5"));
  return result;
}

TEST(ShownResultTest, TrailingFractionZerosGo) {
  EXPECT_EQ(TrimFractionZeros("13.0000"), "13");
  EXPECT_EQ(TrimFractionZeros("0.50"), "0.5");
  EXPECT_EQ(TrimFractionZeros("-0.000"), "0");
  EXPECT_EQ(TrimFractionZeros("1200"), "1200");  // no point: the zeros are digits
  EXPECT_EQ(TrimFractionZeros("1.0E+10"), "1.0E+10");
  EXPECT_EQ(DecimalsOf("1,5"), 0);
  EXPECT_EQ(DecimalsOf("-12.340"), 3);
  EXPECT_EQ(DecimalsOf("7"), 0);
}

TEST(ShownResultTest, SortingStaysBetweenTheSummaryRows) {
  const ShownResult result = TwoGroups();
  // By amount: NULL first, then 2, 10.5 in the first group; -3, 100 in the second.
  EXPECT_EQ(SortedRowOrder(result, 1, false), (std::vector<size_t>{2, 1, 0, 3, 4, 5, 6, 7}));
  EXPECT_EQ(SortedRowOrder(result, 1, true), (std::vector<size_t>{0, 1, 2, 3, 5, 4, 6, 7}));
  // By name as text; a column that does not exist keeps the report's order.
  EXPECT_EQ(SortedRowOrder(result, 0, false), (std::vector<size_t>{1, 0, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(SortedRowOrder(result, 9, false), (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(ResultExportTest, CsvQuotesFieldsAndDisarmsFormulas) {
  const std::string csv = CsvExport(TwoGroups(), ExportLayout{{1, 0}, std::nullopt, false});
  const std::string expected =
      "\xEF\xBB\xBF"
      "Amount,Name\r\n"
      "10.5,b\r\n2,a\r\n,c\r\n12.5,(Subtotal)\r\n"
      "-3,'=1+1\r\n"  // a negative number stays a number; the text would run as a formula
      "100,\"x,\"\"y\"\"\"\r\n97,(Subtotal)\r\n109.5,(Total)\r\n";
  EXPECT_EQ(csv, expected);
  EXPECT_THROW(CsvExport(TwoGroups(), ExportLayout{{2}, std::nullopt, false}), std::out_of_range);
}

TEST(FinishedRunsTest, KeepsAFewRunsPerLoginAndInAll) {
  FinishedRuns runs(2, 3, 1000);
  const auto result = std::make_shared<const ShownResult>();
  const std::string a1 = runs.Keep("a", result);
  const std::string a2 = runs.Keep("a", result);
  const std::string a3 = runs.Keep("a", result);  // a1 goes: two per login
  EXPECT_EQ(runs.Find("a", a1), nullptr);
  EXPECT_NE(runs.Find("a", a2), nullptr);
  EXPECT_EQ(runs.Find("b", a2), nullptr);  // another login's run
  const std::string b1 = runs.Keep("b", result);
  const std::string b2 = runs.Keep("b", result);  // four in all: the oldest, a2, goes
  EXPECT_EQ(runs.Find("a", a2), nullptr);
  EXPECT_NE(runs.Find("a", a3), nullptr);
  runs.Forget("b");
  EXPECT_EQ(runs.Find("b", b1), nullptr);
  EXPECT_EQ(runs.Find("b", b2), nullptr);
}

TEST(FinishedRunsTest, TheRowsKeptInAllAreBounded) {
  FinishedRuns runs(10, 10, 5);
  const auto rows = [](size_t count) {
    auto result = std::make_shared<ShownResult>();
    result->rows.resize(count);
    return std::shared_ptr<const ShownResult>(std::move(result));
  };
  const std::string first = runs.Keep("a", rows(3));
  const std::string second = runs.Keep("b", rows(2));  // 3 + 2 rows: both fit
  EXPECT_NE(runs.Find("a", first), nullptr);
  const std::string third = runs.Keep("a", rows(2));  // 7 rows would be too many: the oldest goes
  EXPECT_EQ(runs.Find("a", first), nullptr);
  EXPECT_NE(runs.Find("b", second), nullptr);
  runs.Forget("b");  // its 2 rows are free again: 2 + 3 fit
  const std::string fourth = runs.Keep("c", rows(3));
  EXPECT_NE(runs.Find("a", third), nullptr);
  const std::string huge = runs.Keep("d", rows(6));  // beyond the bound alone: kept alone
  EXPECT_NE(runs.Find("d", huge), nullptr);
  EXPECT_EQ(runs.Find("a", third), nullptr);
  EXPECT_EQ(runs.Find("c", fourth), nullptr);
}

TEST(LoginSessionsTest, TokensAreRandomAndTheTableIsBounded) {
  LoginSessions sessions(std::chrono::minutes(30), 2);
  const LoginSession first = sessions.Create("a", "en");
  EXPECT_EQ(first.token.size(), 64u);
  EXPECT_NE(first.token, first.csrf_token);
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  const LoginSession second = sessions.Create("b", "en");
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ASSERT_TRUE(sessions.Find(first.token));  // first is now the more recently used
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  sessions.Create("c", "en");
  EXPECT_TRUE(sessions.Find(first.token));
  EXPECT_FALSE(sessions.Find(second.token));
  LoginSessions idle(std::chrono::minutes(0), 10);
  const LoginSession gone = idle.Create("a", "en");
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_FALSE(idle.Find(gone.token));
}

}  // namespace
}  // namespace orv::http
