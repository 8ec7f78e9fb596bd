// The connection and record set on the embedded engine: the first row set of
// a batch, detached rows outliving connection and database, field metadata
// and values of the report's column types, the provider's error mapping, and
// the named database instances with their loaders.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/class_registry.h"
#include "platform/connection.h"
#include "platform/embedded_provider.h"
#include "platform/recordset.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

std::shared_ptr<Connection> Open(const std::string& database) {
  RegisterPlatformClasses();
  auto connection = std::make_shared<Connection>();
  GetDatabaseInstance(database);  // an empty database of that name, unless there is one
  connection->Open("Provider=Orvalent.Embedded;Data Source=" + database, "", "", -1);
  connection->SetCursorLocation(adUseClient);
  connection->SetCommandTimeout(0);
  return connection;
}

TEST(EmbeddedConnection, FirstRowSetOfANoCountBatchThenTheNext) {
  auto connection = Open("p1-first");
  auto rs = connection->Execute(
      "SET NOCOUNT ON\r\n"
      "CREATE TABLE #t(a INT)\r\n"
      "INSERT INTO #t VALUES(1)\r\n"
      "INSERT INTO #t VALUES(2)\r\n"
      "SELECT a FROM #t ORDER BY a\r\n"
      "SELECT SUM(a) AS total FROM #t\r\n",
      -1);
  ASSERT_EQ(rs->State(), adStateOpen);
  EXPECT_EQ(rs->RecordCount(), 2);
  EXPECT_EQ(rs->Collect("A").ToLong(), 1);
  auto next = rs->NextRecordset();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->Collect("total").ToLong(), 3);
  EXPECT_EQ(next->NextRecordset(), nullptr);
}

TEST(EmbeddedConnection, BatchWithoutRowSetGivesClosedRecordset) {
  auto connection = Open("p1-first");
  auto rs = connection->Execute("SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED", -1);
  ASSERT_NE(rs, nullptr);
  EXPECT_EQ(rs->State(), adStateClosed);
}

TEST(EmbeddedConnection, DetachedRowsOutliveConnectionAndDatabase) {
  std::shared_ptr<Recordset> rs;
  {
    auto connection = Open("p1-dropped");
    connection->Execute("CREATE TABLE t_Kept(FName NVARCHAR(20))\r\nINSERT INTO t_Kept VALUES(N'资产')");
    rs = connection->Execute("SELECT FName, N'合' + FName AS FLabel FROM t_Kept");
    rs->SetActiveConnection(nullptr);
    connection->Close();
  }
  DropDatabaseInstance("p1-dropped");
  ASSERT_EQ(rs->State(), adStateOpen);
  EXPECT_EQ(rs->Collect("FName").ToString(), "资产");
  EXPECT_EQ(rs->Collect(1).ToString(), "合资产");
  // A new instance of the same name starts empty.
  auto fresh = Open("p1-dropped");
  EXPECT_EQ(ErrorOf([&] { (void)fresh->Execute("SELECT * FROM t_Kept"); }), static_cast<int32_t>(0x80040E37));
}

