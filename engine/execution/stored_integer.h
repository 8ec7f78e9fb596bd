// An integer column's stored number at a row, whichever width it keeps
// (Int32 or Int storage), for the paths that read numbers as stored.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/storage/column.h"

namespace orv::engine {

inline int64_t StoredInteger(const Column& column, size_t row) {
  return column.storage() == Column::Storage::Int32 ? int64_t{column.int32s()[row]} : column.int64s()[row];
}

}  // namespace orv::engine
