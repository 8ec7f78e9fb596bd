// The ODBC provider through FreeTDS against the listener on the tiny demo
// database: connection strings, each report's rows, columns and types the
// same as on the embedded path, and database errors raised the same way.
#include <gtest/gtest.h>

#include <map>
#include <mutex>

#include "engine/common/interrupt.h"
#include "platform/ado_errors.h"
#include "platform/automation_error.h"
#include "platform/class_registry.h"
#include "platform/connection.h"
#include "platform/field.h"
#include "platform/providers/odbc/odbc_provider.h"
#include "platform/recordset.h"
#include "tests/reports/report_fixture.h"
#include "tests/tds/test_server.h"

namespace orv::tds::testing {
namespace {

using platform::AutomationError;
using platform::ConditionDictionary;
using platform::Variant;

void RegisterOdbc() {
  static std::once_flag once;
  std::call_once(once, [] {
    platform::RegisterPlatformClasses();
    platform::odbc::RegisterOdbcProvider();
  });
}

std::string ConnectString(const TestServer& server, const std::string& password = kPassword) {
  return "Provider=SQLOLEDB.1;Data Source=127.0.0.1," + std::to_string(server.port()) +
         ";Initial Catalog=demo-tiny;User ID=" + kUser + ";Password=" + password;
}

std::string Session(const std::string& connect_string) {
  return "ConnectString={" + connect_string + "};UserName=demo;UserID=16394;Language=chs;";
}

// How a record set describes itself, field by field.
std::vector<std::string> Describe(platform::Recordset& recordset) {
  std::vector<std::string> fields;
  for (int32_t i = 0; i < recordset.Fields().Count(); ++i) {
    const platform::Field field = recordset.Fields().Item(i);
    fields.push_back(field.Name() + " " + std::to_string(static_cast<int>(field.Type())) + " " +
                     std::to_string(field.DefinedSize()) + " " + std::to_string(field.Precision()) + " " +
                     std::to_string(field.NumericScale()));
  }
  return fields;
}

int32_t ErrorNumber(const std::function<void()>& action, std::string* description = nullptr) {
  try {
    action();
  } catch (const AutomationError& error) {
    if (description) *description = error.description();
    return error.number();
  }
  return 0;
}

TEST(OdbcProvider, ConnectionStringsBecomeTheDriversOwn) {
  using platform::odbc::OdbcConnectionString;
  using platform::ParseConnectionString;
  EXPECT_EQ(OdbcConnectionString(ParseConnectionString(
                "Provider=SQLOLEDB;Data Source=db.example,1533;Initial Catalog=ERP;User ID=sa;Password=\"p;w{d}\"")),
            "Driver=FreeTDS;Server=db.example;Port=1533;Database=ERP;UID=sa;PWD={p;w{d}}};"
            "TDS_Version=7.4;ClientCharset=UTF-8;");
  EXPECT_EQ(OdbcConnectionString(ParseConnectionString("Provider=SQLOLEDB;Server=tcp:h;UID=u;PWD=x;Encrypt=yes")),
            "Driver=FreeTDS;Server=h;UID=u;PWD=x;Encryption=require;TDS_Version=7.4;ClientCharset=UTF-8;");
  EXPECT_EQ(OdbcConnectionString(ParseConnectionString("Driver=FreeTDS;Server=h;Port=1;ClientCharset=GBK")),
            "driver=FreeTDS;server=h;port=1;clientcharset=GBK;");
}

TEST(OdbcProvider, ReportsReturnTheEmbeddedPathsRowsColumnsAndTypes) {
  TestServer server("demo-tiny");
  RegisterOdbc();
  struct Case {
    std::string prog_id;
    std::vector<std::pair<std::string, Variant>> conditions;
  };
  const std::vector<Case> cases = {
      {"Orvalent.CRPT2010001", {}},
      {"Orvalent.CRPT2010001", {{"FBeginDate", Variant("2024-02-01")}, {"FEndDate", Variant("2024-03-31")}}},
      {"Orvalent.CRPT2010005", {}},
      {"Orvalent.CRPT2010005", {{"FBillRowStatus", Variant(4)}, {"FInvoiceStatus", Variant("1")}}},
  };
  for (const Case& report : cases) {
    SCOPED_TRACE(report.prog_id);
    ConditionDictionary dct;
    for (const auto& [key, value] : report.conditions) dct.Set(key, value);
    const auto embedded = test::RunReport(report.prog_id, test::TinySession("chs"), &dct);
    const auto remote = test::RunReport(report.prog_id, Session(ConnectString(server)), &dct);
    EXPECT_EQ(Describe(*remote), Describe(*embedded));
    const test::ResultTable expected = test::ReadTable(*embedded);
    const test::ResultTable actual = test::ReadTable(*remote);
    EXPECT_FALSE(expected.rows.empty());
    EXPECT_EQ(actual.columns, expected.columns);
    EXPECT_EQ(actual.rows, expected.rows);
  }
}

// Every report class registered, so reports that land later are checked too:
// the same rows, or the same error, on both paths.
TEST(OdbcProvider, EveryRegisteredReportBehavesAsOnTheEmbeddedPath) {
  TestServer server("demo-tiny");
  RegisterOdbc();
  ConditionDictionary none;
  test::RunReport("Orvalent.CRPT2010001", test::TinySession("chs"), &none);  // registers the component
  size_t reports = 0;
  size_t with_rows = 0;
  for (const platform::ClassEntry& entry : platform::ClassRegistry::Instance().Entries()) {
    if (!entry.prog_id.starts_with("Orvalent.CRPT")) continue;
    SCOPED_TRACE(entry.prog_id);
    ++reports;
    ConditionDictionary dct;
    std::shared_ptr<platform::Recordset> embedded;
    std::shared_ptr<platform::Recordset> remote;
    std::string embedded_error;
    std::string remote_error;
    const int32_t embedded_number =
        ErrorNumber([&] { embedded = test::RunReport(entry.prog_id, test::TinySession("chs"), &dct); }, &embedded_error);
    const int32_t remote_number =
        ErrorNumber([&] { remote = test::RunReport(entry.prog_id, Session(ConnectString(server)), &dct); }, &remote_error);
    EXPECT_EQ(remote_number, embedded_number);
    EXPECT_EQ(remote_error, embedded_error);
    if (embedded && remote) {
      ++with_rows;
      EXPECT_EQ(Describe(*remote), Describe(*embedded));
      EXPECT_EQ(test::ReadTable(*remote).rows, test::ReadTable(*embedded).rows);
    }
  }
  EXPECT_GE(reports, 5u);
  EXPECT_GE(with_rows, 2u);  // 2010001 and 2010005 at least
}

TEST(OdbcProvider, DatabaseErrorsRaiseAsOnTheEmbeddedPath) {
  TestServer server("demo-tiny");
  RegisterOdbc();
  const std::string batch = "SELECT 1 AS one\r\nSELECT 1 / 0 AS boom\r\nSELECT * FROM t_Nowhere";
  for (const std::string& connect_string :
       {ConnectString(server), std::string("Provider=Orvalent.Embedded;Data Source=demo-tiny")}) {
    SCOPED_TRACE(connect_string);
    auto connection = std::make_shared<platform::Connection>();
    connection->Open(connect_string);
    std::string description;
    // The first error is raised, whatever came before it: divide by zero on line 2.
    EXPECT_EQ(ErrorNumber([&] { connection->Execute(batch); }, &description), static_cast<int32_t>(0x80040E14));
    EXPECT_EQ(description, "Divide by zero error encountered.");
    ASSERT_EQ(connection->Errors().size(), 1u);
    EXPECT_EQ(connection->Errors()[0].native_error, 8134);
    EXPECT_EQ(connection->Errors()[0].sql_state, "22012");
    EXPECT_EQ(connection->Errors()[0].line, 2);
    EXPECT_EQ(ErrorNumber([&] { connection->Execute("SELECT * FROM t_Nowhere"); }, &description),
              static_cast<int32_t>(0x80040E37));
    EXPECT_EQ(description, "Invalid object name 't_Nowhere'.");
    // Below the connection, the provider keeps the server's severity, state and line.
    const platform::ProviderBatch result =
        platform::OpenProviderSession(platform::ParseConnectionString(connect_string))->Execute(batch);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->native_number, 8134);
    EXPECT_EQ(result.error->severity, 16);
    EXPECT_EQ(result.error->state, 1);
    EXPECT_EQ(result.error->line, 2);
    EXPECT_EQ(result.row_sets.size(), 1u);  // the first SELECT's rows came before the error
  }
}

TEST(OdbcProvider, BatchesGiveEveryRowSetAndTheirCounts) {
  TestServer server("demo-tiny");
  RegisterOdbc();
  auto connection = std::make_shared<platform::Connection>();
  connection->Open(ConnectString(server));
  int32_t affected = -1;
  connection->Execute("CREATE TABLE #t (a INT, b NVARCHAR(5))\r\nINSERT INTO #t VALUES (1, N'甲'), (2, NULL)", -1, &affected);
  EXPECT_EQ(affected, 2);
  auto first = connection->Execute("SELECT a, b FROM #t ORDER BY a\r\nSELECT SUM(a) AS s FROM #t");
  ASSERT_EQ(first->RecordCount(), 2);
  EXPECT_EQ(first->Collect("b").ToString(), "甲");
  first->MoveNext();
  EXPECT_TRUE(first->Collect("b").IsNull());
  auto second = first->NextRecordset();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Collect("s").ToLong(), 3);
}

