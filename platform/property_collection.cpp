// Lookup in the connection's Properties collection.
#include "platform/property_collection.h"

#include "platform/ado_errors.h"
#include "platform/ascii_text.h"

namespace orv::platform {

Variant PropertyCollection::Item(std::string_view name) const {
  for (const ProviderProperty& property : properties_) {
    if (EqualsIgnoreCase(property.name, name)) return property.value;
  }
  RaiseAdoError(AdoError::kItemNotFound, "Orvalent.Connection");
}

}  // namespace orv::platform