TEST(EmbeddedConnection, FieldMetadataAndValuesOfTheReportTypes) {
  auto connection = Open("p1-types");
  auto rs = connection->Execute(
      "SET NOCOUNT ON\r\n"
      "CREATE TABLE #m(FAmount DECIMAL(23,10), FName NVARCHAR(255), FSumSort SMALLINT, FDate DATETIME, "
      "FID INT, FCode VARCHAR(30), FRate FLOAT)\r\n"
      "INSERT INTO #m VALUES(12.5, N'合计', 101, '2024-03-05 10:00:00', 7, 'A1', 0.25)\r\n"
      "INSERT INTO #m VALUES(NULL, NULL, NULL, NULL, NULL, NULL, NULL)\r\n"
      "SELECT * FROM #m ORDER BY FID DESC\r\n");
  const Fields& fields = rs->Fields();
  ASSERT_EQ(fields.Count(), 7);
  EXPECT_EQ(fields["FAmount"].Type(), DataTypeEnum::adNumeric);
  EXPECT_EQ(fields["FAmount"].Precision(), 23);
  EXPECT_EQ(fields["FAmount"].NumericScale(), 10);
  EXPECT_EQ(fields["FName"].Type(), DataTypeEnum::adVarWChar);
  EXPECT_EQ(fields["FName"].DefinedSize(), 255);
  EXPECT_EQ(fields["FSumSort"].Type(), DataTypeEnum::adSmallInt);
  EXPECT_EQ(fields["FDate"].Type(), DataTypeEnum::adDBTimeStamp);
  EXPECT_EQ(fields["FID"].Type(), DataTypeEnum::adInteger);
  EXPECT_EQ(fields["FCode"].Type(), DataTypeEnum::adVarChar);
  EXPECT_EQ(fields["FCode"].DefinedSize(), 30);
  EXPECT_EQ(fields["FRate"].Type(), DataTypeEnum::adDouble);

  const Variant amount = rs->Collect("FAmount");
  EXPECT_EQ(amount.type(), VarType::Decimal);
  EXPECT_EQ(amount.decimal_scale(), 10);
  EXPECT_TRUE(amount.decimal_unscaled() == static_cast<__int128>(125000000000));
  EXPECT_EQ(amount.ToString(), "12.5");
  EXPECT_EQ(rs->Collect("FName").ToString(), "合计");
  EXPECT_EQ(rs->Collect("FSumSort").type(), VarType::Integer);
  EXPECT_EQ(rs->Collect("FSumSort").ToInteger(), 101);
  EXPECT_EQ(rs->Collect("FDate").type(), VarType::Date);
  EXPECT_EQ(rs->Collect("FDate").ToString(), "2024-03-05 10:00:00");
  EXPECT_EQ(rs->Collect("FID").type(), VarType::Long);
  EXPECT_DOUBLE_EQ(rs->Collect("FRate").ToDouble(), 0.25);
  rs->MoveNext();
  for (int32_t i = 0; i < fields.Count(); ++i) EXPECT_TRUE(rs->Collect(i).IsNull()) << i;
}

TEST(EmbeddedConnection, OtherTypesAsTheProviderDescribesThem) {
  auto rs = Open("p1-types")->Execute(
      "SELECT CAST(1 AS BIT) AS FBit, CAST(200 AS TINYINT) AS FTiny, CAST(12.3456 AS MONEY) AS FMoney, "
      "CAST(9000000000 AS BIGINT) AS FBig, CAST('ab' AS CHAR(4)) AS FChar, CAST(N'合' AS NCHAR(2)) AS FNChar, "
      "NULL AS FNull, 7");
  const Fields& fields = rs->Fields();
  ASSERT_EQ(fields.Count(), 8);
  EXPECT_EQ(fields["FBit"].Type(), DataTypeEnum::adBoolean);
  EXPECT_EQ(rs->Collect("FBit").type(), VarType::Boolean);
  EXPECT_TRUE(rs->Collect("FBit").ToBool());
  EXPECT_EQ(fields["FTiny"].Type(), DataTypeEnum::adUnsignedTinyInt);
  EXPECT_EQ(rs->Collect("FTiny").ToInteger(), 200);
  EXPECT_EQ(fields["FMoney"].Type(), DataTypeEnum::adCurrency);
  EXPECT_EQ(rs->Collect("FMoney").type(), VarType::Currency);
  EXPECT_EQ(rs->Collect("FMoney").currency(), 123456);
  EXPECT_EQ(fields["FBig"].Type(), DataTypeEnum::adBigInt);
  EXPECT_EQ(rs->Collect("FBig").ToString(), "9000000000");
  EXPECT_EQ(fields["FChar"].Type(), DataTypeEnum::adChar);
  EXPECT_EQ(fields["FChar"].DefinedSize(), 4);
  EXPECT_EQ(rs->Collect("FChar").ToString(), "ab  ");
  EXPECT_EQ(fields["FNChar"].Type(), DataTypeEnum::adWChar);
  EXPECT_EQ(rs->Collect("FNChar").ToString(), "合 ");
  EXPECT_EQ(fields["FNull"].Type(), DataTypeEnum::adInteger);
  EXPECT_TRUE(rs->Collect("FNull").IsNull());
  EXPECT_EQ(fields[7].Name(), "");  // an unnamed column
  EXPECT_EQ(rs->Collect(7).ToLong(), 7);
}

