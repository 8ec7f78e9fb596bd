// The literals of the generated data script and its split into statements of
// at most 500 rows (SQL Server refuses more than 1000 rows in one VALUES list).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/sql_writer.h"

namespace orv::demo {
namespace {

struct Captured {
  std::vector<std::string> batches;
  BatchSink sink = [this](std::string_view batch) { batches.emplace_back(batch); };
};

TEST(SqlWriter, WritesLiteralsAsSqlServerReadsThem) {
  Captured out;
  {
    TableWriter writer(out.sink, "t", "a,b,c,d,e,f,g");
    writer.Row().Int(-7).Null().Text("O'Neil ''x''").Decimal(12345, 2).Decimal(-5, 2).Decimal(42, 0);
    writer.Date(MakeDay(2024, 2, 29));
    writer.Row().Int(0).Text("").Text("上海").Decimal(1, 10).Decimal(0, 3).DecimalOrNull(false, 1, 1);
    writer.Date(Day{MakeDay(2024, 3, 31).days, 10 * 3600 + 30 * 60 + 5});
  }
  ASSERT_EQ(out.batches.size(), 1u);
  EXPECT_EQ(out.batches[0],
            "INSERT INTO t (a,b,c,d,e,f,g) VALUES\n"
            "(-7,NULL,N'O''Neil ''''x''''',123.45,-0.05,42,'2024-02-29'),\n"
            "(0,N'',N'上海',0.0000000001,0.000,NULL,'2024-03-31 10:30:05')");
}

TEST(SqlWriter, CountsDaysAcrossCenturiesAndLeapYears) {
  EXPECT_EQ(MakeDay(1970, 1, 1).days, 0);
  EXPECT_EQ(MakeDay(2000, 3, 1).days - MakeDay(2000, 2, 28).days, 2);  // 2000 is a leap year
  EXPECT_EQ(MakeDay(1900, 3, 1).days - MakeDay(1900, 2, 28).days, 1);  // 1900 is not
  Captured out;
  {
    TableWriter writer(out.sink, "t", "d");
    writer.Row().Date(MakeDay(1899, 12, 31));
    writer.Row().Date(Day{MakeDay(2023, 12, 31).days + 1, 0});
  }
  EXPECT_EQ(out.batches.at(0), "INSERT INTO t (d) VALUES\n('1899-12-31'),\n('2024-01-01')");
}

TEST(SqlWriter, SplitsRowsIntoStatementsOfAtMost500) {
  Captured out;
  {
    TableWriter writer(out.sink, "t", "a");
    for (int i = 0; i < 1001; ++i) writer.Row().Int(i);
  }
  ASSERT_EQ(out.batches.size(), 3u);
  EXPECT_NE(out.batches[0].find("(499)"), std::string::npos);
  EXPECT_EQ(out.batches[1].rfind("INSERT INTO t (a) VALUES\n(500),", 0), 0u);
  EXPECT_EQ(out.batches[2], "INSERT INTO t (a) VALUES\n(1000)");
}

TEST(SqlWriter, WritesNothingForATableWithoutRows) {
  Captured out;
  { TableWriter writer(out.sink, "t", "a"); }
  EXPECT_TRUE(out.batches.empty());
}

}  // namespace
}  // namespace orv::demo
