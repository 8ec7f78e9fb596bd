// CASE target columns picked a column at a time; see picked_column.h.
#include "engine/execution/picked_column.h"

#include <utility>

#include "engine/execution/column_writer.h"

namespace orv::engine {

PickedColumn::PickedColumn(const CopiedChoice& choice, const ColumnSchema& column,
                           std::vector<std::optional<Value>> converted)
    : choice_(&choice), type_(column.type), nullable_(column.nullable), converted_(std::move(converted)) {}

bool PickedColumn::Pick(const PositionSource& rows, size_t begin, size_t end, const uint32_t* arms) {
  values_.resize(end - begin);
  for (size_t k = begin; k < end; ++k) {
    const uint32_t arm = arms[k - begin];
    Value& out = values_[k - begin];
    if (converted_[arm]) {
      out = *converted_[arm];
      continue;
    }
    const Value value = choice_->results[arm].At(rows, k);
    if (value.is_null) {
      if (!nullable_) return false;
      out = Value::Null(type_.id);
    } else if (!ConvertsUnchanged(value, type_, out)) {
      return false;
    }
  }
  return true;
}

}  // namespace orv::engine
