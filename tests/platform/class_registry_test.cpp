// The class registry: creation by ProgID or class identifier, the 429 error,
// re-registration, and the count of outstanding objects behind CanUnloadNow.
#include <gtest/gtest.h>

#include "platform/class_registry.h"
#include "platform/host_objects.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

ClassEntry DictionaryEntry(const std::string& prog_id, const std::string& clsid) {
  ClassEntry entry;
  entry.prog_id = prog_id;
  entry.clsid = clsid;
  entry.iid = "{00000000-0000-0000-0000-000000000001}";
  entry.interface_name = "_Dictionary";
  entry.method_name = "Item";
  entry.dispatch_id = 0x60030002;
  entry.type_library = {"Test", 1, 0, "{00000000-0000-0000-0000-000000000002}", "Test V1.0", 0x409};
  entry.factory = [] { return std::make_shared<ConditionDictionary>(); };
  return entry;
}

class ClassRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClassRegistry::Instance().Register(DictionaryEntry("Test.Dictionary", "{A1B2C3D4-0000-0000-0000-00000000000A}"));
  }
  void TearDown() override { ClassRegistry::Instance().Unregister("Test.Dictionary"); }
};

TEST_F(ClassRegistryTest, CreatesByProgIdAnyCaseOrByClassId) {
  auto by_name = std::dynamic_pointer_cast<ConditionDictionary>(CreateObject("test.DICTIONARY"));
  ASSERT_NE(by_name, nullptr);
  by_name->Add("k", Variant(1));
  EXPECT_EQ(by_name->Item("k").ToLong(), 1);
  EXPECT_NE(std::dynamic_pointer_cast<ConditionDictionary>(CreateObject("{a1b2c3d4-0000-0000-0000-00000000000a}")),
            nullptr);
  EXPECT_NE(CreateObject("A1B2C3D4-0000-0000-0000-00000000000A"), nullptr);
  const auto entry = ClassRegistry::Instance().Find("Test.Dictionary");
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->dispatch_id, 0x60030002);
  EXPECT_EQ(entry->type_library.help_string, "Test V1.0");
}

TEST_F(ClassRegistryTest, UnknownClassRaises429) {
  try {
    (void)CreateObject("Nobody.Here");
    FAIL() << "created an unregistered class";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), kErrCannotCreateObject);
    EXPECT_EQ(error.description(), "ActiveX component can't create object");
  }
  ClassEntry broken = DictionaryEntry("Test.Broken", "");
  broken.factory = [] { return std::shared_ptr<Object>(); };
  ClassRegistry::Instance().Register(broken);
  EXPECT_EQ(ErrorOf([] { (void)CreateObject("Test.Broken"); }), kErrCannotCreateObject);
  EXPECT_TRUE(ClassRegistry::Instance().Unregister("Test.Broken"));
  EXPECT_FALSE(ClassRegistry::Instance().Unregister("Test.Broken"));
}

TEST_F(ClassRegistryTest, RegisteringAgainReplacesTheEntry) {
  const size_t before = ClassRegistry::Instance().Entries().size();
  ClassEntry again = DictionaryEntry("TEST.Dictionary", "{A1B2C3D4-0000-0000-0000-00000000000A}");
  again.method_name = "Exists";
  ClassRegistry::Instance().Register(again);
  EXPECT_EQ(ClassRegistry::Instance().Entries().size(), before);
  EXPECT_EQ(ClassRegistry::Instance().Find("Test.Dictionary")->method_name, "Exists");
}

TEST_F(ClassRegistryTest, OutstandingObjectsFollowTheLastRelease) {
  const size_t base = ClassRegistry::Instance().OutstandingObjects();
  auto first = CreateObject("Test.Dictionary");
  auto second = CreateObject("Test.Dictionary");
  EXPECT_EQ(ClassRegistry::Instance().OutstandingObjects(), base + 2);
  auto copy = first;  // a second reference to the same object
  first.reset();
  EXPECT_EQ(ClassRegistry::Instance().OutstandingObjects(), base + 2);
  copy.reset();
  EXPECT_EQ(ClassRegistry::Instance().OutstandingObjects(), base + 1);
  // A cast keeps the object alive and counted too.
  auto typed = std::dynamic_pointer_cast<ConditionDictionary>(second);
  second.reset();
  EXPECT_EQ(ClassRegistry::Instance().OutstandingObjects(), base + 1);
  EXPECT_FALSE(ClassRegistry::Instance().CanUnloadNow());
  typed.reset();
  EXPECT_EQ(ClassRegistry::Instance().OutstandingObjects(), base);
  if (base == 0) {
    EXPECT_TRUE(ClassRegistry::Instance().CanUnloadNow());
    ClassRegistry::Instance().LockServer(true);
    EXPECT_FALSE(ClassRegistry::Instance().CanUnloadNow());
    ClassRegistry::Instance().LockServer(false);
    EXPECT_TRUE(ClassRegistry::Instance().CanUnloadNow());
  }
}

}  // namespace
}  // namespace orv::platform
