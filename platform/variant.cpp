// Construction and the runtime's conversions of automation values (CStr,
// CDbl, CInt, CLng, CBool), with its errors: 94 for Null, 13 for what is not
// a number, 6 for a number outside the target's range.
#include "platform/variant.h"

#include <cmath>
#include <limits>

#include "platform/ascii_text.h"
#include "platform/automation_error.h"
#include "platform/numeric_text.h"
#include "platform/object.h"
#include "platform/ole_date.h"
#include "platform/variant_exact.h"

namespace orv::platform {
namespace {

// Rounds half to even (the runtime's rounding for CInt and CLng) and checks the range.
int64_t RoundToRange(double value, int64_t low, int64_t high) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= static_cast<double>(low) && rounded <= static_cast<double>(high))) {
    RaiseRuntimeError(kErrOverflow);
  }
  return static_cast<int64_t>(rounded);
}

// CInt/CLng: exact values round exactly, the others through their Double.
int64_t RoundedInteger(const Variant& value, int64_t low, int64_t high) {
  if (const std::optional<Exact> exact = AsExact(value)) return ExactRoundToRange(*exact, low, high);
  return RoundToRange(value.ToDouble(), low, high);
}

}  // namespace

Variant::Variant() = default;
Variant::Variant(int16_t v) : type_(VarType::Integer), integer_(v) {}
Variant::Variant(int32_t v) : type_(VarType::Long), integer_(v) {}
Variant::Variant(double v) : type_(VarType::Double), number_(v) {}
Variant::Variant(bool v) : type_(VarType::Boolean), bool_(v) {}
Variant::Variant(std::string v) : type_(VarType::String), text_(std::move(v)) {}
Variant::Variant(std::string_view v) : type_(VarType::String), text_(v) {}
Variant::Variant(const char* v) : type_(VarType::String), text_(v ? v : "") {}
Variant::Variant(std::shared_ptr<Object> v) : type_(VarType::Object), object_(std::move(v)) {}

Variant Variant::Null() {
  Variant v;
  v.type_ = VarType::Null;
  return v;
}

Variant Variant::Currency(int64_t scaled_by_10000) {
  Variant v;
  v.type_ = VarType::Currency;
  v.currency_ = scaled_by_10000;
  return v;
}

Variant Variant::Decimal(__int128 unscaled, int scale) {
  if (scale < 0 || scale > kMaxDecimalScale) RaiseRuntimeError(kErrInvalidProcedureCall);
  Variant v;
  v.type_ = VarType::Decimal;
  v.decimal_ = unscaled;
  v.scale_ = scale;
  return v;
}

Variant Variant::Date(double ole_date) {
  // The runtime's dates run from 100-01-01 to 9999-12-31 23:59:59.
  if (!(ole_date > kMinOleDate && ole_date < kMaxOleDate)) RaiseRuntimeError(kErrOverflow);
  Variant v;
  v.type_ = VarType::Date;
  v.number_ = ole_date;
  return v;
}

bool Variant::IsNumeric() const {
  switch (type_) {
    case VarType::Empty:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Decimal:
    case VarType::Boolean:
      return true;
    case VarType::String: {
      double ignored;
      return ParseNumericText(text_, ignored) != NumericParse::kNotNumeric;
    }
    case VarType::Null:
    case VarType::Date:
    case VarType::Object:
      return false;
  }
  return false;
}

std::string Variant::ToString() const {
  switch (type_) {
    case VarType::Empty:
      return "";
    case VarType::Null:
      RaiseRuntimeError(kErrInvalidUseOfNull);
    case VarType::Integer:
    case VarType::Long:
      return std::to_string(integer_);
    case VarType::Double:
      return FormatDouble(number_);
    case VarType::Currency:
      return FormatScaled(currency_, 4);
    case VarType::Decimal:
      return FormatScaled(decimal_, scale_);
    case VarType::Date: {
      const CivilDateTime civil = FromOleDate(number_);
      return FormatCivil(civil, civil.hour != 0 || civil.minute != 0 || civil.second != 0);
    }
    case VarType::Boolean:
      return bool_ ? "True" : "False";
    case VarType::String:
      return text_;
    case VarType::Object:
      break;
  }
  RaiseRuntimeError(kErrTypeMismatch);
}

double Variant::ToDouble() const {
  switch (type_) {
    case VarType::Empty:
      return 0;
    case VarType::Null:
      RaiseRuntimeError(kErrInvalidUseOfNull);
    case VarType::Integer:
    case VarType::Long:
      return static_cast<double>(integer_);
    case VarType::Double:
    case VarType::Date:
      return number_;
    case VarType::Currency:
      return static_cast<double>(currency_) / 10000.0;
    case VarType::Decimal:
      return ExactToDouble({decimal_, scale_});
    case VarType::Boolean:
      return bool_ ? -1.0 : 0.0;
    case VarType::String: {
      double value = 0;
      const NumericParse parsed = ParseNumericText(text_, value);
      if (parsed == NumericParse::kOverflow) RaiseRuntimeError(kErrOverflow);
      if (parsed == NumericParse::kNotNumeric) RaiseRuntimeError(kErrTypeMismatch);
      return value;
    }
    case VarType::Object:
      break;
  }
  RaiseRuntimeError(kErrTypeMismatch);
}

int16_t Variant::ToInteger() const {
  return static_cast<int16_t>(
      RoundedInteger(*this, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

int32_t Variant::ToLong() const {
  return static_cast<int32_t>(
      RoundedInteger(*this, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool Variant::ToBool() const {
  if (type_ == VarType::Boolean) return bool_;
  if (type_ == VarType::String) {
    const std::string_view text = TrimBlanks(text_);
    if (EqualsIgnoreCase(text, "True")) return true;
    if (EqualsIgnoreCase(text, "False")) return false;
  }
  return ToDouble() != 0;
}

std::shared_ptr<Object> Variant::ToObject() const {
  if (type_ != VarType::Object) RaiseRuntimeError(kErrTypeMismatch);
  return object_;
}

size_t Variant::TextLength() const {
  if (type_ == VarType::Empty || type_ == VarType::Null) return 0;
  const std::string text = ToString();
  size_t count = 0;
  // Count lead bytes: every byte that is not a UTF-8 continuation byte.
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

}  // namespace orv::platform
