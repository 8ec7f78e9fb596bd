// BULK INSERT of delimited files: CSV quoting (doubled quotes, terminators
// and CR LF inside quotes), UTF-8 text, empty fields as NULL or the default,
// bad rows reported by row and column and left out up to MAXERRORS, past it
// or on a repeated key nothing loaded and the table as it was; a rolled back
// transaction takes a load back; numbers and dates read as CAST reads them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/engine.h"

namespace orv::engine {
namespace {

namespace fs = std::filesystem;

class BulkInsertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = (fs::temp_directory_path() / ("orv_bulk_" + std::to_string(::getpid()) + ".csv")).string();
    ASSERT_FALSE(session_.Execute("CREATE TABLE item (id INT NOT NULL PRIMARY KEY, name NVARCHAR(20) NULL, "
                                  "price DECIMAL(10,2) NULL, qty INT NOT NULL DEFAULT 7)")
                     .first_error());
  }
  void TearDown() override { fs::remove(file_); }
  void Write(const std::string& text) { std::ofstream(file_, std::ios::binary | std::ios::trunc) << text; }
  BatchResult Load(const std::string& options) {
    return session_.Execute("BULK INSERT item FROM '" + file_ + "' WITH (" + options + ")");
  }
  std::string Rows() {
    BatchResult result = session_.Execute("SELECT id, name, price, qty FROM item ORDER BY id");
    std::string out;
    const ResultSet& rows = result.result_sets.at(0);
    for (size_t r = 0; r < rows.row_count(); ++r) {
      for (size_t c = 0; c < 4; ++c) out += (c ? "|" : "") + (rows.at(r, c).is_null ? "NULL" : FormatValue(rows.at(r, c)));
      out += "\n";
    }
    return out;
  }

  Session session_{std::make_shared<Database>("ERPDB")};
  std::string file_;
};

TEST_F(BulkInsertTest, ReadsQuotedCsvWithCrLfUtf8AndEmptyFields) {
  Write("\xEF\xBB\xBFid,name,price,qty\r\n"
        "1,\"Smith, \"\"Jr\"\"\",12.50,3\r\n"
        "2,\"two\r\nlines\",,\r\n"
        "3,螺丝刀,0.99,1\r\n"
        "4,\"\",-1,2\r\n");
  BatchResult result = Load("FORMAT = 'CSV', FIRSTROW = 2, FIELDTERMINATOR = ',', ROWTERMINATOR = '\\n', CODEPAGE = '65001'");
  ASSERT_FALSE(result.first_error()) << result.first_error()->message();
  EXPECT_EQ(result.messages.back(), "(4 rows affected)");
  // An empty field is NULL, or the column's default (qty 7); a quoted empty field is an empty string.
  EXPECT_EQ(Rows(), "1|Smith, \"Jr\"|12.50|3\n2|two\r\nlines|NULL|7\n3|螺丝刀|0.99|1\n4||-1.00|2\n");
}

TEST_F(BulkInsertTest, BadRowsAreReportedAndLeftOutUpToMaxErrors) {
  Write("1\tone\t1.5\t1\n"
        "2\ttwo\tabc\t2\n"          // price does not convert
        "3\tthree\t3\n"             // a field short
        "4\tfour\t4\t4\t4\n"        // a field too many
        "5\tfive\t5\t5\n");
  BatchResult result = Load("MAXERRORS = 3");
  ASSERT_EQ(result.errors.size(), 3u);
  EXPECT_EQ(result.errors[0].error.number(), 4864);
  EXPECT_EQ(result.errors[0].error.message(),
            "Bulk load data conversion error (type mismatch or invalid character for the specified codepage) for row 2, "
            "column 3 (price).");
  EXPECT_EQ(result.errors[1].error.number(), 4864);
  EXPECT_NE(result.errors[1].error.message().find("row 3, column 4 (qty)"), std::string::npos);
  EXPECT_EQ(result.errors[2].error.number(), 4866);
  EXPECT_EQ(Rows(), "1|one|1.50|1\n5|five|5.00|5\n");
}

