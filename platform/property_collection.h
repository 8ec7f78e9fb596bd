// A connection's Properties collection: the data source's properties as the
// provider last told them, looked up by name without regard to case. Filled
// when the connection opens and again on Refresh.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/provider.h"
#include "platform/variant.h"

namespace orv::platform {

class PropertyCollection {
 public:
  using Source = std::function<std::vector<ProviderProperty>()>;
  explicit PropertyCollection(Source source) : source_(std::move(source)) {}

  // Asks the provider again.
  void Refresh() { properties_ = source_(); }
  void Clear() { properties_.clear(); }

  int32_t Count() const { return static_cast<int32_t>(properties_.size()); }
  // The value of the property `name`; 3265 (item not found) when the provider
  // has none of that name.
  Variant Item(std::string_view name) const;
  const std::vector<ProviderProperty>& entries() const { return properties_; }

 private:
  Source source_;
  std::vector<ProviderProperty> properties_;
};

}  // namespace orv::platform
