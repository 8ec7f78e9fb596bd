// The shared property store: groups found again by name with their first
// modes, properties by name and position, and values shared between threads.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/host_objects.h"
#include "platform/shared_property.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

TEST(SharedProperty, GroupsAreFoundAgainWithTheirModes) {
  SharedPropertyGroupManager manager;
  int32_t isolation = kLockSetGet;
  int32_t release = kReleaseProcess;
  bool existed = true;
  auto group = manager.CreatePropertyGroup("MSSQL8.0DataSource", isolation, release, &existed);
  EXPECT_FALSE(existed);
  int32_t other_isolation = kLockMethod;
  int32_t other_release = kReleaseStandard;
  auto again = SharedPropertyGroupManager().CreatePropertyGroup("MSSQL8.0DataSource", other_isolation, other_release,
                                                                &existed);
  EXPECT_TRUE(existed);
  EXPECT_EQ(again, group);
  EXPECT_EQ(other_isolation, kLockSetGet);
  EXPECT_EQ(other_release, kReleaseProcess);
  int32_t bad = 7;
  EXPECT_EQ(ErrorOf([&] { manager.CreatePropertyGroup("X", bad, release); }), static_cast<int32_t>(0x80070057));
}

TEST(SharedProperty, ProcessGroupsOutliveTheirClientsStandardOnesDoNot) {
  SharedPropertyGroupManager manager;
  int32_t isolation = kLockSetGet;
  int32_t release = kReleaseProcess;
  manager.CreatePropertyGroup("kept", isolation, release)->CreateProperty("Connected")->SetValue(Variant(true));
  ASSERT_NE(manager.Group("kept"), nullptr);
  EXPECT_TRUE(manager.Group("kept")->Property("connected")->Value().ToBool());
  release = kReleaseStandard;
  manager.CreatePropertyGroup("passing", isolation, release);
  EXPECT_EQ(manager.Group("passing"), nullptr);
}

TEST(SharedProperty, PropertiesByNameAndPosition) {
  SharedPropertyGroupManager manager;
  int32_t isolation = kLockSetGet;
  int32_t release = kReleaseProcess;
  auto group = manager.CreatePropertyGroup("types", isolation, release);
  bool existed = true;
  auto by_position = group->CreatePropertyByPosition(3, &existed);
  EXPECT_FALSE(existed);
  EXPECT_TRUE(by_position->Value().IsEmpty());
  auto row = std::make_shared<ConditionDictionary>();
  row->Add("FTypeName", Variant("decimal"));
  by_position->SetValue(Variant(std::static_pointer_cast<Object>(row)));
  EXPECT_EQ(group->CreatePropertyByPosition(3, &existed), by_position);
  EXPECT_TRUE(existed);
  auto stored = std::dynamic_pointer_cast<ConditionDictionary>(group->PropertyByPosition(3)->Value().ToObject());
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->Item("FTypeName").ToString(), "decimal");
  EXPECT_NE(ErrorOf([&] { (void)group->PropertyByPosition(4); }), 0);
  group->CreatePropertyByPosition(-2);
  EXPECT_EQ(group->Positions(), (std::vector<int32_t>{-2, 3}));
  EXPECT_NE(ErrorOf([&] { (void)group->Property("absent"); }), 0);
}

TEST(SharedProperty, TwoThreadsShareOneGroup) {
  constexpr int kWrites = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([t] {
      SharedPropertyGroupManager manager;
      int32_t isolation = kLockSetGet;
      int32_t release = kReleaseProcess;
      auto group = manager.CreatePropertyGroup("threads", isolation, release);
      for (int i = 0; i < kWrites; ++i) {
        group->CreateProperty("last")->SetValue(Variant("thread " + std::to_string(t) + " wrote " + std::to_string(i)));
        group->CreatePropertyByPosition(t * kWrites + i)->SetValue(Variant(i));
        const std::string seen = group->CreateProperty("last")->Value().ToString();
        ASSERT_EQ(seen.rfind("thread ", 0), 0u) << seen;  // never a torn value
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  SharedPropertyGroupManager manager;
  auto group = manager.Group("threads");
  ASSERT_NE(group, nullptr);
  for (int t = 0; t < 2; ++t) {
    for (int i = 0; i < kWrites; i += 199) EXPECT_EQ(group->PropertyByPosition(t * kWrites + i)->Value().ToLong(), i);
  }
  const std::string last = group->Property("last")->Value().ToString();
  EXPECT_TRUE(last == "thread 0 wrote 1999" || last == "thread 1 wrote 1999") << last;
}

}  // namespace
}  // namespace orv::platform
