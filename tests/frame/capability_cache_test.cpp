// The "DataSource" group of the capability cache: what it holds for the
// embedded provider, what a provider that gives less leaves, when it loads,
// and failures that reach the caller without marking the group complete.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "frame/cdatasource.h"
#include "platform/ado_errors.h"
#include "platform/automation_error.h"
#include "platform/provider.h"
#include "tests/frame/cache_fixture.h"

namespace orv::frame {
namespace {

using platform::Variant;

CDataSource SourceFor(const std::string& sDsn) {
  auto parser = std::make_shared<CParse>();
  parser->ParseString(sDsn);
  CDataSource source;
  source.SetParser(parser);
  return source;
}

size_t CountOf(const std::vector<std::string>& batches, std::string_view batch) {
  return static_cast<size_t>(std::count(batches.begin(), batches.end(), batch));
}

std::shared_ptr<platform::SharedPropertyGroup> GroupNamed(const std::string& name) {
  return platform::SharedPropertyGroupManager().Group(name);
}

TEST(CapabilityCache, HoldsTheEmbeddedEnginesCapabilitiesAndLoadsOnce) {
  RegisterTinyCopy("cache-tiny");
  const CacheSession session = FreshCacheSession("cache-tiny");
  const CDataSource source = SourceFor(session.sDsn);
  BatchRecorder recorder;
  // The provider's version, not the session string's "cache-N".
  EXPECT_EQ(source.DBMSVersion(), "01.00.0000");
  EXPECT_TRUE(source.MultipleResults());
  EXPECT_TRUE(source.LikeEscapeClause());
  EXPECT_FALSE(source.IEF());
  // Every numeric function, ABS (0x1) to TRUNCATE (0x800000): the 24 low bits.
  EXPECT_EQ(source.NumericFunctions(), 0x00FFFFFF);
  // CONCAT LEFT LTRIM LENGTH LOCATE LCASE REPEAT (0xFD), REPLACE RIGHT RTRIM SUBSTRING UCASE (0x1F00),
  // ASCII 0x2000, CHAR 0x4000, DIFFERENCE 0x8000, LOCATE_2 0x10000, SOUNDEX 0x20000, SPACE 0x40000,
  // OCTET_LENGTH 0x400000.
  EXPECT_EQ(source.StringFunctions(), 0x0047FFFF);
  EXPECT_EQ(source.SystemFunctions(), 0x7);  // USERNAME 0x1, DBNAME 0x2, IFNULL 0x4
  // NOW CURDATE DAYOFMONTH ... YEAR (0x1FF), CURTIME HOUR MINUTE SECOND (0x1E00), TIMESTAMPADD
  // TIMESTAMPDIFF DAYNAME (0xE000), MONTHNAME 0x10000, CURRENT_TIMESTAMP 0x80000.
  EXPECT_EQ(source.DateTimeFunctions(), 0x0009FFFF);
  EXPECT_TRUE(source.ProcSupported("p_RptItemLevel"));
  EXPECT_FALSE(source.ProcSupported("P_RPTITEMLEVEL"));  // exact letter case
  EXPECT_FALSE(source.ProcSupported("p_CheckBill"));     // only in the generated data
  EXPECT_EQ(CountOf(recorder.batches, "SELECT FProcName FROM t_SupportedProc"), 1u);
  // Another data source of the same product and version reads the same group.
  EXPECT_TRUE(SourceFor(session.sDsn).ProcSupported("p_GetBillNo"));
  EXPECT_EQ(recorder.batches.size(), 1u);

  const auto group = GroupNamed(session.group_prefix + "DataSource");
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->isolation(), platform::kLockSetGet);
  EXPECT_EQ(group->release(), platform::kReleaseProcess);
  EXPECT_EQ(group->Property("DBMSName")->Value().ToString(), "Orvalent Embedded");
  EXPECT_EQ(group->Property("MultipleResults")->Value().ToLong(), 1);  // stored as the provider gave it
  EXPECT_EQ(group->Property("ConnectString")->Value().ToString(), "Provider=Orvalent.Embedded;Data Source=cache-tiny");
  EXPECT_TRUE(group->Property("Connected")->Value().ToBool());
}

// A provider that runs batches on the embedded engine but tells only the
// properties a test gives it.
std::vector<platform::ProviderProperty> bare_properties;

class BareSession : public platform::ProviderSession {
 public:
  explicit BareSession(std::unique_ptr<platform::ProviderSession> inner) : inner_(std::move(inner)) {}
  platform::ProviderBatch Execute(std::string_view batch) override { return inner_->Execute(batch); }
  std::vector<platform::ProviderProperty> Properties() const override { return bare_properties; }

