// The registry of data providers by name.
#include "platform/provider.h"

#include <map>
#include <mutex>

#include "platform/ado_errors.h"
#include "platform/ascii_text.h"

namespace orv::platform {
namespace {

struct Providers {
  std::mutex mutex;
  std::map<std::string, ProviderFactory> by_name;  // lower-case names
};

Providers& Registry() {
  static Providers* providers = new Providers();  // never destroyed: connections may close late
  return *providers;
}

}  // namespace

void RegisterProvider(std::string_view name, ProviderFactory factory) {
  Providers& providers = Registry();
  std::lock_guard lock(providers.mutex);
  providers.by_name[AsciiLower(name)] = std::move(factory);
}

std::unique_ptr<ProviderSession> OpenProviderSession(const ConnectionProperties& properties) {
  // ADO takes a connection string that names no provider ("Driver=...;Server=...") as one for its ODBC provider.
  const std::string name = properties.provider().empty() ? "msdasql" : AsciiLower(properties.provider());
  ProviderFactory factory;
  {
    Providers& providers = Registry();
    std::lock_guard lock(providers.mutex);
    auto found = providers.by_name.find(name);
    // "Name.1" names version 1 of the provider "Name".
    const size_t dot = name.find_last_of('.');
    if (found == providers.by_name.end() && dot != std::string::npos && dot + 1 < name.size() &&
        name.find_first_not_of("0123456789", dot + 1) == std::string::npos) {
      found = providers.by_name.find(name.substr(0, dot));
    }
    if (found != providers.by_name.end()) factory = found->second;
  }
  if (!factory) RaiseAdoError(AdoError::kProviderNotFound, "Orvalent.Connection");
  return factory(properties);
}

}  // namespace orv::platform