TEST_F(BulkInsertTest, PastMaxErrorsOrOnADuplicateKeyNothingIsLoaded) {
  Write("1,a,1,1\n2,b,x,2\n3,c,y,3\n");
  BatchResult result = Load("FORMAT = 'CSV', FIELDTERMINATOR = ',', MAXERRORS = 1");
  ASSERT_TRUE(result.first_error());
  EXPECT_EQ(result.errors.back().error.number(), 4865);
  EXPECT_EQ(result.errors.back().error.message(), "Cannot bulk load because the maximum number of errors (1) was exceeded.");
  EXPECT_EQ(Rows(), "");

  Write("1,a,1,1\n1,b,2,2\n");
  EXPECT_EQ(Load("FORMAT = 'CSV', FIELDTERMINATOR = ','").first_error()->number(), 2627);
  EXPECT_EQ(Rows(), "");

  fs::remove(file_);
  BatchResult missing = Load("FORMAT = 'CSV'");
  ASSERT_TRUE(missing.first_error());
  EXPECT_EQ(missing.first_error()->number(), 4860);
}

TEST_F(BulkInsertTest, ARolledBackTransactionTakesTheLoadBack) {
  Write("1,a,1,1\n2,b,2,2\n");
  ASSERT_FALSE(session_.Execute("BEGIN TRAN").first_error());
  ASSERT_FALSE(Load("FORMAT = 'CSV', FIELDTERMINATOR = ','").first_error());
  EXPECT_EQ(Rows(), "1|a|1.00|1\n2|b|2.00|2\n");
  ASSERT_FALSE(session_.Execute("ROLLBACK").first_error());
  EXPECT_EQ(Rows(), "");
}

TEST_F(BulkInsertTest, AFailedLoadLeavesTheTableAndItsKeyAsTheyWere) {
  ASSERT_FALSE(session_.Execute("INSERT INTO item VALUES (1, N'螺丝刀', 1.50, 1), (2, NULL, NULL, 2), (3, N'', 3, 3)")
                   .first_error());
  const std::string before = "1|螺丝刀|1.50|1\n2|NULL|NULL|2\n3||3.00|3\n";
  ASSERT_EQ(Rows(), before);
  // Many good rows stored before the one that repeats a key already there.
  std::string text;
  for (int id = 4; id < 5000; ++id) text += std::to_string(id) + "\tname " + std::to_string(id) + "\t\t\n";
  Write(text + "2\trepeats\t1\t1\n");
  BatchResult repeated = Load("MAXERRORS = 0");
  ASSERT_TRUE(repeated.first_error());
  EXPECT_EQ(repeated.first_error()->number(), 2627);
  EXPECT_NE(repeated.first_error()->message().find("The duplicate key value is (2)"), std::string::npos)
      << repeated.first_error()->message();
  EXPECT_EQ(Rows(), before);
  // Past MAXERRORS at the end of the file.
  Write(text + "x\tbad\t1\t1\n");
  ASSERT_TRUE(Load("MAXERRORS = 0").first_error());
  EXPECT_EQ(Rows(), before);
  // The key still finds the rows that are there, and none of those taken out.
  BatchResult again = session_.Execute("INSERT INTO item VALUES (3, N'again', 1, 1)");
  ASSERT_TRUE(again.first_error());
  EXPECT_EQ(again.first_error()->number(), 2627);
  ASSERT_FALSE(session_.Execute("INSERT INTO item VALUES (10, N'ten', 10, 10)").first_error());
  // Keys that rise but start below one stored, then keys that rise from the start.
  Write("4\tfour\t4\t4\n5\tfive\t5\t5\n");
  ASSERT_FALSE(Load("MAXERRORS = 0").first_error());
  Write("11\televen\t11\t11\n12\ttwelve\t12\t12\n");
  ASSERT_FALSE(Load("MAXERRORS = 0").first_error());
  EXPECT_EQ(Rows(), before + "4|four|4.00|4\n5|five|5.00|5\n10|ten|10.00|10\n11|eleven|11.00|11\n12|twelve|12.00|12\n");
  for (const char* id : {"5", "12"}) {
    BatchResult repeat = session_.Execute(std::string("INSERT INTO item VALUES (") + id + ", NULL, NULL, 1)");
    ASSERT_TRUE(repeat.first_error()) << id;
    EXPECT_EQ(repeat.first_error()->number(), 2627) << id;
  }
}

