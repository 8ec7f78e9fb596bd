// Registration of the platform's own classes and providers at start-up.
#include "platform/class_registry.h"
#include "platform/embedded_provider.h"
#include "platform/resource_loader.h"
#include "platform/shared_property.h"

namespace orv::platform {

void RegisterPlatformClasses() {
  RegisterResourceLoader();
  ClassEntry manager;
  manager.prog_id = std::string(kSharedPropertyManagerProgId);
  manager.clsid = "{32A0A36F-E75B-4179-B8BC-454A1416E354}";
  manager.iid = "{44A3543A-5C41-4C1A-9C8A-A23B21A6F7AE}";
  manager.interface_name = "ISharedPropertyGroupManager";
  manager.method_name = "CreatePropertyGroup";
  manager.dispatch_id = 0x60020000;
  manager.type_library = {"SharedProperties", 1, 0, "{54FDA576-30E0-455C-AA27-DC3312088D8E}",
                          "Shared property groups", 0x409};
  manager.factory = [] { return std::make_shared<SharedPropertyGroupManager>(); };
  ClassRegistry::Instance().Register(std::move(manager));
  RegisterEmbeddedProvider();
}

}  // namespace orv::platform
