// Reads an ADO connection string: "Key=Value;Key=Value". Keys compare without
// regard to case and lose their surrounding blanks; a value may be quoted with
// '"' or "'" to hold ";". The provider is what "Provider=" names.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::platform {

class ConnectionProperties {
 public:
  // The value of the first key among `keys` that is present, or "".
  std::string Get(std::initializer_list<std::string_view> keys) const;
  bool Has(std::string_view key) const;
  const std::string& provider() const { return provider_; }
  const std::vector<std::pair<std::string, std::string>>& pairs() const { return pairs_; }

 private:
  friend ConnectionProperties ParseConnectionString(std::string_view text);
  std::string provider_;
  std::vector<std::pair<std::string, std::string>> pairs_;  // keys lower case; a later repeat wins
};

// Never fails: a piece without "=" is ignored, as ADO does with stray text.
ConnectionProperties ParseConnectionString(std::string_view text);

}  // namespace orv::platform
