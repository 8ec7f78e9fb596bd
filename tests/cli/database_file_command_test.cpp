// Database files from the command line: `sql --database <path>` refuses a
// file that is not there unless --create, keeps what was committed, reports a
// file that is not a database; `import` takes a CSV whole or not at all and
// names bad rows by line; `export` writes CSV or TSV that import reads back.
#include "tests/cli/cli_fixture.h"

namespace orv::cli::test {
namespace {

using DatabaseFileCommand = CliTest;

TEST_F(DatabaseFileCommand, OpensCreatesAndRefuses) {
  const std::string path = (directory_ / "erp.odb").string();
  const CliResult missing = Run({"sql", "--database", path, "-Q", "SELECT 1"});
  EXPECT_NE(missing.exit_code, 0);
  EXPECT_NE(missing.err.find("Unable to open the physical file"), std::string::npos) << missing.err;
  EXPECT_FALSE(fs::exists(path));

  const CliResult created = Run({"sql", "--database", path, "--create", "-Q",
                                 "CREATE TABLE t (id INT PRIMARY KEY, name NVARCHAR(10))\n"
                                 "INSERT INTO t VALUES (1, N'甲'), (2, NULL)\n"
                                 "EXEC ('CREATE PROCEDURE n AS SELECT COUNT(*) AS n FROM t')"});
  ASSERT_EQ(created.exit_code, 0) << created.err;
  // Without --create an existing file opens; what the first process committed is there.
  const CliResult reopened = Run({"sql", "--database", path, "--format", "csv", "-Q",
                                  "SET NOCOUNT ON\nSELECT id, name FROM t ORDER BY id\nEXEC n"});
  ASSERT_EQ(reopened.exit_code, 0) << reopened.err;
  EXPECT_EQ(reopened.out, "id,name\r\n1,甲\r\n2,\r\nn\r\n2\r\n");

  const fs::path not_database = WriteFile("data.csv", "id,name\n1,x\n");
  const CliResult damaged = Run({"sql", "--database", not_database.string(), "-Q", "SELECT 1"});
  EXPECT_NE(damaged.exit_code, 0);
  EXPECT_NE(damaged.err.find("logical consistency-based I/O error"), std::string::npos) << damaged.err;
  EXPECT_EQ(ReadFile(not_database), "id,name\n1,x\n");  // never written over
}

class TransferCommand : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    path_ = (directory_ / "erp.odb").string();
    const CliResult created = Run({"sql", "--database", path_, "--create", "-Q",
                                   "CREATE TABLE item (id INT NOT NULL PRIMARY KEY, name NVARCHAR(20) NULL, "
                                   "price DECIMAL(9,2) NULL)\n"
                                   "CREATE TABLE copy (id INT NOT NULL PRIMARY KEY, name NVARCHAR(20) NULL, "
                                   "price DECIMAL(9,2) NULL)"});
    ASSERT_EQ(created.exit_code, 0) << created.err;
  }
  std::string Rows(const std::string& table) {
    return Run({"sql", "--database", path_, "--format", "csv", "-Q",
                "SELECT id, name, price FROM " + table + " ORDER BY id"})
        .out;
  }
  std::string path_;
};

TEST_F(TransferCommand, ImportsQuotesCrLfUtf8AndNullsAndExportReadsBack) {
  const fs::path csv = WriteFile("item.csv",
                                 "id,name,price\r\n"
                                 "1,\"Smith, \"\"Jr\"\"\",12.50\r\n"
                                 "2,螺丝刀,\r\n"
                                 "3,\"two\r\nlines\",0.99\r\n"
                                 "4,\"\",-1\r\n");
  const CliResult imported = Run({"import", "--database", path_, "--table", "item", csv.string()});
  ASSERT_EQ(imported.exit_code, 0) << imported.err;
  EXPECT_EQ(imported.out, "(4 rows affected)\n");
  // Closed at the end of the command, the file took in its log: the next open replays nothing.
  EXPECT_LT(fs::file_size(path_ + "-wal"), 64u);
  // An empty field is NULL (written back bare), a quoted empty one the empty text.
  const std::string expected =
      "id,name,price\r\n1,\"Smith, \"\"Jr\"\"\",12.50\r\n2,螺丝刀,\r\n3,\"two\r\nlines\",0.99\r\n4,\"\",-1.00\r\n";
  EXPECT_EQ(Rows("item"), expected);

  const fs::path exported = directory_ / "out.csv";
  ASSERT_EQ(Run({"export", "--database", path_, "--table", "item", exported.string()}).exit_code, 0);
  EXPECT_EQ(ReadFile(exported), expected);
  const CliResult again = Run({"import", "--database", path_, "--table", "copy", exported.string()});
  ASSERT_EQ(again.exit_code, 0) << again.err;
  EXPECT_EQ(Rows("copy"), expected);
}

