// Splitting an ADO connection string into its properties.
#include "platform/connection_string.h"

#include <algorithm>
#include <unordered_map>

#include "platform/ascii_text.h"

namespace orv::platform {
std::string ConnectionProperties::Get(std::initializer_list<std::string_view> keys) const {
  for (const std::string_view key : keys) {
    const std::string wanted = AsciiLower(key);
    for (const auto& [name, value] : pairs_) {
      if (name == wanted) return value;
    }
  }
  return "";
}

bool ConnectionProperties::Has(std::string_view key) const {
  const std::string wanted = AsciiLower(key);
  return std::any_of(pairs_.begin(), pairs_.end(), [&](const auto& pair) { return pair.first == wanted; });
}

ConnectionProperties ParseConnectionString(std::string_view text) {
  ConnectionProperties properties;
  // Where each key sits in pairs_: a repeat is found at once, so a string of
  // many properties parses in linear time.
  std::unordered_map<std::string, size_t> positions;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t equals = text.find('=', pos);
    const size_t semicolon = text.find(';', pos);
    if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
      if (semicolon == std::string_view::npos) break;
      pos = semicolon + 1;  // a piece without "=" carries nothing
      continue;
    }
    const std::string key = AsciiLower(TrimBlanks(text.substr(pos, equals - pos)));
    size_t value_start = equals + 1;
    while (value_start < text.size() && IsBlank(text[value_start])) ++value_start;
    std::string value;
    if (value_start < text.size() && (text[value_start] == '"' || text[value_start] == '\'')) {
      const char quote = text[value_start];
      const size_t close = text.find(quote, value_start + 1);
      const size_t end = close == std::string_view::npos ? text.size() : close;
      value = std::string(text.substr(value_start + 1, end - value_start - 1));
      const size_t next = text.find(';', end);
      pos = next == std::string_view::npos ? text.size() : next + 1;
    } else {
      const size_t end = text.find(';', value_start);
      const size_t stop = end == std::string_view::npos ? text.size() : end;
      value = std::string(TrimBlanks(text.substr(value_start, stop - value_start)));
      pos = end == std::string_view::npos ? text.size() : end + 1;
    }
    if (key.empty()) continue;
    const auto [slot, added] = positions.try_emplace(key, properties.pairs_.size());
    if (added) {
      properties.pairs_.emplace_back(key, std::move(value));
    } else {
      properties.pairs_[slot->second].second = std::move(value);
    }
  }
  properties.provider_ = properties.Get({"provider"});
  return properties;
}

}  // namespace orv::platform
