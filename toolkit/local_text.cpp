// GetLocalText on the thread's resource loader. The loader's two properties
// are written only when they change, so that it reloads its table only on a
// new language.
#include "toolkit/local_text.h"

#include "platform/ascii_text.h"
#include "platform/err_object.h"
#include "platform/thread_loader.h"

namespace orv::toolkit {
namespace {

constexpr std::string_view kResFileBaseName = "Quensa";
constexpr std::string_view kSimplifiedChinese = "chs";

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

}  // namespace

std::string GetLocalText(std::string_view sText, std::string_view sLanguageID) {
  SavedError saved = SaveError();
  std::string result;
  try {
    platform::ResourceLoader& loader = platform::ThreadResourceLoader();
    if (loader.ResFileBaseName() != kResFileBaseName) loader.SetResFileBaseName(kResFileBaseName);
    if (loader.LanguageID() != sLanguageID) loader.SetLanguageID(sLanguageID);
    result = sLanguageID == kSimplifiedChinese ? std::string(sText) : loader.LoadString(platform::TrimSpaces(sText));
  } catch (...) {
    // Any failure gives back the Chinese text as it came, blanks and all.
    result.assign(sText);
  }
  RestoreError(std::move(saved));
  return result;
}

}  // namespace orv::toolkit