TEST(EmbeddedConnection, ErrorsCarryTheProviderCodeAndTheEngineText) {
  auto connection = Open("p1-errors");
  try {
    (void)connection->Execute("SELECT 1 AS a\r\nSELECT * FROM t_Missing", -1);
    FAIL() << "a failed batch was reported as success";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), static_cast<int32_t>(0x80040E37));
    EXPECT_EQ(error.description(), "Invalid object name 't_Missing'.");
    EXPECT_EQ(error.source(), "Orvalent.Embedded");
  }
  ASSERT_EQ(connection->Errors().size(), 1u);
  EXPECT_EQ(connection->Errors()[0].native_error, 208);
  EXPECT_EQ(connection->Errors()[0].line, 2);

  try {
    (void)connection->Execute("SELECT 1 +* 2", -1);
    FAIL() << "a syntax error was reported as success";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), -2147217900);  // 0x80040E14
    ASSERT_EQ(connection->Errors().size(), 1u);
    EXPECT_EQ(connection->Errors()[0].native_error, 102);
    EXPECT_EQ(error.description(), connection->Errors()[0].description);
    EXPECT_EQ(error.description().rfind("Incorrect syntax near", 0), 0u) << error.description();
  }
  EXPECT_EQ(ErrorOf([&] { (void)connection->Execute("SELECT 1/0"); }), -2147217900);
  EXPECT_EQ(connection->Errors()[0].native_error, 8134);
  // The connection stays usable after an error.
  EXPECT_EQ(connection->Execute("SELECT 5 AS five")->Collect(0).ToLong(), 5);
  // A batch that went on past an error still fails with its first error.
  EXPECT_EQ(ErrorOf([&] { (void)connection->Execute("SELECT 1/0\r\nSELECT CAST('x' AS INT)\r\nSELECT 1"); }),
            -2147217900);
  ASSERT_EQ(connection->Errors().size(), 1u);
  EXPECT_EQ(connection->Errors()[0].native_error, 8134);
}

TEST(EmbeddedConnection, TemporaryTablesArePrivateBaseTablesShared) {
  auto first = Open("p1-shared");
  auto second = Open("p1-shared");
  first->Execute("CREATE TABLE #mine(a INT)\r\nCREATE TABLE t_Both(a INT)\r\nINSERT INTO t_Both VALUES(4)");
  EXPECT_EQ(ErrorOf([&] { (void)second->Execute("SELECT * FROM #mine"); }), static_cast<int32_t>(0x80040E37));
  EXPECT_EQ(second->Execute("SELECT a FROM t_Both")->Collect(0).ToLong(), 4);
}

TEST(EmbeddedConnection, LoadersFillTheirOwnNameOnceAndNothingElse) {
  int loads = 0;
  RegisterDatabaseFactory("p1-named", [&loads](engine::Session& session) {
    ++loads;
    const auto result = session.Execute("CREATE TABLE t_Name(FName VARCHAR(40))\r\nINSERT INTO t_Name VALUES('" +
                                        session.database().name() + "')");
    if (result.first_error()) throw *result.first_error();
  });
  EXPECT_EQ(Open("p1-named")->Execute("SELECT FName FROM t_Name")->Collect(0).ToString(), "p1-named");
  EXPECT_EQ(Open("P1-NAMED")->Execute("SELECT COUNT(*) FROM t_Name")->Collect(0).ToLong(), 1);
  EXPECT_EQ(loads, 1);
  // A longer name is another, empty instance: it never loads a second copy of the data.
  EXPECT_EQ(ErrorOf([] { (void)Open("p1-namedX")->Execute("SELECT FName FROM t_Name"); }),
            static_cast<int32_t>(0x80040E37));
  EXPECT_EQ(loads, 1);
}

