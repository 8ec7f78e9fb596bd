// Hostile preference values through SetDisEnterProfile on a private copy of the
// tiny data: each is either stored exactly as given (read back through
// GetDisEnterProfile) or refused with the write's number, and no table but
// ICReportProfile ever changes.
#include <gtest/gtest.h>

#include "demo/demo_database.h"
#include "engine/engine.h"
#include "frame/profile_classes.h"
#include "platform/embedded_provider.h"
#include "tests/hostile/hostile_fixture.h"

namespace orv::test {
namespace {

constexpr std::string_view kCopy = "demo-tiny-profile";
const std::string kSession =
    "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny-profile};UserName=demo;UserID=1;Language=chs;";

TEST(HostileProfileValues, StoredExactlyOrRefusedAndNothingElseChanges) {
  platform::RegisterDatabaseFactory(kCopy,
                                    [](engine::Session& session) { demo::LoadDemo(session, demo::Scale::Tiny); });
  platform::DropDatabaseInstance(kCopy);
  std::map<std::string, std::string> before = BaseTableFingerprint(kCopy);
  before.erase("ICReportProfile");
  for (const HostileValue& value : HostileValues()) {
    int32_t report = 2010005;
    int32_t user = 1;
    try {
      frame::CDataUpdate().SetDisEnterProfile(kSession, report, user, value.text);
      const auto rows = frame::CDataRead().GetDisEnterProfile(kSession, report, user);
      ASSERT_EQ(rows->RecordCount(), 1) << value.name;
      EXPECT_TRUE(rows->Collect("FPlan").ToString() == value.text) << value.name << ": FPlan differs";
      EXPECT_TRUE(rows->Collect("FValue").ToString() == value.text) << value.name << ": FValue differs";
    } catch (const platform::AutomationError& error) {
      EXPECT_EQ(error.number(), frame::kErrProfileWrite) << value.name << ": " << error.description();
      EXPECT_TRUE(error.source().starts_with("Orvalent.CDataUpdate.SetDisEnterProfile\r\n")) << value.name;
    }
    std::map<std::string, std::string> after = BaseTableFingerprint(kCopy);
    after.erase("ICReportProfile");
    EXPECT_EQ(after, before) << value.name;
  }
  platform::DropDatabaseInstance(kCopy);
}

}  // namespace
}  // namespace orv::test
