// Fields of a record set, by ordinal or by name.
#include "platform/field.h"

#include "platform/ado_errors.h"
#include "platform/ascii_text.h"
#include "platform/recordset.h"

namespace orv::platform {
namespace {

constexpr const char* kSource = "Orvalent.Recordset";

}  // namespace

const FieldInfo& Field::Info() const { return recordset_->Info(index_); }
const std::string& Field::Name() const { return Info().name; }
DataTypeEnum Field::Type() const { return Info().type; }
int32_t Field::DefinedSize() const { return Info().defined_size; }
uint8_t Field::Precision() const { return Info().precision; }
uint8_t Field::NumericScale() const { return Info().numeric_scale; }
Variant Field::Value() const { return recordset_->Value(index_); }

int32_t Fields::Count() const {
  return recordset_->State() == 0 ? 0 : static_cast<int32_t>(recordset_->rows_->Columns().size());
}

Field Fields::Item(int32_t index) const {
  if (index < 0 || index >= Count()) RaiseAdoError(AdoError::kItemNotFound, kSource);
  return Field(recordset_, static_cast<size_t>(index));
}

Field Fields::Item(std::string_view name) const {
  const int32_t count = Count();
  for (int32_t i = 0; i < count; ++i) {
    if (EqualsIgnoreCase(recordset_->rows_->Columns()[i].name, name)) return Field(recordset_, i);
  }
  RaiseAdoError(AdoError::kItemNotFound, kSource);
}

}  // namespace orv::platform