TEST(EmbeddedConnection, AFailingLoaderLeavesNoInstanceBehind) {
  bool fail = true;
  RegisterDatabaseFactory("p1-broken", [&fail](engine::Session& session) {
    (void)session.Execute("CREATE TABLE t_Half(a INT)");
    if (fail) throw std::runtime_error("disk full");
  });
  try {
    (void)Open("p1-broken");
    FAIL() << "opened a database whose loader failed";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), static_cast<int32_t>(0x80004005));
    EXPECT_NE(error.description().find("disk full"), std::string::npos);
  }
  fail = false;
  EXPECT_EQ(Open("p1-broken")->Execute("SELECT COUNT(*) FROM t_Half")->Collect(0).ToLong(), 0);
  EXPECT_EQ(ErrorOf([] { (void)Open(""); }), static_cast<int32_t>(0x80004005));
}

// "Data Source=<path>" opens a database file: refused while the file is not
// there (never created by a connection), then what was committed to it is read.
TEST(EmbeddedConnection, DataSourceThatIsAPathOpensTheDatabaseFile) {
  RegisterPlatformClasses();
  const std::string path = ::testing::TempDir() + "orv_connection_" + std::to_string(::getpid()) + ".odb";
  auto connect = [&] {
    auto connection = std::make_shared<Connection>();
    connection->Open("Provider=Orvalent.Embedded;Data Source=" + path, "", "", -1);
    connection->SetCursorLocation(adUseClient);
    return connection;
  };
  EXPECT_EQ(ErrorOf([&] { (void)connect(); }), static_cast<int32_t>(0x80004005));
  {
    engine::Session session(OpenDatabaseFile(path, true));
    ASSERT_FALSE(session.Execute("CREATE TABLE t_Kept (FName NVARCHAR(20))\nINSERT INTO t_Kept VALUES (N'资产')").first_error());
  }
  auto rs = connect()->Execute("SELECT FName FROM t_Kept", -1);
  EXPECT_EQ(rs->Collect("FName").ToString(), "资产");
  DropDatabaseInstance(path);
  for (const char* suffix : {"", "-wal", "-lock"}) std::remove((path + suffix).c_str());
}

// Two files whose paths differ only in case are two databases: each connection
// reads its own file, never the instance of the other.
TEST(EmbeddedConnection, FilePathsThatDifferOnlyInCaseAreTwoDatabases) {
  RegisterPlatformClasses();
  const std::string stem = ::testing::TempDir() + "orv_case_" + std::to_string(::getpid());
  const std::vector<std::string> paths{stem + "_Upper.odb", stem + "_upper.odb"};
  for (const std::string& path : paths) {
    engine::Session session(OpenDatabaseFile(path, true));
    ASSERT_FALSE(session.Execute("CREATE TABLE t_Which (FPath NVARCHAR(400))\nINSERT INTO t_Which VALUES (N'" + path +
                                 "')")
                     .first_error());
  }
  for (const std::string& path : paths) {
    auto connection = std::make_shared<Connection>();
    connection->Open("Provider=Orvalent.Embedded;Data Source=" + path, "", "", -1);
    EXPECT_EQ(connection->Execute("SELECT FPath FROM t_Which", -1)->Collect("FPath").ToString(), path);
  }
  for (const std::string& path : paths) {
    DropDatabaseInstance(path);
    for (const char* suffix : {"", "-wal", "-lock"}) std::remove((path + suffix).c_str());
  }
}

}  // namespace
}  // namespace orv::platform