TEST(OdbcProvider, TheCommandTimeOutAndTheCallersDeadlineStopABatchOnTheServer) {
  TestServer server("demo-tiny");
  RegisterOdbc();
  auto connection = std::make_shared<platform::Connection>();
  connection->Open(ConnectString(server));
  // Minutes of work: only a time-out ends it in time.
  const std::string long_batch = "DECLARE @i BIGINT = 0\r\nWHILE @i < 2000000000 SET @i += 1";
  connection->SetCommandTimeout(1);
  EXPECT_EQ(ErrorNumber([&] { connection->Execute(long_batch); }), platform::kHrQueryTimeout);
  ASSERT_EQ(connection->Errors().size(), 1u);
  EXPECT_EQ(connection->Errors()[0].description, "Query timeout expired");
  EXPECT_EQ(connection->Execute("SELECT 7 AS seven")->Collect(0).ToLong(), 7);
  // Without one, a deadline the calling thread runs under (a web request's) stops it all the same.
  connection->SetCommandTimeout(0);
  engine::CancelFlag never_raised;
  {
    const engine::InterruptScope deadline(never_raised, std::chrono::milliseconds(1500));
    EXPECT_NE(ErrorNumber([&] { connection->Execute(long_batch); }), 0);
    EXPECT_TRUE(deadline.interrupted());
  }
  EXPECT_EQ(connection->Execute("SELECT 7 AS seven")->Collect(0).ToLong(), 7);
}

