// GetLocalText and the thread's resource loader. The loader is created late,
// by ProgID through the class registry, and its two properties are written
// only when they change, so that it reloads its table only on a new language.
#include "toolkit/local_text.h"

#include <memory>

#include "platform/class_registry.h"
#include "platform/err_object.h"
#include "platform/resource_loader.h"

namespace orv::toolkit {
namespace {

constexpr std::string_view kResFileBaseName = "Quensa";
constexpr std::string_view kSimplifiedChinese = "chs";

// One loader per thread; the session parser's teardown unloads and forgets it.
thread_local std::shared_ptr<platform::ResourceLoader> thread_loader;

// The caller's pending error, kept across the call.
struct SavedError {
  int32_t number;
  std::string source;
  std::string description;
  std::string help_file;
  int32_t help_context;
};

SavedError SaveError() {
  const platform::ErrObject& err = platform::Err();
  return {err.Number(), err.Source(), err.Description(), err.HelpFile(), err.HelpContext()};
}

// Puts the saved error back, number last as the runtime does (it marks the
// error pending); no error on entry leaves none pending.
void RestoreError(SavedError saved) {
  platform::ErrObject& err = platform::Err();
  if (saved.number == 0) {
    err.Clear();
    return;
  }
  err.SetDescription(std::move(saved.description));
  err.SetHelpContext(saved.help_context);
  err.SetHelpFile(std::move(saved.help_file));
  err.SetSource(std::move(saved.source));
  err.SetNumber(saved.number);
}

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

platform::ResourceLoader& ThreadLoader() {
  if (!thread_loader) {
    auto loader =
        std::dynamic_pointer_cast<platform::ResourceLoader>(platform::CreateObject(platform::kResourceLoaderProgId));
    // A class under that ProgID without the loader's members fails like a late-bound call would.
    if (!loader) throw platform::AutomationError(438, "Orvalent", "Object doesn't support this property or method");
    thread_loader = std::move(loader);
  }
  return *thread_loader;
}

}  // namespace

std::string GetLocalText(std::string_view sText, std::string_view sLanguageID) {
  SavedError saved = SaveError();
  std::string result;
  try {
    platform::ResourceLoader& loader = ThreadLoader();
    if (loader.ResFileBaseName() != kResFileBaseName) loader.SetResFileBaseName(kResFileBaseName);
    if (loader.LanguageID() != sLanguageID) loader.SetLanguageID(sLanguageID);
    result = sLanguageID == kSimplifiedChinese ? std::string(sText) : loader.LoadString(TrimBlanks(sText));
  } catch (...) {
    // Any failure gives back the Chinese text as it came, blanks and all.
    result.assign(sText);
  }
  RestoreError(std::move(saved));
  return result;
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

}  // namespace orv::toolkit
