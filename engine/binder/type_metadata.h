// How the catalog describes a column type: SQL Server's system type ids and
// the max_length / precision / scale figures sys.columns, sys.types, sp_help
// and sp_columns report.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/common/types.h"

namespace orv::engine {

struct TypeMetadata {
  int system_type_id;  // sys.types: 56 int, 231 nvarchar ...
  int max_length;      // bytes; -1 for (MAX)
  int precision;
  int scale;
};

TypeMetadata DescribeType(const DataType& type);

// A type's name as the catalog gives it: "decimal" for DECIMAL and NUMERIC.
std::string_view CatalogTypeName(TypeId id);

// The collation every text column compares under, as the catalog names it.
inline constexpr std::string_view kCollationName = "Chinese_PRC_CI_AS";

}  // namespace orv::engine
