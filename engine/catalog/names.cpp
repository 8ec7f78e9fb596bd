// Case-insensitive name keys.
#include "engine/catalog/names.h"

#include "engine/common/ascii.h"

namespace orv::engine {
std::string NameKey(std::string_view name) { return AsciiUpper(name); }

bool NamesEqual(std::string_view a, std::string_view b) { return EqualsIgnoreCase(a, b); }

std::string JoinName(const std::vector<std::string>& parts) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '.';
    out += parts[i];
  }
  return out;
}

}  // namespace orv::engine
