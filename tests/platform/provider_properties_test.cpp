// The connection's Properties collection on the embedded provider: the values
// the data source reports, lookup by name, and every scalar function the masks
// claim, run on the engine itself.
#include <gtest/gtest.h>

#include <map>

#include "platform/ado_errors.h"
#include "platform/class_registry.h"
#include "platform/connection.h"
#include "platform/embedded_properties.h"
#include "platform/recordset.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

std::shared_ptr<Connection> OpenEmbedded() {
  RegisterPlatformClasses();
  auto connection = std::make_shared<Connection>();
  connection->Open("Provider=Orvalent.Embedded;Data Source=properties-test", "", "", -1);
  return connection;
}

TEST(ProviderProperties, EmbeddedDataSourceAnswersWithTheEnginesCapabilities) {
  const auto connection = OpenEmbedded();
  PropertyCollection& properties = connection->Properties();
  EXPECT_EQ(properties.Item("DBMS Name").ToString(), "Orvalent Embedded");
  EXPECT_EQ(properties.Item("dbms version").ToString(), "01.00.0000");
  EXPECT_EQ(properties.Item("Data Source Name").ToString(), "properties-test");
  // One batch gives several row sets (the connection's NextRecordset reads them).
  EXPECT_EQ(properties.Item("Multiple Results").type(), VarType::Long);
  EXPECT_EQ(properties.Item("Multiple Results").ToLong(), 1);
  EXPECT_EQ(properties.Item("Like Escape Clause").ToString(), "Y");
  EXPECT_EQ(properties.Item("Integrity Enhancement Facility").type(), VarType::Boolean);
  EXPECT_FALSE(properties.Item("Integrity Enhancement Facility").ToBool());
  // ABS 0x1, CEILING 0x20, FLOOR 0x200, MOD 0x800, SIGN 0x1000, SQRT 0x4000,
  // POWER 0x100000, ROUND 0x400000, TRUNCATE 0x800000.
  EXPECT_EQ(properties.Item("Numeric Functions").ToLong(), 0x00D05A21);
  // IFNULL alone: no USER_NAME(), no DB_NAME().
  EXPECT_EQ(properties.Item("System Functions").ToLong(), 0x4);
  EXPECT_EQ(ErrorOf([&] { properties.Item("Outer Join Capabilities"); }), AdoHresult(AdoError::kItemNotFound));
}

TEST(ProviderProperties, RefreshedOnOpenClearedOnClose) {
  auto connection = std::make_shared<Connection>();
  EXPECT_EQ(connection->Properties().Count(), 0);
  connection->Properties().Refresh();  // closed: nothing to ask
  EXPECT_EQ(connection->Properties().Count(), 0);
  connection = OpenEmbedded();
  const int32_t count = connection->Properties().Count();
  EXPECT_GE(count, 9);
  connection->Properties().Refresh();
  EXPECT_EQ(connection->Properties().Count(), count);
  connection->Close();
  EXPECT_EQ(connection->Properties().Count(), 0);
}

// Each claimed function runs; each mask is exactly the claimed bits; a few
// functions the engine lacks fail and have no bit.
TEST(ProviderProperties, EveryClaimedFunctionRunsOnTheEngine) {
  const auto connection = OpenEmbedded();
  std::map<std::string, int32_t> claimed;
  for (const OfferedFunction& function : EmbeddedOfferedFunctions()) {
    const std::string sql = "SELECT " + std::string(function.expression);
    EXPECT_EQ(ErrorOf([&] { connection->Execute(sql); }), 0) << function.odbc_name << ": " << sql;
    int32_t& mask = claimed[std::string(function.property)];
    EXPECT_EQ(mask & function.bit, 0) << function.odbc_name << " repeats a bit";
    mask |= function.bit;
  }
  for (const auto& [property, mask] : claimed) {
    EXPECT_EQ(connection->Properties().Item(property).ToLong(), mask) << property;
  }
  struct Missing {
    const char* property;
    int32_t bit;
    const char* sql;
  };
  for (const Missing& missing : {Missing{"Numeric Functions", 0x2, "SELECT ACOS(1)"},
                                 Missing{"String Functions", 0x2000, "SELECT ASCII('A')"},
                                 Missing{"System Functions", 0x2, "SELECT DB_NAME()"},
                                 Missing{"Time/Date Functions", 0x2, "SELECT CAST(GETDATE() AS date)"}}) {
    EXPECT_NE(ErrorOf([&] { connection->Execute(missing.sql); }), 0) << missing.sql;
    EXPECT_EQ(connection->Properties().Item(missing.property).ToLong() & missing.bit, 0) << missing.sql;
  }
}

TEST(ProviderProperties, LikeEscapeClauseIsWhatTheEngineDoes) {
  const auto connection = OpenEmbedded();
  const auto rows = connection->Execute("SELECT COUNT(*) WHERE 'a%' LIKE 'a!%' ESCAPE '!' AND 'ab' NOT LIKE 'a!%' ESCAPE '!'");
  EXPECT_EQ(rows->Collect(0).ToLong(), 1);
}

}  // namespace
}  // namespace orv::platform
