// The resource loader: reads <base>.<language>.json from the resources folder
// on the first lookup after a change and answers translations from it.
#include "platform/resource_loader.h"

#include <cstdlib>
#include <fstream>

#include <nlohmann/json.hpp>

#include "platform/ascii_text.h"
#include "platform/automation_error.h"
#include "platform/class_registry.h"

namespace orv::platform {
namespace {

constexpr int32_t kErrFileNotFound = 53;
const std::string kSource(kResourceLoaderProgId);

// Only plain names reach the file system, so a language cannot point elsewhere.
bool IsPlainName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::string ResourceDirectory() {
  if (const char* dir = std::getenv("ORV_RESOURCE_DIR"); dir && *dir) return dir;
  return ORV_RESOURCE_DIR;
}

void ResourceLoader::SetResFileBaseName(std::string_view name) {
  if (name == base_name_) return;
  base_name_ = std::string(name);
  table_.reset();
}

void ResourceLoader::SetLanguageID(std::string_view language) {
  if (language == language_) return;
  language_ = std::string(language);
  table_.reset();
}

void ResourceLoader::EnsureLoaded() {
  if (table_) return;
  const std::string file_name = base_name_ + "." + AsciiLower(language_) + ".json";
  if (!IsPlainName(base_name_) || !IsPlainName(language_)) {
    throw AutomationError(kErrFileNotFound, kSource, "File not found: " + file_name);
  }
  std::ifstream in(ResourceDirectory() + "/" + file_name);
  if (!in) throw AutomationError(kErrFileNotFound, kSource, "File not found: " + file_name);
  const nlohmann::json json = nlohmann::json::parse(in, nullptr, /*allow_exceptions=*/false);
  if (!json.is_object()) throw AutomationError(kErrFileNotFound, kSource, "Not a translation table: " + file_name);
  std::map<std::string, std::string, std::less<>> table;
  for (const auto& [text, translation] : json.items()) {
    if (!translation.is_string()) {
      throw AutomationError(kErrFileNotFound, kSource, "Not a translation table: " + file_name);
    }
    table.emplace(text, translation.get<std::string>());
  }
  table_ = std::move(table);
  ++load_count_;
}

std::string ResourceLoader::LoadString(std::string_view text) {
  EnsureLoaded();
  const auto found = table_->find(text);
  return found == table_->end() ? std::string(text) : found->second;
}

void ResourceLoader::Unload() { table_.reset(); }

void RegisterResourceLoader() {
  ClassEntry entry;
  entry.prog_id = std::string(kResourceLoaderProgId);
  entry.clsid = "{E6E4BE54-161C-4DB3-9B21-981CAB346FA1}";
  entry.iid = "{730C16B8-7F5D-42D3-85E6-F160A97BF1C7}";
  entry.interface_name = "_Loader";
  entry.method_name = "LoadString";
  entry.dispatch_id = 0x60030000;
  entry.type_library = {"Trevasque", 1, 0, "{9C2B2DBB-BC07-4138-BB5E-8475AEB64999}", "Trevasque resource loader", 0x409};
  entry.factory = [] { return std::make_shared<ResourceLoader>(); };
  ClassRegistry::Instance().Register(std::move(entry));
}

}  // namespace orv::platform