// TSV quotes as CSV does, with a tab between fields: a value holding a tab,
// a line break or a quote is quoted (quotes doubled); backslashes are text.
TEST_F(TransferCommand, TsvKeepsTabsLineBreaksQuotesNullsAndUnicodeThroughExportAndImport) {
  const CliResult filled =
      Run({"sql", "--database", path_, "-Q",
           "INSERT INTO item VALUES (1, N'a' + CHAR(9) + N'b', 1.5),\n"
           "(2, N'two' + CHAR(13) + CHAR(10) + N'lines', -2),\n"
           "(3, N'\"quoted\" start', 3), (4, NULL, NULL), (5, N'', 0), (6, N'螺丝刀 😀', 6.25),\n"
           "(7, N'C:\\t\\N', 7), (8, N'end' + CHAR(9), 8)"});
  ASSERT_EQ(filled.exit_code, 0) << filled.err;
  const std::string expected =
      "id\tname\tprice\r\n"
      "1\t\"a\tb\"\t1.50\r\n"
      "2\t\"two\r\nlines\"\t-2.00\r\n"
      "3\t\"\"\"quoted\"\" start\"\t3.00\r\n"
      "4\t\t\r\n"
      "5\t\"\"\t0.00\r\n"
      "6\t螺丝刀 😀\t6.25\r\n"
      "7\tC:\\t\\N\t7.00\r\n"
      "8\t\"end\t\"\t8.00\r\n";
  const fs::path exported = directory_ / "out.tsv";
  const CliResult written = Run({"export", "--database", path_, "--table", "item", "--tsv", exported.string()});
  ASSERT_EQ(written.exit_code, 0) << written.err;
  EXPECT_EQ(ReadFile(exported), expected);
  EXPECT_EQ(Run({"sql", "--database", path_, "--format", "tsv", "-Q", "SET NOCOUNT ON\nSELECT * FROM item ORDER BY id"})
                .out,
            expected);

  const CliResult imported = Run({"import", "--database", path_, "--table", "copy", "--tsv", exported.string()});
  ASSERT_EQ(imported.exit_code, 0) << imported.err;
  EXPECT_EQ(imported.out, "(8 rows affected)\n");
  EXPECT_EQ(Rows("copy"), Rows("item"));
  const fs::path again = directory_ / "again.tsv";
  ASSERT_EQ(Run({"export", "--database", path_, "--table", "copy", "--tsv", again.string()}).exit_code, 0);
  EXPECT_EQ(ReadFile(again), expected);
}

TEST_F(TransferCommand, BadRowsAreNamedByLineAndPastMaxErrorsNothingIsImported) {
  const fs::path csv = WriteFile("item.csv",
                                 "id,name,price\n"
                                 "1,one,1\n"
                                 "2,two,abc\n"      // price does not convert
                                 "3,three,3\n"
                                 "x,four,4\n"       // id does not convert
                                 "5,five,5\n");
  const CliResult refused = Run({"import", "--database", path_, "--table", "item", csv.string()});
  EXPECT_NE(refused.exit_code, 0);
  EXPECT_NE(refused.err.find("row 3, column 3 (price)"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("Nothing was imported."), std::string::npos) << refused.err;
  EXPECT_EQ(Rows("item"), "id,name,price\r\n");

  const CliResult tolerated =
      Run({"import", "--database", path_, "--table", "item", "--max-errors", "2", csv.string()});
  ASSERT_EQ(tolerated.exit_code, 0) << tolerated.err;
  EXPECT_NE(tolerated.err.find("row 3, column 3 (price)"), std::string::npos) << tolerated.err;
  EXPECT_NE(tolerated.err.find("row 5, column 1 (id)"), std::string::npos) << tolerated.err;
  EXPECT_EQ(Rows("item"), "id,name,price\r\n1,one,1.00\r\n3,three,3.00\r\n5,five,5.00\r\n");

  // A duplicate key takes the whole file back: the rows already there stay as they were.
  const fs::path duplicate = WriteFile("dup.csv", "id,name,price\n7,seven,7\n1,again,1\n");
  const CliResult clash = Run({"import", "--database", path_, "--table", "item", duplicate.string()});
  EXPECT_NE(clash.exit_code, 0);
  EXPECT_NE(clash.err.find("Msg 2627"), std::string::npos) << clash.err;
  EXPECT_EQ(Rows("item"), "id,name,price\r\n1,one,1.00\r\n3,three,3.00\r\n5,five,5.00\r\n");
}

}  // namespace
}  // namespace orv::cli::test