TEST(OdbcProvider, DataSourcePropertiesComeFromTheDriver) {
  TestServer server("demo-tiny");
  RegisterOdbc();
  const auto session = platform::OpenProviderSession(platform::ParseConnectionString(ConnectString(server)));
  std::map<std::string, std::string> properties;
  for (const platform::ProviderProperty& property : session->Properties()) {
    properties[property.name] = property.value.ToString();
  }
  // The listener's login acknowledgement gives version 16.0, build 1000: "##.##.####".
  EXPECT_EQ(properties["DBMS Version"], "16.00.1000");
  EXPECT_FALSE(properties["DBMS Name"].empty());
  EXPECT_EQ(properties["Multiple Results"], "1");
  EXPECT_TRUE(properties.count("String Functions"));
}

TEST(OdbcProvider, RefusedLoginsAndUnreachableServersFailClearly) {
  TestServer server("demo-tiny");
  RegisterOdbc();
  std::string description;
  auto connection = std::make_shared<platform::Connection>();
  EXPECT_EQ(ErrorNumber([&] { connection->Open(ConnectString(server, "wrong")); }, &description),
            static_cast<int32_t>(0x80040E4D));
  EXPECT_EQ(description, "Login failed for user 'tester'.");
  const std::string nowhere = "Driver=FreeTDS;Server=127.0.0.1;Port=1;UID=u;PWD=p;LoginTimeout=2";
  EXPECT_EQ(ErrorNumber([&] { connection->Open(nowhere); }), platform::kHrFail);
  EXPECT_EQ(connection->State(), platform::adStateClosed);
}

}  // namespace
}  // namespace orv::tds::testing
