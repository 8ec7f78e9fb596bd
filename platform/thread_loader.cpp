#include "platform/thread_loader.h"

#include <memory>

#include "platform/automation_error.h"
#include "platform/class_registry.h"

namespace orv::platform {
namespace {

thread_local std::shared_ptr<ResourceLoader> thread_loader;

}  // namespace

ResourceLoader& ThreadResourceLoader() {
  if (!thread_loader) {
    auto loader = std::dynamic_pointer_cast<ResourceLoader>(CreateObject(kResourceLoaderProgId));
    if (!loader) throw AutomationError(438, "Orvalent", "Object doesn't support this property or method");
    thread_loader = std::move(loader);
  }
  return *thread_loader;
}

void ReleaseThreadLoader() {
  if (!thread_loader) return;
  try {
    thread_loader->Unload();
  } catch (...) {
    // Called from teardowns, which must not fail; the loader is dropped anyway.
  }
  thread_loader.reset();
}

}  // namespace orv::platform
