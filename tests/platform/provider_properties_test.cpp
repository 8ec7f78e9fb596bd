// The connection's Properties collection on the embedded provider: the values
// the data source reports, lookup by name, and every claim checked on the
// engine itself: each offered scalar function runs, a few it lacks fail and
// have no bit, and LIKE takes an ESCAPE character.
#include <gtest/gtest.h>

#include <map>

#include "platform/ado_errors.h"
#include "platform/class_registry.h"
#include "platform/connection.h"
#include "platform/embedded_properties.h"
#include "platform/embedded_provider.h"
#include "platform/recordset.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

std::shared_ptr<Connection> OpenEmbedded() {
  RegisterPlatformClasses();
  auto connection = std::make_shared<Connection>();
  GetDatabaseInstance("properties-test");  // an empty database of that name
  connection->Open("Provider=Orvalent.Embedded;Data Source=properties-test", "", "", -1);
  return connection;
}

TEST(ProviderProperties, TheEmbeddedDataSourceTellsWhatTheEngineHas) {
  const auto connection = OpenEmbedded();
  PropertyCollection& properties = connection->Properties();
  EXPECT_EQ(properties.Item("DBMS Name").ToString(), "Orvalent Embedded");
  EXPECT_EQ(properties.Item("dbms version").ToString(), "01.00.0000");
  EXPECT_EQ(properties.Item("Data Source Name").ToString(), "properties-test");
  EXPECT_EQ(properties.Item("Multiple Results").type(), VarType::Long);
  EXPECT_EQ(properties.Item("Multiple Results").ToLong(), 1);  // NextRecordset reads a batch's later row sets
  EXPECT_EQ(properties.Item("Integrity Enhancement Facility").type(), VarType::Boolean);
  EXPECT_FALSE(properties.Item("Integrity Enhancement Facility").ToBool());  // no FOREIGN KEY, no CHECK
  EXPECT_EQ(ErrorOf([&] { properties.Item("Outer Join Capabilities"); }), AdoHresult(AdoError::kItemNotFound));

  EXPECT_EQ(properties.Item("Like Escape Clause").ToString(), "Y");
  const auto rows =
      connection->Execute("SELECT COUNT(*) WHERE 'a%' LIKE 'a!%' ESCAPE '!' AND 'ab' NOT LIKE 'a!%' ESCAPE '!'");
  EXPECT_EQ(rows->Collect(0).ToLong(), 1);

  std::map<std::string, int32_t> claimed;
  for (const OfferedFunction& function : EmbeddedOfferedFunctions()) {
    const std::string sql = "SELECT " + std::string(function.expression);
    EXPECT_EQ(ErrorOf([&] { connection->Execute(sql); }), 0) << function.odbc_name << ": " << sql;
    int32_t& mask = claimed[std::string(function.property)];
    EXPECT_EQ(mask & function.bit, 0) << function.odbc_name << " repeats a bit";
    mask |= function.bit;
  }
  EXPECT_EQ(claimed.size(), 4u);
  for (const auto& [property, mask] : claimed) EXPECT_EQ(properties.Item(property).ToLong(), mask) << property;
  struct Missing {
    const char* property;
    int32_t bit;
    const char* sql;
  };
  for (const Missing& missing : {Missing{"String Functions", 0x80000, "SELECT BIT_LENGTH('A')"}}) {
    EXPECT_NE(ErrorOf([&] { connection->Execute(missing.sql); }), 0) << missing.sql;
    EXPECT_EQ(properties.Item(missing.property).ToLong() & missing.bit, 0) << missing.sql;
  }
}

TEST(ProviderProperties, ReadOnOpenAndRefreshClearedOnClose) {
  auto connection = std::make_shared<Connection>();
  connection->Properties().Refresh();  // closed: nothing to ask
  EXPECT_EQ(connection->Properties().Count(), 0);
  connection = OpenEmbedded();
  const int32_t count = connection->Properties().Count();
  EXPECT_EQ(count, 10);
  connection->Properties().Refresh();
  EXPECT_EQ(connection->Properties().Count(), count);
  connection->Close();
  EXPECT_EQ(connection->Properties().Count(), 0);
}

}  // namespace
}  // namespace orv::platform
