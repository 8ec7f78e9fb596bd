// The embedded provider under careless input: unknown database names, the
// explicit empty database, the command time-out, the memory limit of the
// connection string, and a connection string of a hundred thousand properties.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/class_registry.h"
#include "platform/connection.h"
#include "platform/connection_string.h"
#include "platform/embedded_provider.h"
#include "platform/recordset.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

std::shared_ptr<Connection> Connect(const std::string& properties) {
  RegisterPlatformClasses();
  auto connection = std::make_shared<Connection>();
  connection->Open("Provider=Orvalent.Embedded;" + properties);
  connection->SetCommandTimeout(0);
  return connection;
}

// 0..9999 in #k, from the digits in #n.
constexpr const char* kTenThousandRows =
    "SET NOCOUNT ON CREATE TABLE #n (v INT) INSERT INTO #n VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9) "
    "SELECT a.v + 10 * b.v + 100 * c.v + 1000 * d.v AS v INTO #k "
    "FROM #n a CROSS JOIN #n b CROSS JOIN #n c CROSS JOIN #n d";

TEST(EmbeddedLimits, AnUnknownDatabaseIsError4060NamingTheKnownOnes) {
  GetDatabaseInstance("limits-known");
  try {
    (void)Connect("Data Source=ICPurChase");
    FAIL() << "opened a database nobody made";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.description().rfind("Cannot open database \"ICPurChase\" requested by the login. The login failed.", 0),
              0u)
        << error.description();
    EXPECT_NE(error.description().find("limits-known"), std::string::npos) << error.description();
    EXPECT_NE(error.description().find(":memory:"), std::string::npos) << error.description();
  }
  // Nothing was left behind under the wrong name.
  const std::vector<std::string> known = KnownDatabaseNames();
  EXPECT_EQ(std::find(known.begin(), known.end(), "icpurchase"), known.end());
  // The name given in another letter case is the same database.
  EXPECT_EQ(ErrorOf([] { (void)Connect("Data Source=LIMITS-KNOWN"); }), 0);
}

TEST(EmbeddedLimits, MemoryDatabasesAreEmptyAndEachOneIsItsOwn) {
  auto first = Connect("Data Source=:memory:");
  auto second = Connect("Data Source=:memory:");
  first->Execute("CREATE TABLE t_Mine(a INT)");
  EXPECT_EQ(ErrorOf([&] { (void)second->Execute("SELECT * FROM t_Mine"); }), static_cast<int32_t>(0x80040E37));
  EXPECT_EQ(first->Execute("SELECT COUNT(*) FROM t_Mine")->Collect(0).ToLong(), 0);
}

TEST(EmbeddedLimits, CommandTimeOutEndsALongBatchAndTheConnectionGoesOn) {
  auto connection = Connect("Data Source=:memory:");
  connection->Execute(kTenThousandRows);
  connection->SetCommandTimeout(1);
  // 10^12 pairs: only the time-out ends it.
  EXPECT_EQ(ErrorOf([&] { (void)connection->Execute("SELECT COUNT(*) FROM #k a CROSS JOIN #k b CROSS JOIN #k c"); }),
            static_cast<int32_t>(0x80040E31));
  ASSERT_EQ(connection->Errors().size(), 1u);
  EXPECT_EQ(connection->Errors()[0].description, "Query timeout expired");
  EXPECT_EQ(connection->Execute("SELECT COUNT(*) FROM #k")->Collect(0).ToLong(), 10000);
}

TEST(EmbeddedLimits, MemoryLimitOfTheConnectionStringFailsABatchWith701) {
  auto connection = Connect("Data Source=:memory:;Memory Limit MB=32");
  connection->Execute(kTenThousandRows);
  EXPECT_NE(ErrorOf([&] { (void)connection->Execute("SELECT a.v, b.v FROM #k a CROSS JOIN #k b ORDER BY 2, 1"); }), 0);
  ASSERT_EQ(connection->Errors().size(), 1u);
  EXPECT_EQ(connection->Errors()[0].native_error, 701);
  EXPECT_EQ(connection->Execute("SELECT COUNT(*) FROM #k")->Collect(0).ToLong(), 10000);
  EXPECT_NE(ErrorOf([] { (void)Connect("Data Source=:memory:;Memory Limit MB=lots"); }), 0);
}

TEST(EmbeddedLimits, AHundredThousandPropertiesParseWithTheLastRepeatWinning) {
  std::string text = "Provider=Orvalent.Embedded";
  for (int i = 0; i < 100000; ++i) text += ";Key" + std::to_string(i % 50000) + "=" + std::to_string(i);
  const ConnectionProperties properties = ParseConnectionString(text);
  EXPECT_EQ(properties.pairs().size(), 50001u);
  EXPECT_EQ(properties.Get({"key7"}), "50007");
  EXPECT_EQ(properties.provider(), "Orvalent.Embedded");
}

}  // namespace
}  // namespace orv::platform
