// The condition dictionary and the date formatting of the report filters.
#include "platform/host_objects.h"

#include "platform/automation_error.h"
#include "platform/ole_date.h"

namespace orv::platform {

Variant ConditionDictionary::Item(std::string_view key) const {
  const auto found = index_.find(key);
  return found == index_.end() ? Variant() : entries_[found->second].second;
}

void ConditionDictionary::Add(std::string_view key, const Variant& value) {
  if (index_.find(key) != index_.end()) RaiseRuntimeError(kErrDuplicateKey);
  index_.emplace(std::string(key), entries_.size());
  entries_.emplace_back(std::string(key), value);
}

void ConditionDictionary::Set(std::string_view key, const Variant& value) {
  const auto found = index_.find(key);
  if (found == index_.end()) {
    Add(key, value);
  } else {
    entries_[found->second].second = value;
  }
}

bool ConditionDictionary::Exists(std::string_view key) const { return index_.find(key) != index_.end(); }

Variant ConditionDictionary::GetValue(std::string_view key, const Variant& fallback) const {
  const auto found = index_.find(key);
  return found == index_.end() ? fallback : entries_[found->second].second;
}

std::string FormatDateText(const Variant& value, std::string_view pattern) {
  const bool with_time = pattern == "yyyy-mm-dd hh:mm:ss";
  if (pattern != "yyyy-mm-dd" && !with_time) RaiseRuntimeError(kErrInvalidProcedureCall);
  std::optional<CivilDateTime> civil;
  if (value.type() == VarType::Date) {
    civil = FromOleDate(value.date());
    if (!IsValidCivilDate(civil->year, civil->month, civil->day)) civil.reset();
  } else if (value.type() == VarType::String) {
    civil = ParseDateText(value.ToString());
  }
  if (!civil) RaiseRuntimeError(kErrTypeMismatch);
  return FormatCivil(*civil, with_time);
}

}  // namespace orv::platform
