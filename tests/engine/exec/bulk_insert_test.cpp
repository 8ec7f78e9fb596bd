// BULK INSERT of delimited files: CSV quoting (doubled quotes, terminators
// and CR LF inside quotes), UTF-8 text, empty fields as NULL or the default,
// bad rows reported by row and column and left out up to MAXERRORS, past it
// nothing loaded; a rolled back transaction takes a load back.
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

}  // namespace
}  // namespace orv::engine
