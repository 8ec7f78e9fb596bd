// libFuzzer entry point over the two readers of the session property string:
// the session parser may raise only its documented errors (457 for a repeated
// name, 5 for a missing one, 6 or 13 for a UserID that is no 16-bit number)
// and keeps the string it was given; the light property reader never raises.
// Anything else, a crash or a hang is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

#include "frame/cparse.h"
#include "platform/automation_error.h"
#include "toolkit/property_lookup.h"

namespace {

using orv::platform::AutomationError;

// Aborts (a finding for libFuzzer) unless the error is one of `allowed`.
void RequireNumber(const AutomationError& error, std::initializer_list<int32_t> allowed) {
  for (int32_t number : allowed) {
    if (error.number() == number) return;
  }
  std::abort();
}

// Runs an accessor; only the errors it documents may come out of it.
template <typename Accessor>
void Probe(Accessor&& accessor, std::initializer_list<int32_t> allowed) {
  try {
    accessor();
  } catch (const AutomationError& error) {
    RequireNumber(error, allowed);
  }
}

// The light reader cuts its value at the first ";" and never invents text.
void CheckPropertyValue(std::string_view sDsn, std::string_view name) {
  const std::string value = orv::toolkit::GetPropertyValue(sDsn, name);
  if (value.find(';') != std::string::npos || value.size() > sDsn.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view sDsn(reinterpret_cast<const char*>(data), size);
  // The name of the first pair, so that lookups also hit names the input made up.
  const std::string_view first_name = sDsn.substr(0, sDsn.find('='));

  for (std::string_view name : {std::string_view("Language"), std::string_view("ConnectString"), first_name}) {
    CheckPropertyValue(sDsn, name);
  }

  orv::frame::CParse parser;
  bool complete = true;
  try {
    if (!parser.ParseString(sDsn)) std::abort();
  } catch (const AutomationError& error) {
    RequireNumber(error, {orv::platform::kErrDuplicateKey});
    complete = false;
  }
  if (parser.PropsString() != sDsn) std::abort();
  // The first pair is always stored under its name less the blanks around it.
  const size_t first = first_name.find_first_not_of(' ');
  if (complete && first != std::string_view::npos) {
    const std::string_view trimmed = first_name.substr(first, first_name.find_last_not_of(' ') - first + 1);
    try {
      parser.GetProperty(trimmed);
    } catch (const AutomationError&) {
      std::abort();
    }
  }

  constexpr int32_t kMissing = orv::platform::kErrInvalidProcedureCall;
  Probe([&] { parser.GetProperty(first_name); }, {kMissing});
  Probe([&] { parser.ConStr(); }, {kMissing});
  Probe([&] { parser.ConDBMSName(); }, {kMissing});
  Probe([&] { parser.ConDBMSVersion(); }, {kMissing});
  Probe([&] { parser.LanguageID(); }, {kMissing});
  Probe([&] { parser.UserName(); }, {kMissing});
  Probe([&] { parser.UserID(); }, {kMissing, orv::platform::kErrOverflow, orv::platform::kErrTypeMismatch});
  Probe([&] { parser.IsIndustry(); }, {kMissing});
  return 0;
}
