// The resource loader "Trevasque.Loader": translates the component's
// simplified-Chinese texts into a language. Its tables are the project's
// files <ResFileBaseName>.<LanguageID>.json in the resources folder (text ->
// translation); a table is read on the first LoadString after a change.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/object.h"

namespace orv::platform {

inline constexpr std::string_view kResourceLoaderProgId = "Trevasque.Loader";

class ResourceLoader : public Object {
 public:
  const std::string& ResFileBaseName() const { return base_name_; }
  void SetResFileBaseName(std::string_view name);
  const std::string& LanguageID() const { return language_; }
  void SetLanguageID(std::string_view language);

  // The translation of `text`; a text the table lacks comes back unchanged.
  // Raises 0x80004005 when the language has no table (no file, or a file that
  // is not a JSON object of texts).
  std::string LoadString(std::string_view text);
  // Forgets the loaded table; the next LoadString reads it again.
  void Unload();

  // How many times a table was read from disk (lets callers see that setting
  // an unchanged property does not reload).
  int LoadCount() const { return load_count_; }

 private:
  void EnsureLoaded();
  std::string base_name_;
  std::string language_;
  std::optional<std::map<std::string, std::string, std::less<>>> table_;
  int load_count_ = 0;
};

// The folder the tables are read from: ORV_RESOURCE_DIR in the environment if
// set, else the project's platform/resources.
std::string ResourceDirectory();

// Registers the loader class under kResourceLoaderProgId.
void RegisterResourceLoader();

}  // namespace orv::platform
