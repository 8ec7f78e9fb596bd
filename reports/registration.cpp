// The identifiers below were generated once and must never change: clients
// built against the type library find the classes by them.
#include "reports/registration.h"

#include <functional>
#include <memory>
#include <string>

#include "frame/profile_classes.h"
#include "reports/rpt2010001/crpt2010001.h"
#include "reports/rpt2010002/crpt2010002.h"
#include "reports/rpt2010005/crpt2010005.h"
#include "reports/rpt2010006/crpt2010006.h"
#include "reports/rpt2010007/crpt2010007.h"

namespace orv::reports {
namespace {

struct ClassIdentity {
  std::string_view name;
  std::string_view clsid;
  std::string_view iid;
  std::string_view method;
  std::function<std::shared_ptr<platform::Object>()> factory;
};

template <typename Class>
std::shared_ptr<platform::Object> Make() {
  return std::make_shared<Class>();
}

const std::vector<ClassIdentity>& Identities() {
  static const std::vector<ClassIdentity> identities = {
      {"CRPT2010001", "{759F8A15-A78C-460A-8D1C-8A1660EF4A14}", "{5E6CBD4D-A797-4E45-8E4A-4DFE64EB3564}",
       "GetRptData", Make<CRPT2010001>},
      {"CRPT2010002", "{EF269023-10A0-4914-8B88-1C105B87E3EE}", "{12314247-15EC-4C23-902F-3AFF709D6715}",
       "GetRptData", Make<CRPT2010002>},
      {"CRPT2010005", "{8FDF3059-0B4B-4981-A47F-5A4DA73331D2}", "{FA4A25DA-39A0-481E-BD1B-4781931BF82A}",
       "GetRptData", Make<CRPT2010005>},
      {"CRPT2010006", "{25CCECCF-077C-4F1B-9F6B-158AC05795A0}", "{6C87AE8C-5F46-4B6C-A6AD-F02D4B637740}",
       "GetRptData", Make<CRPT2010006>},
      {"CRPT2010007", "{43A616D9-DA3E-4ED8-AD87-815A58249607}", "{2CE7B4E1-2117-45A2-9B8B-8451BEAFFE34}",
       "GetRptData", Make<CRPT2010007>},
      {"CDataRead", "{16EB40BA-3101-4388-9B89-DE3B8CEC670D}", "{291364B6-65BE-4D82-88B7-705DE8809040}",
       "GetDisEnterProfile", Make<frame::CDataRead>},
      {"CDataUpdate", "{F3B4212C-BC32-467D-8C87-C65D25CA326C}", "{346DE44E-606B-45C4-8445-E7A6F9EC8635}",
       "SetDisEnterProfile", Make<frame::CDataUpdate>},
  };
  return identities;
}

}  // namespace

std::vector<platform::ClassEntry> ComponentClasses() {
  const platform::TypeLibraryInfo library{std::string(kLibraryName), 1, 0, std::string(kLibraryId), "Orvalent V1.0",
                                          0x409};
  std::vector<platform::ClassEntry> entries;
  for (const ClassIdentity& identity : Identities()) {
    entries.push_back({std::string(kLibraryName) + "." + std::string(identity.name), std::string(identity.clsid),
                       std::string(identity.iid), "_" + std::string(identity.name), std::string(identity.method),
                       kMethodDispatchId, library, identity.factory});
  }
  return entries;
}

void RegisterComponent() {
  for (platform::ClassEntry& entry : ComponentClasses()) platform::ClassRegistry::Instance().Register(std::move(entry));
}

void UnregisterComponent() {
  for (const ClassIdentity& identity : Identities()) platform::ClassRegistry::Instance().Unregister(identity.clsid);
}

}  // namespace orv::reports