 private:
  std::unique_ptr<platform::ProviderSession> inner_;
};

std::string BareSessionOn(const std::string& database) {
  platform::RegisterProvider("Test.Bare", [](const platform::ConnectionProperties& properties) {
    return std::unique_ptr<platform::ProviderSession>(std::make_unique<BareSession>(platform::OpenProviderSession(
        platform::ParseConnectionString("Provider=Orvalent.Embedded;Data Source=" + properties.Get({"data source"})))));
  });
  return FreshCacheSession(database, "Test.Bare").sDsn;
}

TEST(CapabilityCache, WhatTheProviderDoesNotGiveReadsAsFalseOrZero) {
  RegisterTinyCopy("cache-bare");
  bare_properties = {};
  CDataSource source = SourceFor(BareSessionOn("cache-bare"));
  EXPECT_EQ(source.DBMSVersion(), "");
  EXPECT_FALSE(source.MultipleResults());
  EXPECT_FALSE(source.LikeEscapeClause());
  EXPECT_FALSE(source.IEF());
  EXPECT_EQ(source.NumericFunctions(), 0);
  EXPECT_EQ(source.DateTimeFunctions(), 0);
  EXPECT_TRUE(source.ProcSupported("p_GetBillNo"));  // the table is read all the same

  // Null and empty answers take the defaults; "Like Escape Clause" is true only for "Y".
  bare_properties = {{"DBMS Version", Variant::Null()},
                     {"Multiple Results", Variant("")},
                     {"Like Escape Clause", Variant("y")},
                     {"Integrity Enhancement Facility", Variant(true)},
                     {"String Functions", Variant(5)}};
  source = SourceFor(BareSessionOn("cache-bare"));
  EXPECT_EQ(source.DBMSVersion(), "");
  EXPECT_FALSE(source.MultipleResults());
  EXPECT_FALSE(source.LikeEscapeClause());
  EXPECT_TRUE(source.IEF());
  EXPECT_EQ(source.StringFunctions(), 5);
}

TEST(CapabilityCache, AFailedLoadReachesTheCallerAndTheNextReaderLoadsAgain) {
  RegisterTinyCopy("cache-noprocs", "DROP TABLE t_SupportedProc");
  const CDataSource source = SourceFor(FreshCacheSession("cache-noprocs").sDsn);
  BatchRecorder recorder;
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      source.LikeEscapeClause();
      FAIL() << "a database without t_SupportedProc cannot be loaded";
    } catch (const platform::AutomationError& error) {
      EXPECT_EQ(error.number(), platform::kHrNoSuchTable);
      EXPECT_EQ(error.source(), "Orvalent.Embedded");
      EXPECT_EQ(error.description(), "Invalid object name 't_SupportedProc'.");
    }
  }
  EXPECT_EQ(CountOf(recorder.batches, "SELECT FProcName FROM t_SupportedProc"), 2u);
  // Once the table is there, the same group loads.
  engine::Session(platform::GetDatabaseInstance("cache-noprocs"))
      .Execute("CREATE TABLE t_SupportedProc (FProcName NVARCHAR(255) NULL)\r\n"
               "INSERT INTO t_SupportedProc VALUES (N'p_A'), (N'p_A'), (NULL), (N'p_B')");
  EXPECT_TRUE(source.LikeEscapeClause());
  EXPECT_TRUE(source.ProcSupported("p_A"));  // a repeated name is one entry, a NULL row none
  EXPECT_TRUE(source.ProcSupported("p_B"));
}

TEST(CapabilityCache, SessionStringFaultsReachTheCaller) {
  SetUpFrameDatabase();
  // No product name: the group cannot be named.
  CDataSource source = SourceFor("ConnectString={Provider=Orvalent.Embedded;Data Source=cache-tiny};DBMS Version=1;");
  EXPECT_THROW(source.IEF(), platform::AutomationError);
  // No connection string: the load cannot connect.
  source = SourceFor("DBMS Name=X;DBMS Version=no-connection;");
  try {
    source.IEF();
    FAIL();
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), platform::kErrInvalidProcedureCall);
  }
}

TEST(CapabilityCache, IsOracleComparesTheSessionsProductNameExactly) {
  BatchRecorder recorder;
  EXPECT_TRUE(SourceFor("DBMS Name=Oracle;").IsOracle());
  EXPECT_FALSE(SourceFor("DBMS Name=ORACLE;").IsOracle());
  EXPECT_FALSE(SourceFor("DBMS Name=Microsoft SQL Server;").IsOracle());
  EXPECT_TRUE(recorder.batches.empty());  // no connection is needed
}

}  // namespace
}  // namespace orv::frame
