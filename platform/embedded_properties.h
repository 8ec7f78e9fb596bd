// What the embedded provider tells about its data source: the product and
// version, and which of the ODBC scalar functions, LIKE escapes and integrity
// features the embedded engine offers. Each function bit stands beside the
// Transact-SQL that offers it, so the claims can be checked on the engine.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/provider.h"

namespace orv::platform {

inline constexpr std::string_view kEmbeddedDbmsName = "Orvalent Embedded";
// The engine carries no version of its own; this is the provider's statement of it.
inline constexpr std::string_view kEmbeddedDbmsVersion = "01.00.0000";

// One ODBC scalar function the engine offers: the property whose mask holds
// it, its bit, its ODBC name and a Transact-SQL expression that computes it.
struct OfferedFunction {
  std::string_view property;  // "Numeric Functions", ...
  int32_t bit;
  std::string_view odbc_name;
  std::string_view expression;
};
std::span<const OfferedFunction> EmbeddedOfferedFunctions();

// The properties of the embedded data source `data_source`.
std::vector<ProviderProperty> EmbeddedDataSourceProperties(std::string_view data_source);

}  // namespace orv::platform
