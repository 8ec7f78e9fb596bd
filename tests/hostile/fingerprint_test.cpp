// The guard every hostile test relies on: the base-table fingerprint sees a
// changed value, a deleted row and a dropped table, and nothing else. It runs
// on a private copy of the tiny database, so the shared one stays untouched.
#include <gtest/gtest.h>

#include "demo/demo_database.h"
#include "engine/engine.h"
#include "platform/embedded_provider.h"
#include "tests/hostile/hostile_fixture.h"

namespace orv::test {
namespace {

constexpr std::string_view kCopy = "demo-tiny-fingerprint";

void Execute(const std::string& batch) {
  engine::Session session(platform::GetDatabaseInstance(kCopy));
  const engine::BatchResult result = session.Execute(batch);
  ASSERT_FALSE(result.first_error()) << result.first_error()->message();
}

std::vector<std::string> ChangedTables(const std::map<std::string, std::string>& before) {
  const std::map<std::string, std::string> after = BaseTableFingerprint(kCopy);
  std::vector<std::string> changed;
  for (const auto& [table, text] : before) {
    if (after.at(table) != text) changed.push_back(table);
  }
  return changed;
}

TEST(BaseTableFingerprint, SeesEveryKindOfChange) {
  platform::RegisterDatabaseFactory(kCopy, [](engine::Session& session) { demo::LoadDemo(session, demo::Scale::Tiny); });
  const auto original = BaseTableFingerprint(kCopy);
  ASSERT_EQ(original, BaseTableFingerprint()) << "the copy should hold the tiny data";

  Execute("UPDATE t_Emp SET FName=FName+N'x' WHERE FItemID=204");
  EXPECT_EQ(ChangedTables(original), std::vector<std::string>{"t_Emp"});
  Execute("UPDATE t_Emp SET FName=N'李娜' WHERE FItemID=204");
  EXPECT_TRUE(ChangedTables(original).empty());

  Execute("DELETE FROM ICReportProfile WHERE FRptID=2010001 AND FUserID=1 AND FKey=N'FchkDisEnter'");
  EXPECT_EQ(ChangedTables(original), std::vector<std::string>{"ICReportProfile"});
  Execute("INSERT INTO ICReportProfile (FRptID,FUserID,FPlan,FKey,FValue,FStatus) VALUES "
          "(2010001,1,N'0',N'FchkDisEnter',N'0',1)");
  EXPECT_TRUE(ChangedTables(original).empty());

  Execute("DROP TABLE t_StockPlace");
  EXPECT_EQ(BaseTableFingerprint(kCopy).at("t_StockPlace"), "<unreadable>");
  platform::DropDatabaseInstance(kCopy);
}

}  // namespace
}  // namespace orv::test