// Refused memory halfway through a load (the file, the columns' room and the
// text come to about 67 MB against 64): 701, and the table, its text and its
// key as they were.
TEST_F(BulkInsertTest, ALoadPastTheMemoryBudgetLeavesTheTableAsItWas) {
  auto database = std::make_shared<Database>("ERPDB");
  database->set_memory_limit(size_t{64} << 20);
  Session session(database);
  ASSERT_FALSE(session.Execute("CREATE TABLE big (id INT NOT NULL PRIMARY KEY, note VARCHAR(200))\n"
                               "INSERT INTO big VALUES (1, 'one'), (2, NULL)")
                   .first_error());
  {
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
    const std::string note(150, 'x');
    // Distinct texts: a repeated one is kept once and would fit.
    for (int id = 3; id <= 200002; ++id) out << id << '\t' << id << note << '\n';
  }
  BatchResult refused = session.Execute("BULK INSERT big FROM '" + file_ + "'");
  ASSERT_TRUE(refused.first_error());
  EXPECT_EQ(refused.first_error()->number(), 701);
  BatchResult rows = session.Execute("SELECT COUNT(*), MAX(note), COUNT(note) FROM big");
  ASSERT_FALSE(rows.first_error());
  EXPECT_EQ(FormatValue(rows.result_sets.at(0).at(0, 0)) + "|" + FormatValue(rows.result_sets.at(0).at(0, 1)) + "|" +
                FormatValue(rows.result_sets.at(0).at(0, 2)),
            "2|one|1");
  BatchResult repeated = session.Execute("INSERT INTO big VALUES (2, 'again')");
  ASSERT_TRUE(repeated.first_error());
  EXPECT_EQ(repeated.first_error()->number(), 2627);
  EXPECT_FALSE(session.Execute("INSERT INTO big VALUES (3, 'three')").first_error());
}

TEST_F(BulkInsertTest, NumbersAndDatesReadAsCastReadsThem) {
  ASSERT_FALSE(
      session_.Execute("CREATE TABLE kinds (t TINYINT, i INT, b BIGINT, d DECIMAL(10,2), day DATE)").first_error());
  Write("0,-0,-9223372036854775807,-0.5,2024-02-29\n"
        "255,007,123456789012345678,12.345,0001-01-01\n"   // a third decimal rounds
        "1,2147483647,-1,\"  42.1 \",9999-12-31\n"         // blanks around a number
        "2,1,1,1,2023-02-29\n"                              // no such day
        "3,2147483648,1,1,2024-01-01\n"                     // past INT
        "256,1,1,1,2024-01-01\n"                            // past TINYINT
        "4,1,1,123456789.1,2024-01-01\n");                  // past DECIMAL(10,2)
  BatchResult result = session_.Execute("BULK INSERT kinds FROM '" + file_ +
                                        "' WITH (FORMAT = 'CSV', FIELDTERMINATOR = ',', MAXERRORS = 10)");
  ASSERT_EQ(result.errors.size(), 4u);
  EXPECT_NE(result.errors[0].error.message().find("row 4, column 5 (day)"), std::string::npos);
  EXPECT_NE(result.errors[1].error.message().find("row 5, column 2 (i)"), std::string::npos);
  EXPECT_NE(result.errors[2].error.message().find("row 6, column 1 (t)"), std::string::npos);
  EXPECT_NE(result.errors[3].error.message().find("row 7, column 4 (d)"), std::string::npos);
  BatchResult rows = session_.Execute("SELECT t, i, b, d, day FROM kinds ORDER BY t");
  std::string out;
  const ResultSet& set = rows.result_sets.at(0);
  for (size_t r = 0; r < set.row_count(); ++r) {
    for (size_t c = 0; c < 5; ++c) out += (c ? "|" : "") + FormatValue(set.at(r, c));
    out += "\n";
  }
  EXPECT_EQ(out,
            "0|0|-9223372036854775807|-0.50|2024-02-29\n"
            "1|2147483647|-1|42.10|9999-12-31\n"
            "255|7|123456789012345678|12.35|0001-01-01\n");
}

}  // namespace
}  // namespace orv::engine
