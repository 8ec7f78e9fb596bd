// The registry entries of the seven public classes and creating them by
// ProgID or class identifier.
#include <gtest/gtest.h>

#include <set>

#include "frame/profile_classes.h"
#include "reports/registration.h"
#include "frame/report_frame.h"
#include "platform/automation_error.h"
#include "platform/class_registry.h"

namespace orv::reports {
namespace {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal.
bool IsGuid(const std::string& text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
  for (size_t i = 1; i < 37; ++i) {
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash ? text[i] != '-' : std::string_view("0123456789ABCDEF").find(text[i]) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

TEST(RegistrationTest, SevenClassesWithTheirInterfacesAndOneTypeLibrary) {
  const std::vector<std::string> names = {"CRPT2010001", "CRPT2010002", "CRPT2010005", "CRPT2010006",
                                          "CRPT2010007", "CDataRead",   "CDataUpdate"};
  const auto entries = ComponentClasses();
  ASSERT_EQ(entries.size(), names.size());
  std::set<std::string> identifiers = {std::string(kLibraryId)};
  for (size_t i = 0; i < entries.size(); ++i) {
    const platform::ClassEntry& entry = entries[i];
    EXPECT_EQ(entry.prog_id, "Orvalent." + names[i]);
    EXPECT_EQ(entry.interface_name, "_" + names[i]);
    EXPECT_EQ(entry.method_name, i < 5 ? "GetRptData" : (i == 5 ? "GetDisEnterProfile" : "SetDisEnterProfile"));
    EXPECT_EQ(entry.dispatch_id, 0x60030002);
    EXPECT_EQ(entry.type_library.name, "Orvalent");
    EXPECT_EQ(entry.type_library.major_version, 1);
    EXPECT_EQ(entry.type_library.minor_version, 0);
    EXPECT_EQ(entry.type_library.library_id, kLibraryId);
    EXPECT_EQ(entry.type_library.help_string, "Orvalent V1.0");
    EXPECT_EQ(entry.type_library.locale, 0x409u);
    EXPECT_TRUE(IsGuid(entry.clsid)) << entry.clsid;
    EXPECT_TRUE(IsGuid(entry.iid)) << entry.iid;
    identifiers.insert(entry.clsid);
    identifiers.insert(entry.iid);
  }
  EXPECT_EQ(identifiers.size(), 15u);  // every identifier its own
  // The identifiers are fixed for good: the first class keeps this one.
  EXPECT_EQ(entries[0].clsid, "{759F8A15-A78C-460A-8D1C-8A1660EF4A14}");
}

TEST(RegistrationTest, ClassesAreCreatedThroughTheRegistryAndCounted) {
  RegisterComponent();
  auto& registry = platform::ClassRegistry::Instance();
  const size_t before = registry.OutstandingObjects();
  {
    auto report = std::dynamic_pointer_cast<frame::ReportFrame>(platform::CreateObject("orvalent.crpt2010005"));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->ClassName(), "CRPT2010005");
    auto by_clsid = std::dynamic_pointer_cast<frame::ReportFrame>(
        platform::CreateObject(registry.Find("Orvalent.CRPT2010001")->clsid));
    ASSERT_TRUE(by_clsid);
    EXPECT_EQ(by_clsid->ClassName(), "CRPT2010001");
    EXPECT_TRUE(std::dynamic_pointer_cast<frame::CDataRead>(platform::CreateObject("Orvalent.CDataRead")));
    EXPECT_EQ(registry.OutstandingObjects(), before + 2);
  }
  EXPECT_EQ(registry.OutstandingObjects(), before);
}

TEST(RegistrationTest, PrivateClassesAreNotRegisteredAndUnregisterRemovesThePublicOnes) {
  RegisterComponent();
  auto& registry = platform::ClassRegistry::Instance();
  EXPECT_FALSE(registry.Find("Orvalent.CParse"));
  EXPECT_FALSE(registry.Find("Orvalent.CDataSource"));
  UnregisterComponent();
  EXPECT_FALSE(registry.Find("Orvalent.CRPT2010001"));
  try {
    platform::CreateObject("Orvalent.CRPT2010001");
    ADD_FAILURE() << "an unregistered class must not be created";
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), platform::kErrCannotCreateObject);
  }
  RegisterComponent();
  EXPECT_TRUE(registry.Find("Orvalent.CRPT2010001"));
}

}  // namespace
}  // namespace orv::reports
